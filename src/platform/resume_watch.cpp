#include "platform/resume_watch.h"

#include <QDBusConnection>

ResumeWatch::ResumeWatch(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    // QtDBus connects signals by signature, so the slot is named the old way. Any sender is heard:
    // the worst a stray signal can do is make the scheduler look at the clock once more.
    m_watching = bus.isConnected() &&
                 bus.connect(QString(), QStringLiteral("/org/freedesktop/login1"),
                             QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                             this, SLOT(onPrepareForSleep(bool)));
}

void ResumeWatch::onPrepareForSleep(bool goingToSleep)
{
    if (!goingToSleep)
        emit resumed();
}
