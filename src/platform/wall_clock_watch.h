#pragma once

#include <QObject>

class QSocketNotifier;

/// Tells when the wall clock is set (by hand, by NTP stepping it, by a resume that corrects it): a
/// timerfd on CLOCK_REALTIME armed far ahead with TFD_TIMER_CANCEL_ON_SET, which the kernel cancels
/// whenever the clock is set. Costs nothing while the clock runs on.
class WallClockWatch : public QObject {
    Q_OBJECT
public:
    explicit WallClockWatch(QObject* parent = nullptr);
    ~WallClockWatch() override;

    /// False where the kernel offers no such timer; the caller's other checks then have to do.
    bool isWatching() const { return m_fd >= 0; }

signals:
    void clockSet();

private:
    bool arm();
    void onReadable();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
