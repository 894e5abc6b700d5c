#include "shell/tray_presence.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QMetaMethod>

TrayPresenceWatch::TrayPresenceWatch(QObject* parent)
    : QObject(parent),
      m_statusNotifierWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
                              QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(&m_statusNotifierWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &TrayPresenceWatch::changed);
    connect(&m_statusNotifierWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (!newOwner.isEmpty())
                    emit statusNotifierWatcherArrived();
            });
    // The signal belongs to the X11 platform's native interface; other platforms have no XEmbed tray.
    // The interface's class is a QObject (its only base) whose header is private, hence the cast.
    auto* native = reinterpret_cast<QObject*>(QGuiApplication::platformNativeInterface());
    const int signal = native ? native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") : -1;
    if (signal >= 0)
        connect(native, native->metaObject()->method(signal), this,
                QMetaMethod::fromSignal(&TrayPresenceWatch::changed));
}
