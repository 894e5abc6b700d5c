#include "ringing/wake_guard.h"

#include <optional>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

#include "alarms/alarm_list_file.h"
#include "platform/clock.h"
#include "platform/inhibitors.h"
#include "platform/text_codec.h"
#include "platform/wake_timer.h"
#include "ringing/alarm_dispatcher.h"
#include "ringing/alarm_run_window.h"

WakeGuard::WakeGuard(AlarmDispatcher& dispatcher, const AlarmListStore& store, const Clock& clock,
                     WakeTimer& wake, IdleInhibitor& idle, SleepDelay& sleep, QDBusConnection session)
    : QObject(&dispatcher), m_dispatcher(dispatcher), m_store(store), m_clock(clock), m_wake(wake),
      m_session(std::move(session))
{
    // The window is gone on every way out (OK, snooze to the end, the play list over, the end of the
    // run), and each of them ends the ringing.
    connect(&dispatcher, &AlarmDispatcher::ringingStarted, this, [this, &idle](TAlarmRun* window) {
        idle.hold(QCoreApplication::translate("WakeGuard", "闹钟正在响铃"));
        // A snooze is an answer: the screen may blank until the alarm rings again.
        connect(window, &TAlarmRun::snoozeChanged, this, [window, &idle] {
            if (window->session().Silenced)
                idle.release();
            else
                idle.hold(QCoreApplication::translate("WakeGuard", "闹钟正在响铃"));
        });
        // A ringing that ended unanswered leaves a silent window: the screen may sleep.
        connect(window, &TAlarmRun::unanswered, this, [&idle] { idle.release(); });
    });
    connect(&dispatcher, &AlarmDispatcher::ringingEnded, this, [&idle] { idle.release(); });
    connect(&sleep, &SleepDelay::aboutToSleep, this, &WakeGuard::beforeSleep);
}

QString WakeGuard::wakeStatusText(const WakeTimer& wake)
{
    const QString reason = wake.cannotWakeReason();
    return reason.isEmpty() ? QCoreApplication::translate("WakeGuard", "能唤醒电脑") : QCoreApplication::translate("WakeGuard", "不能唤醒电脑：%1").arg(reason);
}

QString WakeGuard::cannotWakeText(const QString& caption, const QString& time)
{
    return QCoreApplication::translate("WakeGuard", "闹钟“%1”（%2）无法唤醒电脑：它会在电脑醒来后响").arg(caption, time);
}

void WakeGuard::beforeSleep()
{
    // The clock may have moved since the last look: the timer gets the latest instant, and is known
    // to hold it, before the machine goes.
    m_dispatcher.rearm();
    m_wake.settle();
    if (m_wake.cannotWakeReason().isEmpty())
        return;
    const QList<AlarmEntry> rows = m_store.onRows();
    std::optional<QDateTime> first;
    qsizetype firstIndex = -1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const std::optional<QDateTime> due = m_dispatcher.scheduler().nextDueOf(rows, i);
        if (due && (!first || *due < *first)) {
            first = due;
            firstIndex = i;
        }
    }
    if (!first || m_clock.now().secsTo(*first) > qint64(kWarnWithinHours) * 3600)
        return;
    if (!m_session.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Belvane") << uint(0) << QStringLiteral("belvane") << QStringLiteral("Belvane")
         << cannotWakeText(decodeText(rows[firstIndex].caption), first->toString(QStringLiteral("HH:mm")))
         << QStringList() << QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))}} << -1;
    // Not waited for: the sleep goes on whether or not a notification server answers.
    m_session.asyncCall(call);
}
