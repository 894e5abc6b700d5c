#include "shell/tray_dispatch.h"

#include <algorithm>

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

QPoint menuTopLeft(QPoint click, QSize menuSize, TPopupAlign align, const QRect& area)
{
    int x = click.x();
    if (align == TPopupAlign::paRight)
        x -= menuSize.width();
    else if (align == TPopupAlign::paCenter)
        x -= menuSize.width() / 2;
    int y = click.y();
    if (y + menuSize.height() > area.bottom() + 1)
        y = click.y() - menuSize.height();
    // Pushed inside, the top-left corner last: a menu larger than the area shows its first entries.
    x = std::max(std::min(x, area.right() + 1 - menuSize.width()), area.left());
    y = std::max(std::min(y, area.bottom() + 1 - menuSize.height()), area.top());
    return {x, y};
}

} // namespace Tray
