#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

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
/// Only that small program holds the capability a wake timer needs.
class LinuxWakeTimer final : public QObject, public WakeTimer {
    Q_OBJECT
public:
    explicit LinuxWakeTimer(const QString& helperPath, QObject* parent = nullptr);
    /// Ends the helper's input, and with it the helper and its timer.
    ~LinuxWakeTimer() override;

    void arm(const QDateTime& instant) override;
    void settle() override;
    QString cannotWakeReason() const override;

private:
    void readAnswers();

    QProcess* m_helper;
    QString m_helperPath;
    bool m_started = false; // the helper was started, at the first instant given
    bool m_ready = false;   // the helper has its timer
    QString m_failure;      // why it has none, once known
    QByteArray m_awaited;   // the helper's answer to the last instant sent, until it has come
};
