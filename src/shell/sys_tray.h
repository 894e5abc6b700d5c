#pragma once

#include <functional>
#include <memory>

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include "shell/tray_dispatch.h"

class QWidget;

/// The desktop's notification area as the tray icon component sees it: an icon that can be added,
/// changed and removed, the cursor position, and the clicks on the icon reported through `notify`.
/// The real one sits on QSystemTrayIcon; tests drive the component through their own.
class TrayIconHost {
public:
    virtual ~TrayIconHost() = default;

    /// Each returns true on success; nobody has to act on the result.
    virtual bool add(const QIcon& icon, const QString& tip) = 0;
    virtual bool modify(const QIcon& icon, const QString& tip) = 0;
    virtual bool remove() = 0;
    virtual QPoint cursorPos() const = 0;
    /// Whether the desktop has a notification area now; without one a hidden window cannot come back.
    virtual bool available() const { return true; }
    /// The menu the host itself shows on a right click (and exports to hosts that draw their own);
    /// none: the component shows the menu. Returns whether the host took the menu.
    virtual bool setContextMenu(QMenu* menu)
    {
        (void)menu;
        return false;
    }

    std::function<void(Tray::MouseMessage)> notify;
    /// Called with the new answer of `available` when the desktop's notification area goes away (a
    /// panel restarting or crashing) or comes back. The icon itself comes back with the area.
    std::function<void(bool available)> availabilityChanged;
};

/// The host on the desktop's system tray. When no tray is running the icon waits and appears as
/// soon as one starts.
std::unique_ptr<TrayIconHost> makeSystemTrayHost();
/// Tests put their own host behind every tray made from then on; an empty maker restores the
/// desktop's.
void setSystemTrayHostMaker(std::function<std::unique_ptr<TrayIconHost>()> maker);

/// One icon with a tooltip in the notification area, a pop-up menu on the clicks chosen by
/// `PopupMode`, and the clicks reported as events. Inactive after construction.
class TSysTray : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(bool ShowDesigning READ ShowDesigning WRITE setShowDesigning)
    Q_PROPERTY(QIcon Icon READ Icon WRITE setIcon)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(QMenu* PopupMenu READ PopupMenu WRITE setPopupMenu)
    Q_PROPERTY(Tray::TPopupMode PopupMode READ PopupMode WRITE setPopupMode)
    Q_PROPERTY(Tray::TPopupAlign PopupAlign READ PopupAlign WRITE setPopupAlign)

public:
    /// Sender, button, and the cursor position in screen coordinates when the click was handled.
    using TMouseEvent = std::function<void(TSysTray* sender, Qt::MouseButton button, int x, int y)>;

    /// The owner is brought to the front before a menu or an event when it is a window. Without a
    /// host the component uses the desktop's system tray.
    explicit TSysTray(QObject* owner = nullptr, std::unique_ptr<TrayIconHost> host = nullptr);
    ~TSysTray() override;

    bool Active() const { return m_active; }
    void setActive(bool active);
    /// Kept for the owner's settings; there is no form designer to show the icon in.
    bool ShowDesigning() const { return m_showDesigning; }
    void setShowDesigning(bool show) { m_showDesigning = show; }
    QIcon Icon() const { return m_icon; }
    void setIcon(const QIcon& icon);
    QString Hint() const { return m_hint; }
    void setHint(const QString& hint);
    QMenu* PopupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu);
    Tray::TPopupMode PopupMode() const { return m_popupMode; }
    void setPopupMode(Tray::TPopupMode mode);
    /// Whether the desktop has a notification area to hide a window into.
    bool available() const { return m_host->available(); }
    Tray::TPopupAlign PopupAlign() const { return m_popupAlign; }
    void setPopupAlign(Tray::TPopupAlign align) { m_popupAlign = align; }

    TMouseEvent OnIconDoubleClick;
    TMouseEvent OnIconMouseDown;

signals:
    /// The desktop's notification area went away (`available` false) or came back.
    void availableChanged(bool available);

private:
    /// One click reported by the host: the menu first, when the mode asks for it, then the event.
    /// Returns when the menu has closed and the handler has returned.
    void handleNotification(Tray::MouseMessage message);
    void modify();
    void bringOwnerToFront();
    /// Hands the menu to the host for the right click, when the mode shows it there.
    void offerMenuToHost();

    std::unique_ptr<TrayIconHost> m_host;
    QPointer<QWidget> m_ownerWindow;
    bool m_active = false;
    bool m_showDesigning = false;
    QIcon m_icon;
    QString m_hint = QStringLiteral("SysTray Component.");
    QPointer<QMenu> m_popupMenu;
    Tray::TPopupMode m_popupMode = Tray::TPopupModeFlag::pmRightClick;
    Tray::TPopupAlign m_popupAlign = Tray::TPopupAlign::paRight;
    bool m_hostShowsMenu = false;
};
