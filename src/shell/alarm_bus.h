#pragma once

#include <functional>

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QDBusVariant>
#include <QObject>
#include <QVariantMap>

#include "alarms/alarm_commands.h"

class AlarmDispatcher;
class AlarmListStore;
class Clock;
class TAlarmRun;

/// The running copy's alarm commands, whoever asks (a command line through the socket, D-Bus): the
/// list is changed through the application's one store, so the list window, the scheduler, the
/// wake timer and the sound made ready ahead follow at once; stop and snooze act on the ringing
/// window as its buttons do. It also tells when an alarm rings and how it was answered.
class RunningAlarms : public QObject, public AlarmTarget {
    Q_OBJECT
public:
    RunningAlarms(AlarmListStore& store, AlarmDispatcher& dispatcher, Clock& clock);

    int add(const QStringList& arguments) override { return m_store.add(arguments); }
    QList<QVariantMap> list() override { return m_store.list(); }
    void remove(int number) override { m_store.remove(number); }
    void setEnabled(int number, bool enabled) override { m_store.setEnabled(number, enabled); }
    QVariantMap next() override { return m_store.next(); }
    void stopRinging() override;
    void snoozeRinging() override;

    /// The one place an answer to a ringing alarm is told: "ok" and "snooze" from the window's
    /// buttons (however they were pressed), "unanswered" when it ends with nobody answering.
    void announceAnswered(int number, const QString& how);

signals:
    void alarmRinging(uint number, const QString& name, const QString& due);
    void alarmAnswered(uint number, const QString& how);

private:
    TAlarmRun& ringingWindow() const;
    void followRinging(TAlarmRun* window);

    StoreAlarmTarget m_store;
    AlarmDispatcher& m_dispatcher;
};

/// org.belvane.Alarms: the alarm commands over D-Bus, with the command line's messages as named
/// errors ("org.belvane.Alarms.Error.BadInput", ...).
class AlarmsBusAdaptor : public QDBusAbstractAdaptor, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.belvane.Alarms")
public:
    AlarmsBusAdaptor(QObject* parent, RunningAlarms& alarms);

public slots:
    uint AddAlarm(const QVariantMap& fields);
    QList<QVariantMap> ListAlarms();
    void RemoveAlarm(uint number);
    void SetAlarmEnabled(uint number, bool enabled);
    QVariantMap NextAlarm();
    void StopRinging();
    void SnoozeRinging();

signals:
    void AlarmRinging(uint number, const QString& name, const QString& due);
    void AlarmAnswered(uint number, const QString& how);

private:
    /// Runs `call`; a CommandError becomes the named error reply.
    void answer(const std::function<void()>& call);

    RunningAlarms& m_alarms;
};

/// org.freedesktop.Application: Activate shows the clock face, ActivateAction opens "new-alarm" or
/// "alarm-list", as the desktop entry's actions do.
class ApplicationBusAdaptor : public QDBusAbstractAdaptor, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    ApplicationBusAdaptor(QObject* parent, std::function<void()> activate,
                          std::function<bool(const QString&)> openWindow);

public slots:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& action, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    std::function<void()> m_activate;
    std::function<bool(const QString&)> m_openWindow;
};

inline const QString kBusName = QStringLiteral("org.belvane.Belvane");
inline const QString kBusPath = QStringLiteral("/org/belvane/Belvane");
inline const QString kAlarmsInterface = QStringLiteral("org.belvane.Alarms");

/// Puts both interfaces on the session bus under org.belvane.Belvane; false without a session bus
/// (the socket still serves the command line then).
bool exportOnSessionBus(QObject* owner, RunningAlarms& alarms, std::function<void()> activate,
                        std::function<bool(const QString&)> openWindow);

/// The socket's form of a command: "command " and the arguments, and the answer: the exit status,
/// what it printed and its error line.
QByteArray encodeCommandRequest(const QStringList& arguments);
QByteArray answerCommandRequest(const QByteArray& line, AlarmTarget& target, const QDateTime& now);
/// Reads an answer into the exit status and the two texts; false for an answer that is not one.
bool decodeCommandAnswer(const QByteArray& answer, int& exitCode, QString& out, QString& err);
