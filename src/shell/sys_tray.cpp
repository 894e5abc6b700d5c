#include "shell/sys_tray.h"

#include <utility>

#include <QCursor>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindow>

#include "shell/status_notifier_registration.h"
#include "shell/tray_presence.h"

namespace {

std::function<std::unique_ptr<TrayIconHost>()>& hostMaker()
{
    static std::function<std::unique_ptr<TrayIconHost>()> maker;
    return maker;
}

/// Whether Qt's tray icon lives on a StatusNotifierItem host (KDE Plasma, GNOME's AppIndicator
/// extension) rather than an XEmbed tray: Qt asks the session bus's watcher the same question once,
/// when the first tray icon is made, on the X11 and Wayland platforms.
bool onStatusNotifierHost()
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && !platform.startsWith(QLatin1String("wayland")))
        return false;
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus());
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

Tray::MouseMessage messageFor(QSystemTrayIcon::ActivationReason reason, bool activationOnly)
{
    // An XEmbed tray reports a left press, a left double click (after the press of its first click)
    // and a right press; it has no right double click. A StatusNotifierItem host reports a left
    // click as an activation and nothing else for it: that activation toggles the face, as a
    // double click does on the other trays.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return activationOnly ? Tray::MouseMessage::LeftButtonDoubleClick : Tray::MouseMessage::LeftButtonDown;
    case QSystemTrayIcon::DoubleClick:
        return Tray::MouseMessage::LeftButtonDoubleClick;
    case QSystemTrayIcon::Context:
        return Tray::MouseMessage::RightButtonDown;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
    return Tray::MouseMessage::Other;
}

/// Keeps the XEmbed icon, its tooltip and its menu answering while a modal window is open: the
/// ringing window must not hide the tray's "停止闹铃" from the user.
///
/// While an application-modal window is open, Qt 6.4 blocks input to every window except a popup, the
/// modal window itself and the windows it is an ancestor of, transient parents included. The icon's
/// window is Qt's own (`QSystemTrayIconSys`), none of these, so it is made a transient child of the
/// modal window in front each time that changes: Qt re-reads the blocking at once, and the modal
/// window goes on blocking every other window of the program. The icon's X window, embedded in the
/// tray already, is not touched (a transient parent reaches the X server only when a window is
/// shown). The other ways are worse: a popup window grabs the pointer and closes at the next click
/// elsewhere, a tooltip window is still blocked for widgets, and Qt's blocked flag is private.
class IconUnblocker : public QObject {
public:
    IconUnblocker() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowBlocked && isIconWindow(watched)) {
            // A modal window has opened, or an icon was made while one is open.
            follow(static_cast<QWindow*>(watched));
        } else if (event->type() == QEvent::Hide && watched->isWindowType() &&
                   static_cast<QWindow*>(watched)->isModal()) {
            // A modal window has closed (Qt has taken it off its list already): the one under it, if
            // any, is in front now. (An embedded icon is not among Qt's top-level windows.)
            for (QWindow* window : QGuiApplication::allWindows()) {
                if (isIconWindow(window))
                    follow(window);
            }
        }
        return false;
    }

private:
    static bool isIconWindow(const QObject* object)
    {
        // The name Qt's X11 platform also knows the icon's window by.
        return object->isWindowType() && object->objectName() == QLatin1String("QSystemTrayIconSysWindow");
    }
    static void follow(QWindow* icon)
    {
        QWindow* modal = QGuiApplication::modalWindow();
        if (icon->transientParent() != modal)
            icon->setTransientParent(modal);
    }
};

class SystemTrayHost : public TrayIconHost {
public:
    SystemTrayHost() : m_activationOnly(onStatusNotifierHost()), m_available(available())
    {
        QObject::connect(&m_icon, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason r) {
            if (notify)
                notify(messageFor(r, m_activationOnly));
        });
        QObject::connect(&m_presence, &TrayPresenceWatch::changed, [this] {
            const bool now = available();
            if (now != std::exchange(m_available, now) && availabilityChanged)
                availabilityChanged(now);
        });
        QObject::connect(&m_presence, &TrayPresenceWatch::statusNotifierWatcherArrived, &m_registration,
                         &StatusNotifierRegistration::watcherArrived);
    }

    bool add(const QIcon& icon, const QString& tip) override
    {
        apply(icon, tip);
        // Without a tray the icon stays requested and Qt shows it once a tray appears.
        m_icon.show();
        return QSystemTrayIcon::isSystemTrayAvailable();
    }
    bool modify(const QIcon& icon, const QString& tip) override
    {
        apply(icon, tip);
        return true;
    }
    bool remove() override
    {
        m_icon.hide();
        return true;
    }
    QPoint cursorPos() const override { return QCursor::pos(); }
    bool available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
    bool setContextMenu(QMenu* menu) override
    {
        // Qt shows this menu on an XEmbed tray's right click and exports it to StatusNotifierItem
        // hosts, which draw it themselves; a menu popped up by hand would reach only the first.
        m_icon.setContextMenu(menu);
        return true;
    }

