#pragma once

#include <QFlags>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

/// The tray icon's menu and click rules, kept apart from the tray itself so they can be checked
/// without a desktop.
namespace Tray {
Q_NAMESPACE

/// Which mouse actions on the icon show the pop-up menu; the values are bit flags.
enum class TPopupModeFlag {
    pmLeftClick = 1,
    pmRightClick = 2,
    pmLeftDblClick = 4,
    pmRightDblClick = 8,
};
Q_DECLARE_FLAGS(TPopupMode, TPopupModeFlag)
Q_FLAG_NS(TPopupMode)

/// Where the menu stands relative to the click point.
enum class TPopupAlign {
    paLeft,   ///< the menu's left edge at the click point
    paRight,  ///< the menu's right edge at the click point
    paCenter, ///< the menu centred on the click point
};
Q_ENUM_NS(TPopupAlign)

/// What happened on the icon, as the desktop's tray reports it.
enum class MouseMessage {
    LeftButtonDown,
    LeftButtonDoubleClick,
    RightButtonDown,
    RightButtonDoubleClick,
    Other,
};

/// Which of the two events a click raises.
enum class EventKind {
    None,
    MouseDown,
    DoubleClick,
};

/// The answer to one notification: whether the mode asks for the menu, and which event to raise
/// with which button. Whether a menu and a handler are set is the caller's to check.
struct Reaction {
    bool showMenu = false;
    EventKind event = EventKind::None;
    Qt::MouseButton button = Qt::NoButton;

    bool operator==(const Reaction&) const = default;
};

/// The dispatch table: a button press raises the mouse-down event, a double click the double-click
/// event, and each shows the menu when its flag is in the mode. Anything else does nothing.
Reaction reactionTo(MouseMessage message, TPopupMode mode);

/// The longest tooltip the tray takes, in characters.
inline constexpr int kMaxHintLength = 63;

/// The tooltip cut to its first 63 characters; a character outside the basic plane is never split.
QString cutHint(const QString& hint);

/// The top-left corner of a menu of the given size shown at the click point with the alignment, kept
/// whole inside `area` (the screen's available area): a menu with no room below the click opens above
/// it, and one that still sticks out (a click on a panel outside the area) is pushed inside.
QPoint menuTopLeft(QPoint click, QSize menuSize, TPopupAlign align, const QRect& area);

} // namespace Tray

Q_DECLARE_OPERATORS_FOR_FLAGS(Tray::TPopupMode)
