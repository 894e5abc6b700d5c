#include "shell/sys_tray.h"

#include <QCursor>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

Tray::MouseMessage messageFor(QSystemTrayIcon::ActivationReason reason)
{
    // The desktop's tray reports a left press, a left double click (after the press of its first
    // click) and a right press; it has no right double click.
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return Tray::MouseMessage::LeftButtonDown;
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

class SystemTrayHost : public TrayIconHost {
public:
    SystemTrayHost()
    {
        QObject::connect(&m_icon, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason r) {
            if (notify)
                notify(messageFor(r));
        });
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
};

} // namespace

std::unique_ptr<TrayIconHost> makeSystemTrayHost()
{
    return std::make_unique<SystemTrayHost>();
}

TSysTray::TSysTray(QObject* owner, std::unique_ptr<TrayIconHost> host)
    : QObject(owner), m_host(host ? std::move(host) : makeSystemTrayHost())
{
    setObjectName(QStringLiteral("SysTray"));
    if (auto* widget = qobject_cast<QWidget*>(owner))
        m_ownerWindow = widget->window();
    m_host->notify = [this](Tray::MouseMessage message) { handleNotification(message); };
}

TSysTray::~TSysTray()
{
    m_host->notify = nullptr;
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
    // The menu or a handler may delete this component (the owner closing the program).
    QPointer<TSysTray> alive(this);
    if (reaction.showMenu && m_popupMenu) {
        bringOwnerToFront();
        QPointer<QMenu> menu = m_popupMenu;
        menu->exec(Tray::menuTopLeft(at, menu->sizeHint(), m_popupAlign));
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
