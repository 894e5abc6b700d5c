#pragma once

#include <functional>

#include <QDBusConnection>
#include <QObject>
#include <QString>

class AlarmDispatcher;
class AlarmListStore;
class Clock;
class IdleInhibitor;
class SleepDelay;
class WakeTimer;

/// What keeps an alarm from being slept through: the screen stays on and the session awake while a
/// ringing window is open and not snoozed, and before the machine sleeps the wake timer is made sure of, or,
/// when the machine cannot be woken and an alarm is due within 12 hours, the user is told so on the desktop.
/// The sleep itself is never held up for more than that.
class WakeGuard : public QObject {
    Q_OBJECT
public:
    static constexpr int kWarnWithinHours = 12;

    WakeGuard(AlarmDispatcher& dispatcher, const AlarmListStore& store, const Clock& clock, WakeTimer& wake,
              IdleInhibitor& idle, SleepDelay& sleep,
              QDBusConnection session = QDBusConnection::sessionBus());

    /// Whether this machine can be woken for alarms, in the words the options page shows.
    static QString wakeStatusText(const WakeTimer& wake);
    /// The warning shown before sleep: `caption` rings at `time` once the machine is woken by hand.
    static QString cannotWakeText(const QString& caption, const QString& time);

private:
    void beforeSleep();

    AlarmDispatcher& m_dispatcher;
    const AlarmListStore& m_store;
    const Clock& m_clock;
    WakeTimer& m_wake;
    QDBusConnection m_session;
};
