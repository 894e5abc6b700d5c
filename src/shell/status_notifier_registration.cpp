#include "shell/status_notifier_registration.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

constexpr int kFirstDelayMs = 100;
constexpr int kLastDelayMs = 12800; // 100 ms doubled seven times: 25.5 s of retries in all

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

/// The connection Qt's tray icon registers its item on: Qt opens one of its own per icon, named
/// "org.kde.StatusNotifierItem-PID-N" (N counts the icons made), and names the item to the watcher by
/// that connection's unique bus name. Not connected while no icon is shown on a StatusNotifierItem
/// host (or on a Qt that does otherwise, when nothing is done).
QDBusConnection itemConnection()
{
    for (int icon = 1; icon <= 4; ++icon) {
        QDBusConnection connection(QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                                       .arg(QCoreApplication::applicationPid())
                                       .arg(icon));
        if (connection.isConnected())
            return connection;
    }
    return QDBusConnection(QString());
}

QDBusMessage watcherCall(const QString& interface, const QString& method)
{
    return QDBusMessage::createMethodCall(kWatcher, kWatcherPath, interface, method);
}

} // namespace

StatusNotifierRegistration::StatusNotifierRegistration(QObject* parent) : QObject(parent)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &StatusNotifierRegistration::attempt);
}

void StatusNotifierRegistration::watcherArrived()
{
    // Qt's own registration goes first: it hears of the watcher at the same time.
    m_delayMs = kFirstDelayMs;
    retryLater();
}

void StatusNotifierRegistration::attempt()
{
    QDBusConnection connection = itemConnection();
    const QString item = connection.baseService();
    if (item.isEmpty())
        return;
    QDBusMessage ask = watcherCall(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << kWatcher << QStringLiteral("RegisteredStatusNotifierItems");
    auto* pending = new QDBusPendingCallWatcher(connection.asyncCall(ask), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, connection, item](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (reply.isError()) {
            retryLater();
            return;
        }
        // Watchers list an item by its bus name, some with its object path after it.
        const QStringList listed = reply.value().variant().toStringList();
        for (const QString& entry : listed) {
            if (entry == item || entry.startsWith(item + QLatin1Char('/')))
                return;
        }
        registerItem(connection, item);
    });
}

void StatusNotifierRegistration::registerItem(QDBusConnection connection, const QString& item)
{
    QDBusMessage call = watcherCall(kWatcher, QStringLiteral("RegisterStatusNotifierItem"));
    call << item;
    auto* pending = new QDBusPendingCallWatcher(connection.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        if (answer->isError())
            retryLater();
    });
}

void StatusNotifierRegistration::retryLater()
{
    if (m_delayMs > kLastDelayMs)
        return;
    m_retry.start(m_delayMs);
    m_delayMs *= 2;
}
