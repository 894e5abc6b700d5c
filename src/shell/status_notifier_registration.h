#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

/// Makes sure the program's StatusNotifierItem is registered with a watcher that has just come (the
/// desktop's panel restarted). Qt registers its item again as soon as the watcher's bus name is
/// owned, once; a watcher that owns its name before it has made its object answers that call with
/// an error, and the icon would be gone until the program restarts. So this asks the new watcher
/// whether it lists the item, registers it when not, and tries again after a growing delay while the
/// watcher answers with errors, for about half a minute at most. Its calls go over the connection
/// that Qt's item lives on, so the watcher sees them come from the item itself.
class StatusNotifierRegistration : public QObject {
    Q_OBJECT
public:
    explicit StatusNotifierRegistration(QObject* parent = nullptr);

    /// Called when a watcher has taken the bus name; a run already going starts over.
    void watcherArrived();

private:
    void attempt();
    void retryLater();
    void registerItem(QDBusConnection connection, const QString& item);

    QTimer m_retry;
    int m_delayMs = 0;
};
