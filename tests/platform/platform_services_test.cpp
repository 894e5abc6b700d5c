#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include "helpers/temp_folder.h"
#include "helpers/wait_limit.h"
#include "platform/output_volume.h"
#include "platform/power_control.h"

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(kWaitLimitMs);
    return QString::fromUtf8(p.readAllStandardOutput());
}

/// The null sink's volume as the server reports it, e.g. "front-left: 26112 /  40% / ...".
QString sinkVolume()
{
    return run("pactl", {"get-sink-volume", "@DEFAULT_SINK@"});
}

QString loginCalls()
{
    return run("dbus-send", {"--system", "--print-reply", "--dest=org.freedesktop.login1",
                             "/org/freedesktop/login1", "org.freedesktop.DBus.Mock.GetCalls"});
}

bool waitFor(const std::function<bool()>& condition, int ms = kWaitLimitMs)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

/// Points the sound client at another server for one test, and back afterwards, however the test ends.
struct PulseServerFor {
    explicit PulseServerFor(const QByteArray& server) { qputenv("PULSE_SERVER", server); }
    ~PulseServerFor() { m_old.isNull() ? qunsetenv("PULSE_SERVER") : qputenv("PULSE_SERVER", m_old); }
    const QByteArray m_old = qgetenv("PULSE_SERVER");
};

} // namespace

TEST(PulseOutputVolume, SetsReadsAndRestoresTheNullSink)
{
    if (qEnvironmentVariable("BELVANE_TEST_PULSE") != "1")
        GTEST_SKIP() << "no test sound server (./test starts one)";
    PulseOutputVolume volume;
    const std::optional<DeviceVolume> before = volume.read();
    ASSERT_TRUE(before.has_value());

    volume.setVolume(0x66006600); // level 102 of 255 on both channels, as an alarm at 40 % sets it
    EXPECT_TRUE(sinkVolume().contains("front-left: 26112 ")) << sinkVolume().toStdString();
    EXPECT_TRUE(sinkVolume().contains("front-right: 26112 ")) << sinkVolume().toStdString();
    EXPECT_EQ(volume.read()->packed, 0x66006600u);
    volume.release(); // as after a ringing: the next call connects again
    EXPECT_EQ(volume.read()->packed, 0x66006600u);

    volume.setVolume(0x00001000); // the channels are set apart
    EXPECT_EQ(volume.read()->packed, 0x00001000u);

    volume.setMuted(true);
    EXPECT_TRUE(volume.read()->muted);
    EXPECT_TRUE(run("pactl", {"get-sink-mute", "@DEFAULT_SINK@"}).contains("yes"));
    volume.setMuted(false);
    EXPECT_FALSE(volume.read()->muted);

    volume.setVolume(before->packed);
    volume.setMuted(before->muted);
    EXPECT_EQ(volume.read(), before);
}

TEST(PulseOutputVolume, WithoutAServerDoesNothingAndReturnsAtOnce)
{
    const PulseServerFor noServer("unix:/nonexistent/belvane-no-server");
    QElapsedTimer t;
    t.start();
    PulseOutputVolume volume;
    EXPECT_FALSE(volume.read().has_value());
    volume.setVolume(0xFF00FF00);
    volume.setMuted(false);
    EXPECT_LT(t.elapsed(), 3000); // a bound on hanging, not a speed target
}

TEST(PulseOutputVolume, FollowsARestartedServer)
{
    if (qEnvironmentVariable("BELVANE_TEST_PULSE") != "1")
        GTEST_SKIP() << "no test sound server (./test starts one)";
    // A server of this test's own, in a runtime folder of its own, so it can be restarted.
    TempFolder dir;
    QDir(dir.path()).mkdir("runtime");
    QFile::setPermissions(dir.file("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir.file("runtime"));
    env.insert("HOME", dir.path());
    // Away from the tests' session bus and display, where the shared server runs: started there, this
    // one never answered.
    for (const char* name : {"PULSE_SERVER", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY"})
        env.remove(name);
    const auto startServer = [&](QProcess& server) {
        server.setProcessEnvironment(env);
        // Anonymous: its cookie lies in its own home, where this test does not look.
        server.start("pulseaudio",
                     {"--daemonize=no", "--exit-idle-time=-1", "--system=false", "-n", "-L",
                      "module-null-sink", "-L", "module-native-protocol-unix auth-anonymous=1"});
    };
    const PulseServerFor ownServer("unix:" + dir.file("runtime/pulse/native").toLocal8Bit());
    PulseOutputVolume volume;
    QProcess first;
    startServer(first);
    ASSERT_TRUE(waitFor([&] { return volume.server() != 0; })) << first.readAllStandardError().toStdString();
    const quint64 firstServer = volume.server();
    volume.setVolume(0x66006600);
    EXPECT_EQ(volume.server(), firstServer) << "the same server keeps its number";

    first.terminate();
    first.waitForFinished(kWaitLimitMs);
    EXPECT_TRUE(waitFor([&] { return volume.server() == 0; })) << "no server, no number";
    QProcess second;
    startServer(second);
    // The failed connection is replaced by one to the new server, which is told apart from the first.
    ASSERT_TRUE(waitFor([&] { return volume.server() != 0; })) << second.readAllStandardError().toStdString();
    EXPECT_NE(volume.server(), firstServer);
    EXPECT_NE(volume.read()->packed, 0x66006600u) << "the new server starts at its own volume";
    volume.setVolume(0x33003300);
    EXPECT_EQ(volume.read()->packed, 0x33003300u);
    second.terminate();
    second.waitForFinished(kWaitLimitMs);
}

TEST(LinuxPowerControl, StandbyAndShutDownAskLogind)
{
    // Only ever against the mock on a private bus: never the machine's own logind.
    if (qEnvironmentVariable("BELVANE_LOGIND_MOCK") != "1")
        GTEST_SKIP() << "run through run-with-services.sh";
    LinuxPowerControl power;
    power.standby();
    EXPECT_TRUE(waitFor([] { return loginCalls().contains("\"Suspend\""); })) << loginCalls().toStdString();
    EXPECT_FALSE(loginCalls().contains("\"PowerOff\""));
    power.shutDown();
    EXPECT_TRUE(waitFor([] { return loginCalls().contains("\"PowerOff\""); })) << loginCalls().toStdString();
}

TEST(LinuxPowerControl, DisplayOffStartsTheScreenSaverUnderX)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->display())
        GTEST_SKIP() << "not on an X server";
    Display* display = x11->display();
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    XForceScreenSaver(display, ScreenSaverReset);
    XScreenSaverQueryInfo(display, DefaultRootWindow(display), info);
    EXPECT_EQ(info->state, ScreenSaverOff);
    LinuxPowerControl().displayOff();
    XScreenSaverQueryInfo(display, DefaultRootWindow(display), info);
    EXPECT_EQ(info->state, ScreenSaverOn);
    XForceScreenSaver(display, ScreenSaverReset);
    XFree(info);
}
