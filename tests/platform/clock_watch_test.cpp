#include <gtest/gtest.h>

#include <sys/timerfd.h>

#include <QProcess>
#include <QSocketNotifier>
#include <QSignalSpy>

#include "platform/resume_watch.h"
#include "platform/wall_clock_watch.h"

namespace {

bool emitPrepareForSleep(bool goingToSleep)
{
    // logind's mock sends the signal from its own name on the private system bus.
    QProcess mock;
    mock.start("gdbus", {"call", "--system", "--dest", "org.freedesktop.login1", "--object-path",
                         "/org/freedesktop/login1", "--method", "org.freedesktop.DBus.Mock.EmitSignal",
                         "org.freedesktop.login1.Manager", "PrepareForSleep", "b",
                         QStringLiteral("[<%1>]").arg(goingToSleep ? "true" : "false")});
    return mock.waitForFinished(20000) && mock.exitCode() == 0;
}

} // namespace

TEST(ResumeWatch, HearsLogindSayTheMachineHasResumed)
{
    if (qEnvironmentVariable("BELVANE_LOGIND_MOCK") != "1")
        GTEST_SKIP() << "run through run-with-services.sh";
    ResumeWatch watch;
    ASSERT_TRUE(watch.isWatching());
    QSignalSpy resumed(&watch, &ResumeWatch::resumed);
    ASSERT_TRUE(emitPrepareForSleep(true));
    ASSERT_TRUE(emitPrepareForSleep(false));
    ASSERT_TRUE(resumed.wait(20000)) << "no resume heard";
    EXPECT_EQ(resumed.size(), 1) << "going to sleep is not a resume";
}

TEST(WallClockWatch, ArmsATimerTheKernelCancelsWhenTheClockIsSet)
{
    // Setting the machine's clock is not for a test; what can be seen is that the watch holds an armed
    // real-time timer far ahead, the kind TFD_TIMER_CANCEL_ON_SET applies to.
    WallClockWatch watch;
    ASSERT_TRUE(watch.isWatching());
    auto* notifier = watch.findChild<QSocketNotifier*>();
    ASSERT_NE(notifier, nullptr);
    const int fd = int(notifier->socket());
    itimerspec armed{};
    ASSERT_EQ(timerfd_gettime(fd, &armed), 0);
    EXPECT_GT(armed.it_value.tv_sec, 10LL * 365 * 86400) << "not armed far ahead";
}
