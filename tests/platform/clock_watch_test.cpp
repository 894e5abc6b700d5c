#include <gtest/gtest.h>

#include <algorithm>

#include <sys/timerfd.h>

#include <pulse/version.h>

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QThread>

#include "helpers/eventually.h"
#include "platform/heap_trim.h"
#include "platform/process_age.h"
#include "platform/resume_watch.h"
#include "platform/wall_clock_watch.h"

namespace {

/// Has logind's mock send one of its manager's signals, with one boolean, on the private system bus.
bool emitLogindSignal(const char* name, bool value)
{
    QProcess mock;
    mock.start("gdbus", {"call", "--system", "--dest", "org.freedesktop.login1", "--object-path",
                         "/org/freedesktop/login1", "--method", "org.freedesktop.DBus.Mock.EmitSignal",
                         "org.freedesktop.login1.Manager", name, "b",
                         QStringLiteral("[<%1>]").arg(value ? "true" : "false")});
    return mock.waitForFinished(20000) && mock.exitCode() == 0;
}

/// Hears PrepareForShutdown on the connection the watch uses. The connection hands each signal to all
/// its receivers before it reads the next: once this one is heard, a signal sent before it has reached
/// the watch, or waits in this thread's queue.
class ShutdownHeard : public QObject {
    Q_OBJECT
public:
    ShutdownHeard()
    {
        connected = QDBusConnection::systemBus().connect(QString(), "/org/freedesktop/login1",
                                                         "org.freedesktop.login1.Manager",
                                                         "PrepareForShutdown", this, SLOT(heard(bool)));
    }
    bool connected = false;
    int count = 0;

public slots:
    void heard(bool) { ++count; }
};

} // namespace

TEST(ResumeWatch, HearsLogindSayTheMachineHasResumed)
{
    if (qEnvironmentVariable("BELVANE_LOGIND_MOCK") != "1")
        GTEST_SKIP() << "run through run-with-services.sh";
    ResumeWatch watch;
    ASSERT_TRUE(watch.isWatching());
    QSignalSpy resumed(&watch, &ResumeWatch::resumed);

    // Going to sleep is not a resume.
    ShutdownHeard barrier;
    ASSERT_TRUE(barrier.connected);
    ASSERT_TRUE(emitLogindSignal("PrepareForSleep", true));
    ASSERT_TRUE(emitLogindSignal("PrepareForShutdown", false));
    ASSERT_EVENTUALLY(barrier.count == 1);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(resumed.size(), 0) << "going to sleep was taken for a resume";

    ASSERT_TRUE(emitLogindSignal("PrepareForSleep", false));
    EXPECT_EVENTUALLY_EQ(resumed.size(), 1);
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
    // The kernel shows how it was armed: on the real-time clock (0), at an absolute time (1) and to be
    // cancelled when the clock is set (2). Without the last the watch would never hear a clock set.
    QFile info(QStringLiteral("/proc/self/fdinfo/%1").arg(fd));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(info.readAll());
    EXPECT_TRUE(text.contains(QRegularExpression("clockid:\\s*0\\n"))) << text.toStdString();
    const QRegularExpressionMatch flags = QRegularExpression("settime flags:\\s*([0-7]+)").match(text);
    ASSERT_TRUE(flags.hasMatch()) << text.toStdString();
    EXPECT_EQ(flags.captured(1).toInt(nullptr, 8), TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET)
        << text.toStdString();
}

TEST(ProcessAge, CountsFromTheProcessStartOnTheBootClock)
{
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    QProcess child;
    child.start("sleep", {"60"});
    ASSERT_TRUE(child.waitForStarted(20000));
    const qint64 young = processAgeMs(child.processId());
    const qint64 launchedMsAgo = sinceLaunch.elapsed();
    EXPECT_GE(young, 0);
    EXPECT_LE(young, launchedMsAgo + 20) << "older than the time since it was launched";
    // Measured on the process itself: its age grows as the wall clock does, tick for tick.
    const qint64 before = processAgeMs();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 300)
        QThread::msleep(20);
    const qint64 waitedMs = waited.elapsed();
    const qint64 grown = processAgeMs() - before;
    EXPECT_GE(grown, waitedMs - 30);
    EXPECT_GT(before, young) << "this test's process started after its child";
    child.kill();
    child.waitForFinished(20000);
}

/// The resident KiB of the mappings whose line in /proc/self/smaps matches $mapping.
static long residentKiB(const QRegularExpression& mapping)
{
    QFile smaps("/proc/self/smaps");
    if (!smaps.open(QIODevice::ReadOnly))
        return -1;
    long kib = 0;
    bool counted = false;
    const QRegularExpression header(R"(^[0-9a-f]+-[0-9a-f]+ )");
    for (const QString& line : QString::fromUtf8(smaps.readAll()).split('\n')) {
        if (header.match(line).hasMatch())
            counted = mapping.match(line).hasMatch();
        else if (counted && line.startsWith("Rss:"))
            kib += line.split(' ', Qt::SkipEmptyParts).value(1).toLong();
    }
    return kib;
}

TEST(SoundPages, OnlyPagesFirstUsedForSoundAreLetGoAndTheyWorkAgain)
{
    // Two read-only views of this test's own file: one read before the first sound, one after.
    QFile self("/proc/self/exe");
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    const qint64 size = std::min<qint64>(self.size(), 1 << 20);
    const uchar* readBefore = self.map(0, size);
    const uchar* readAfter = self.map(0, size);
    ASSERT_TRUE(readBefore && readAfter);
    const auto touch = [size](const uchar* view) {
        int sum = 0;
        for (qint64 i = 0; i < size; i += 4096)
            sum += view[i];
        return sum;
    };
    const int contents = touch(readBefore);
    notePagesBeforeSound();
    const std::string version = pa_get_library_version(); // the client's code is resident now
    ASSERT_EQ(touch(readAfter), contents);
    const auto view = [](const uchar* at) {
        return QRegularExpression(QStringLiteral("^%1-").arg(quintptr(at), 0, 16));
    };
    const auto code = [](const char* library) {
        return QRegularExpression(QStringLiteral("^\\S+ ..x.*/%1").arg(library));
    };
    const struct {
        QRegularExpression mapping;
        bool letGo;
    } cases[] = {{code("libpulse.so"), true}, // a sound library: all of it
                 {code("libc.so"), false},
                 {code("libQt6Core.so"), false},
                 {view(readBefore), false},
                 {view(readAfter), true}};
    for (const auto& c : cases)
        ASSERT_GT(residentKiB(c.mapping), 0) << c.mapping.pattern().toStdString();
    returnPagesUsedForSound();
    for (const auto& c : cases)
        EXPECT_EQ(residentKiB(c.mapping) == 0, c.letGo) << c.mapping.pattern().toStdString();
    EXPECT_EQ(pa_get_library_version(), version) << "the client's code, mapped again, runs as before";
    EXPECT_EQ(touch(readAfter), contents) << "a view let go reads the file's contents again";
}

#include "clock_watch_test.moc"
