#include "shell/tray_dispatch.h"

namespace Tray {

Reaction reactionTo(MouseMessage message, TPopupMode mode)
{
    struct Row {
        MouseMessage message;
        TPopupModeFlag flag;
        EventKind event;
        Qt::MouseButton button;
    };
    static constexpr Row kRows[] = {
        {MouseMessage::LeftButtonDown, TPopupModeFlag::pmLeftClick, EventKind::MouseDown, Qt::LeftButton},
        {MouseMessage::LeftButtonDoubleClick, TPopupModeFlag::pmLeftDblClick, EventKind::DoubleClick,
         Qt::LeftButton},
        {MouseMessage::RightButtonDown, TPopupModeFlag::pmRightClick, EventKind::MouseDown, Qt::RightButton},
        {MouseMessage::RightButtonDoubleClick, TPopupModeFlag::pmRightDblClick, EventKind::DoubleClick,
         Qt::RightButton},
    };
    for (const Row& row : kRows) {
        if (row.message == message)
            return Reaction{mode.testFlag(row.flag), row.event, row.button};
    }
    return Reaction{};
}

QString cutHint(const QString& hint)
{
    if (hint.size() <= kMaxHintLength)
        return hint;
    qsizetype end = 0;
    int characters = 0;
    while (end < hint.size() && characters < kMaxHintLength) {
        end += (hint.at(end).isHighSurrogate() && end + 1 < hint.size() && hint.at(end + 1).isLowSurrogate())
                   ? 2
                   : 1;
        ++characters;
    }
    return hint.left(end);
}

QPoint menuTopLeft(QPoint click, QSize menuSize, TPopupAlign align)
{
    switch (align) {
    case TPopupAlign::paLeft:
        return click;
    case TPopupAlign::paRight:
        return {click.x() - menuSize.width(), click.y()};
    case TPopupAlign::paCenter:
        return {click.x() - menuSize.width() / 2, click.y()};
    }
    return click;
}

} // namespace Tray