private:
    void apply(const QIcon& icon, const QString& tip)
    {
        // An empty icon still holds its place in the tray, as a transparent square.
        if (icon.isNull()) {
            QPixmap blank(16, 16);
            blank.fill(Qt::transparent);
            m_icon.setIcon(QIcon(blank));
        } else {
            m_icon.setIcon(icon);
        }
        m_icon.setToolTip(tip);
    }

    QSystemTrayIcon m_icon;
    const bool m_activationOnly;
    TrayPresenceWatch m_presence;
    StatusNotifierRegistration m_registration;
    bool m_available;
    IconUnblocker m_unblocker;
};

} // namespace

std::unique_ptr<TrayIconHost> makeSystemTrayHost()
{
    if (hostMaker())
        return hostMaker()();
    return std::make_unique<SystemTrayHost>();
}

void setSystemTrayHostMaker(std::function<std::unique_ptr<TrayIconHost>()> maker)
{
    hostMaker() = std::move(maker);
}

TSysTray::TSysTray(QObject* owner, std::unique_ptr<TrayIconHost> host)
    : QObject(owner), m_host(host ? std::move(host) : makeSystemTrayHost())
{
    setObjectName(QStringLiteral("SysTray"));
    if (auto* widget = qobject_cast<QWidget*>(owner))
        m_ownerWindow = widget->window();
    m_host->notify = [this](Tray::MouseMessage message) { handleNotification(message); };
    m_host->availabilityChanged = [this](bool available) { emit availableChanged(available); };
}

TSysTray::~TSysTray()
{
    m_host->notify = nullptr;
    m_host->availabilityChanged = nullptr;
    if (m_active)
        m_host->remove();
}

void TSysTray::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (m_active)
        m_host->add(m_icon, m_hint);
    else
        m_host->remove();
}

void TSysTray::setPopupMenu(QMenu* menu)
{
    m_popupMenu = menu;
    offerMenuToHost();
}

void TSysTray::setPopupMode(Tray::TPopupMode mode)
{
    m_popupMode = mode;
    offerMenuToHost();
}

void TSysTray::offerMenuToHost()
{
    QMenu* menu = m_popupMode.testFlag(Tray::TPopupModeFlag::pmRightClick) ? m_popupMenu.data() : nullptr;
    m_hostShowsMenu = m_host->setContextMenu(menu) && menu;
}

void TSysTray::setIcon(const QIcon& icon)
{
    m_icon = icon;
    modify();
}

void TSysTray::setHint(const QString& hint)
{
    m_hint = Tray::cutHint(hint);
    modify();
}

void TSysTray::modify()
{
    if (m_active)
        m_host->modify(m_icon, m_hint);
}

void TSysTray::bringOwnerToFront()
{
    // A hidden owner (a clock face sent to the tray) stays hidden.
    if (m_ownerWindow && m_ownerWindow->isVisible()) {
        m_ownerWindow->raise();
        m_ownerWindow->activateWindow();
    }
}

void TSysTray::handleNotification(Tray::MouseMessage message)
{
    const Tray::Reaction reaction = Tray::reactionTo(message, m_popupMode);
    if (reaction.event == Tray::EventKind::None)
        return;
    const QPoint at = m_host->cursorPos();
    const QScreen* screen = QGuiApplication::screenAt(at);
    const QRect area = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
    // The menu or a handler may delete this component (the owner closing the program).
    QPointer<TSysTray> alive(this);
    if (reaction.showMenu && m_popupMenu && m_hostShowsMenu && message == Tray::MouseMessage::RightButtonDown) {
        // The host has shown the menu at the pointer already (or draws it itself): only its
        // alignment is ours. The owner is not raised, which would take the focus from the menu.
        if (m_popupMenu->isVisible())
            m_popupMenu->move(Tray::menuTopLeft(at, m_popupMenu->size(), m_popupAlign, area));
    } else if (reaction.showMenu && m_popupMenu) {
        bringOwnerToFront();
        QPointer<QMenu> menu = m_popupMenu;
        menu->exec(Tray::menuTopLeft(at, menu->sizeHint(), m_popupAlign, area));
        if (!alive)
            return;
    }
    const TMouseEvent& handler =
        reaction.event == Tray::EventKind::DoubleClick ? OnIconDoubleClick : OnIconMouseDown;
    if (handler) {
        bringOwnerToFront();
        // A copy, so the handler may replace itself.
        const TMouseEvent call = handler;
        call(this, reaction.button, at.x(), at.y());
    }
}
