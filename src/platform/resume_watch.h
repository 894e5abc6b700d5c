#pragma once

#include <QObject>

/// Tells when the machine has resumed from sleep: logind's PrepareForSleep(false) on the system bus.
/// Timers run on the monotonic clock, which stands still while the machine sleeps, so a timer armed
/// for an alarm would fire as late as the machine slept.
class ResumeWatch : public QObject {
    Q_OBJECT
public:
    explicit ResumeWatch(QObject* parent = nullptr);

    /// False when the system bus or logind cannot be reached.
    bool isWatching() const { return m_watching; }

signals:
    void resumed();

private slots:
    void onPrepareForSleep(bool goingToSleep);

private:
    bool m_watching = false;
};
