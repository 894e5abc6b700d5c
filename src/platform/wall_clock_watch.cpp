#include "platform/wall_clock_watch.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>

WallClockWatch::WallClockWatch(QObject* parent) : QObject(parent)
{
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0)
        return;
    if (!arm()) {
        close(m_fd);
        m_fd = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &WallClockWatch::onReadable);
}

WallClockWatch::~WallClockWatch()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool WallClockWatch::arm()
{
    // As far ahead as the type allows: the timer is never meant to expire, only to be cancelled.
    itimerspec farAhead{};
    farAhead.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
    return timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &farAhead, nullptr) == 0;
}

void WallClockWatch::onReadable()
{
    std::uint64_t expirations = 0;
    const ssize_t n = read(m_fd, &expirations, sizeof expirations);
    if (n < 0 && errno == EAGAIN)
        return;
    // ECANCELED: the clock was set. The timer has to be armed again to hear of the next setting.
    arm();
    emit clockSet();
}
