#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QProcess;

/// A timer that wakes the machine from sleep at an instant, so an alarm rings with the lid closed.
class WakeTimer {
public:
    virtual ~WakeTimer() = default;
    /// Wakes the machine at `instant`, replacing the instant given before; an invalid one disarms.
    virtual void arm(const QDateTime& instant) = 0;
    /// Waits until what was asked is in force (before the machine sleeps), and until it is known
    /// whether the machine can be woken at all.
    virtual void settle() {}
    /// Empty when the machine can be woken; otherwise why not, for the user.
    virtual QString cannotWakeReason() const = 0;
};

/// The wake helper `belvane-wake` beside the executable, started at the first instant given and fed one
/// instant a line: a program with no alarm to wake for runs no helper.
/// Only that small program holds the capability a wake timer needs. Once started, a helper that ends
/// (killed, crashed, refused) is started again and given the instant asked for last, at once at first
/// and less often after each quick failure in a row (see `restartDelayMs`).
class LinuxWakeTimer final : public QObject, public WakeTimer {
    Q_OBJECT
public:
    /// A helper that ran at least this long before it ended had not failed quickly.
    static constexpr int kSteadyRunMs = 60 * 1000;
    /// After this many quick failures in a row the helper is started once a minute.
    static constexpr int kQuickFailuresBeforeSlowRestarts = 5;

    explicit LinuxWakeTimer(const QString& helperPath, QObject* parent = nullptr);
    /// Ends the helper's input, and with it the helper and its timer.
    ~LinuxWakeTimer() override;

    void arm(const QDateTime& instant) override;
    void settle() override;
    QString cannotWakeReason() const override;

    /// How long after its end the helper is started again, after `quickFailures` helpers in a row
    /// ended (or could not start) within `kSteadyRunMs` of their start.
    static int restartDelayMs(int quickFailures);
    /// Whether a start of the helper waits for its turn.
    bool restartPending() const { return m_restart.isActive(); }

signals:
    /// `cannotWakeReason()` may read otherwise: the helper has come up or gone.
    void statusChanged();

private:
    void startHelper();
    /// `reason` for the user; `said`: what the helper or the system said, for the log.
    void helperEnded(const QString& reason, const QString& said);
    void readAnswers();

    QProcess* m_helper;
    QString m_helperPath;
    bool m_started = false; // the helper was started, at the first instant given
    bool m_ready = false;   // the helper has its timer
    QString m_failure;      // why it has none, once known
    QString m_said;         // the last failure written to the log, so each is said once
    QDateTime m_instant;    // the instant asked for last
    QByteArray m_awaited;   // the helper's answer to the last instant sent, until it has come
    QElapsedTimer m_runningSince;
    int m_quickFailures = 0;
    QTimer m_restart;
};
