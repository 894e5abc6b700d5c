#pragma once

#include <QDBusServiceWatcher>
#include <QObject>

/// Tells when the desktop's notification areas come or go, without polling: an XEmbed tray (Qt's X11
/// platform watches the owner of the `_NET_SYSTEM_TRAY_S<n>` selection and reports a new tray window or
/// the old one's end) and the StatusNotifierItem watcher on the session bus. Whether a notification
/// area is there is then Qt's to answer (QSystemTrayIcon::isSystemTrayAvailable).
class TrayPresenceWatch : public QObject {
    Q_OBJECT
public:
    explicit TrayPresenceWatch(QObject* parent = nullptr);

signals:
    void changed();
    /// A StatusNotifierItem watcher has taken its bus name (a panel started or restarted).
    void statusNotifierWatcherArrived();

private:
    QDBusServiceWatcher m_statusNotifierWatcher;
};
