#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_settings_file.h"
#include "helpers/eventually.h"
#include "helpers/fake_services.h"
#include "helpers/temp_folder.h"
#include "helpers/wav_file.h"
#include "media/player_settings.h"
#include "media/run_play_window.h"
#include "platform/inhibitors.h"
#include "platform/line_file.h"
#include "platform/wake_timer.h"
#include "ringing/alarm_dispatcher.h"
#include "ringing/wake_guard.h"

namespace {

const QString kLogind = "org.freedesktop.login1";
const QString kLogindPath = "/org/freedesktop/login1";
const QString kMock = "org.freedesktop.DBus.Mock";

bool onTestBuses()
{
    return qEnvironmentVariable("BELVANE_WAKE_BUSES") == "1";
}

/// logind's inhibitors as "what who mode" lines.
QStringList logindInhibitors()
{
    const QDBusMessage reply = QDBusConnection::systemBus().call(
        QDBusMessage::createMethodCall(kLogind, kLogindPath, kLogind + ".Manager", "ListInhibitors"));
    QStringList out;
    const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        out << what + " " + who + " " + mode;
    }
    list.endArray();
    return out;
}

/// logind's PrepareForSleep, sent by the mock as logind sends it.
void prepareForSleep(bool goingToSleep)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kLogind, kLogindPath, kMock, "EmitSignal");
    call << kLogind + ".Manager" << QString("PrepareForSleep") << QString("b")
         << QVariantList{QVariant(goingToSleep)};
    QDBusConnection::systemBus().call(call);
}

/// The calls a session bus mock recorded, each as its method name and its string arguments.
QStringList sessionCalls(const QString& service, const QString& path)
{
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(service, path, kMock, "GetCalls"));
    QStringList out;
    const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 when = 0;
        QString method;
        QVariantList args;
        list.beginStructure();
        list >> when >> method >> args;
        list.endStructure();
        QStringList texts{method};
        for (const QVariant& a : args)
            if (a.typeId() == QMetaType::QString || a.typeId() == QMetaType::UInt)
                texts << a.toString();
        out << texts.join(" | ");
    }
    list.endArray();
    return out;
}

QStringList screenSaverCalls()
{
    QStringList names;
    for (const QString& call : sessionCalls("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"))
        names << call.section(" | ", 0, 0);
    return names;
}

QStringList notifications()
{
    return sessionCalls("org.freedesktop.Notifications", "/org/freedesktop/Notifications").filter("Notify");
}

/// Seconds left on the wake timer (clock 8, CLOCK_REALTIME_ALARM) of a child of this process, as the
/// kernel shows it in /proc; nothing when no child holds one.
std::optional<qint64> childWakeTimerSecondsLeft()
{
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children("/proc/self/task/" + task + "/children");
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& pid : children.readAll().split(' ')) {
            const QString fdinfo = "/proc/" + QString::fromLatin1(pid.trimmed()) + "/fdinfo";
            for (const QString& fd : QDir(fdinfo).entryList(QDir::Files)) {
                QFile info(fdinfo + "/" + fd);
                if (!info.open(QIODevice::ReadOnly))
                    continue;
                const QString text = QString::fromLatin1(info.readAll());
                static const QRegularExpression clock("^clockid:\\s*8$", QRegularExpression::MultilineOption);
                static const QRegularExpression left("^it_value: \\((\\d+),",
                                                     QRegularExpression::MultilineOption);
                const QRegularExpressionMatch m = left.match(text);
                if (text.contains(clock) && m.hasMatch())
                    return m.captured(1).toLongLong();
            }
        }
    }
    return std::nullopt;
}

void clearSessionCalls(const QString& service, const QString& path)
{
    QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(service, path, kMock, "ClearCalls"));
}

/// The scheduler with the real inhibitors and a wake timer on the clock the test sets, which starts
/// at the real time (the real helper arms the kernel's timer on the real clock).
class WakeAndIdle : public ::testing::Test {
protected:
    WakeAndIdle()
    {
        if (!onTestBuses())
            return;
        clearSessionCalls("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver");
        clearSessionCalls("org.freedesktop.Notifications", "/org/freedesktop/Notifications");
        QDir(dir.path()).mkdir("sounds");
        writeToneWav(dir.file("sounds/" + builtInSoundFile(0)), 2500);
    }
    ~WakeAndIdle() override
    {
        if (dispatcher)
            dispatcher->stop();
        QApplication::processEvents();
        dispatcher.reset();
    }

    void addDaily(const char* caption, QTime time, AlarmSettings s = fallbackAlarmSettings())
    {
        const int number = int(store.rows.size());
        store.rows.append(
            makeAlarmEntry({caption, int(Frequency::Daily), fake.clock.now().date(), time, "1111111"}, number,
                           RowOrigin::Add, DateTimeLocale::neutral()));
        s.volume = 50;
        s.reminderText = {QString::fromUtf8(caption)};
        writeFileAtomically(dir.file(SettingsFileName(number)), WriteAlarmSettings(s));
    }
    void start(const QString& helper)
    {
        wake = std::make_unique<LinuxWakeTimer>(helper);
        dispatcher = std::make_unique<AlarmDispatcher>(fake.services, store, dir.path(), dir.path(), player);
        dispatcher->setWakeTimer(wake.get());
        new WakeGuard(*dispatcher, store, fake.clock, *wake, idle, sleep);
        dispatcher->start();
    }
    bool sleepDelayHeld() const { return logindInhibitors().contains("sleep Belvane delay"); }
    bool idleHeld() const { return logindInhibitors().contains("idle Belvane block"); }

    TempFolder dir;
    FakeServices fake{QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch())};
    AlarmListStore store{dir.path()};
    TFormRunPlay player{defaultPlayerSettings()};
    IdleInhibitor idle;
    SleepDelay sleep;
    std::unique_ptr<LinuxWakeTimer> wake;
    std::unique_ptr<AlarmDispatcher> dispatcher;
};

#define NEED_TEST_BUSES()                                                                                    \
    if (!onTestBuses())                                                                                      \
    GTEST_SKIP() << "run through run-with-buses.sh: never against the machine's own logind"

} // namespace

TEST_F(WakeAndIdle, TheSleepDelayIsLetGoOnlyAfterTheTimerIsSeenToAndTakenAgainAtResume)
{
    NEED_TEST_BUSES();
    addDaily("晨跑", fake.clock.now().addSecs(3 * 3600).time());
    start(dir.file("no such folder/belvane-wake"));
    ASSERT_TRUE(sleepDelayHeld()) << logindInhibitors().join(", ").toStdString();
    bool heldWhileHandled = false;
    QObject::connect(&sleep, &SleepDelay::aboutToSleep, [&] { heldWhileHandled = sleepDelayHeld(); });

    prepareForSleep(true);
    EXPECT_EVENTUALLY(!sleepDelayHeld());
    EXPECT_TRUE(heldWhileHandled) << "the sleep went on before the wake timer was seen to";
    prepareForSleep(false);
    EXPECT_EVENTUALLY(sleepDelayHeld());
}

struct SleepCase {
    const char* situation;
    int alarmInMinutes;
    bool realHelper;
    bool warned;
};

class BeforeSleep : public WakeAndIdle, public ::testing::WithParamInterface<SleepCase> {};

TEST_P(BeforeSleep, WarnsOnlyWhenItCannotWakeForAnAlarmWithinTwelveHours)
{
    NEED_TEST_BUSES();
    const SleepCase& c = GetParam();
    if (c.realHelper && geteuid() != 0)
        GTEST_SKIP() << "the helper holds no cap_wake_alarm here";
    const QDateTime due = fake.clock.now().addSecs(c.alarmInMinutes * 60);
    const QTime at(due.time().hour(), due.time().minute());
    addDaily("晨跑", at);
    start(c.realHelper ? QString(BELVANE_WAKE_HELPER) : dir.file("no such folder/belvane-wake"));

    prepareForSleep(true);
    ASSERT_EVENTUALLY(!sleepDelayHeld()) << "the sleep was blocked";
    // Asked after the sleep delay went: the warning, sent before it, has arrived by now.
    const QStringList shown = notifications();
    if (c.warned) {
        ASSERT_EQ(shown.size(), 1) << shown.join('\n').toStdString();
        EXPECT_TRUE(shown[0].contains(
            QString("闹钟“晨跑”（%1）无法唤醒电脑：它会在电脑醒来后响").arg(at.toString("HH:mm"))))
            << shown[0].toStdString();
    } else {
        EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    }
    EXPECT_EQ(wake->cannotWakeReason().isEmpty(), c.realHelper) << wake->cannotWakeReason().toStdString();
    EXPECT_EQ(WakeGuard::wakeStatusText(*wake).startsWith("能唤醒电脑"), c.realHelper);
    if (c.realHelper) {
        // The kernel holds a wake timer for a minute before the alarm.
        const qint64 expected =
            QDateTime(due.date(), at).toSecsSinceEpoch() - 60 - QDateTime::currentSecsSinceEpoch();
        const std::optional<qint64> left = childWakeTimerSecondsLeft();
        ASSERT_TRUE(left) << "no child holds a wake timer";
        EXPECT_LE(*left, expected);
        EXPECT_GE(*left, expected - 120);
    }
}

std::string sleepCaseName(const ::testing::TestParamInfo<SleepCase>& info)
{
    return "case" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(
    Sleeps, BeforeSleep,
    ::testing::Values(SleepCase{"no helper, the alarm in 9 hours", 9 * 60, false, true},
                      SleepCase{"no helper, the alarm in 13 hours", 13 * 60, false, false},
                      SleepCase{"the real helper as root, the alarm in 9 hours", 9 * 60, true, false}),
    sleepCaseName);

enum class WayOut { Ok, Snooze, ListPlayed, EndOfRun, SoundMinutesOver };

class WhileRinging : public WakeAndIdle, public ::testing::WithParamInterface<WayOut> {};

TEST_P(WhileRinging, TheScreenStaysOnUntilTheWindowIsAnswered)
{
    NEED_TEST_BUSES();
    AlarmSettings s = fallbackAlarmSettings();
    if (GetParam() == WayOut::ListPlayed) {
        writeToneWav(dir.file("short.wav"), 300);
        s.playMusic = true;
        s.playSound = false;
        s.playList = {dir.file("short.wav")};
        s.closeNever = false;
        s.closeAfterMinutes = false;
        s.closeWhenFinished = true;
    }
    const QDateTime due = fake.clock.now().addSecs(120);
    addDaily("起床", QTime(due.time().hour(), due.time().minute()), s);
    start(dir.file("no such folder/belvane-wake"));
    EXPECT_FALSE(idle.isHeld());
    fake.clock.set(
        QDateTime(due.date(), QTime(due.time().hour(), due.time().minute()), due.timeZone()).addMSecs(5));
    dispatcher->checkNow();
    ASSERT_NE(dispatcher->ringingWindow(), nullptr);
    EXPECT_EVENTUALLY(idleHeld());
    EXPECT_EQ(screenSaverCalls(), QStringList{"Inhibit"});

    switch (GetParam()) {
    case WayOut::Ok:
        dispatcher->ringingWindow()->ButtonOKClick();
        break;
    case WayOut::Snooze:
        dispatcher->ringingWindow()->ButtonSnoozeClick();
        break;
    case WayOut::ListPlayed:
        break; // the list plays through and the window closes itself
    case WayOut::EndOfRun:
        dispatcher->stop(); // what SIGTERM and the menu's exit come to
        break;
    case WayOut::SoundMinutesOver: // nobody answers: the window stays, silent, and the screen may sleep
        fake.clock.set(fake.clock.now().addSecs(s.soundMinutes * 60));
        dispatcher->ringingWindow()->TimerTimer();
        ASSERT_TRUE(dispatcher->ringingWindow()->isVisible());
        break;
    }
    EXPECT_EVENTUALLY(screenSaverCalls() == (QStringList{"Inhibit", "UnInhibit"}));
    EXPECT_EVENTUALLY(!idleHeld());
    EXPECT_FALSE(idle.isHeld());
}

TEST_F(WakeAndIdle, AScreenSaverAnswerThatComesAfterTheAlarmWasAnsweredIsGivenBackAtOnce)
{
    NEED_TEST_BUSES();
    // Rung, answered, and rung again before the screen saver's first answer is in.
    idle.hold("first");
    idle.release();
    idle.hold("second");
    const auto calls = [] {
        return sessionCalls("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver");
    };
    ASSERT_EVENTUALLY(calls().size() == 3);
    QStringList seen = calls();
    const QString given = seen[2].section(" | ", 1, 1);
    idle.release();
    ASSERT_EVENTUALLY(calls().size() == 4);
    seen = calls();
    // The first holding's cookie, handed out first, is the smaller: it goes back at once, the second's
    // at the second release.
    EXPECT_TRUE(seen[2].startsWith("UnInhibit") && seen[3].startsWith("UnInhibit"))
        << seen.join('\n').toStdString();
    EXPECT_LT(given.toUInt(), seen[3].section(" | ", 1, 1).toUInt()) << seen.join('\n').toStdString();
}

std::string wayOutName(const ::testing::TestParamInfo<WayOut>& info)
{
    static const char* const names[] = {"OK", "Snooze", "ListPlayed", "EndOfRun", "SoundMinutesOver"};
    return names[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(WaysOut, WhileRinging,
                         ::testing::Values(WayOut::Ok, WayOut::Snooze, WayOut::ListPlayed, WayOut::EndOfRun,
                                           WayOut::SoundMinutesOver),
                         wayOutName);

TEST(WakeTimerStatus, IsKnownBeforeAnyAlarmWasGiven)
{
    // The about box asks before the list has any alarm: the answer is what the machine can do,
    // never "not ready yet".
    TempFolder dir;
    struct Case {
        QString helper;
        QString expected; // in the reason; empty: the machine can be woken
    };
    const QString missing = dir.file("no such folder/belvane-wake");
    const std::vector<Case> cases = {
        {missing, "找不到唤醒程序 " + missing},
        {QString(BELVANE_WAKE_HELPER), geteuid() == 0 ? QString() : QString("cap_wake_alarm")},
    };
    for (const Case& c : cases) {
        LinuxWakeTimer wake(c.helper);
        wake.settle();
        const QString reason = wake.cannotWakeReason();
        if (c.expected.isEmpty())
            EXPECT_TRUE(reason.isEmpty()) << reason.toStdString();
        else
            EXPECT_TRUE(reason.contains(c.expected))
                << c.helper.toStdString() << ": " << reason.toStdString();
    }
}

TEST(WakeTimerStatus, RestartsWaitLongerAfterEachQuickFailureUpToAMinute)
{
    // At once after a long run (0), then doubling, once a minute after five quick failures in a row.
    for (const auto& [failures, delayMs] :
         {std::pair{0, 1000}, {1, 1000}, {2, 2000}, {4, 8000}, {5, 60000}, {40, 60000}})
        EXPECT_EQ(LinuxWakeTimer::restartDelayMs(failures), delayMs) << failures << " quick failures";
}

TEST(WakeTimerStatus, SettledMeansArmedAndAKilledHelperComesBackWithTheLastInstantAndNothingButItsPipes)
{
    // Before sleep the timer must be in force, not merely written to a helper that is slow to read: this
    // stand-in says it is ready at once and arms each instant a moment later. It notes each start (its
    // process id), the descriptors it holds and what it arms.
    TempFolder dir;
    const QString helper = dir.file("belvane-wake");
    dir.write("belvane-wake", QStringLiteral("#!/bin/sh\necho $$ >> '%1starts'\nls -l /proc/$$/fd > '%1fds'\n"
                                             "echo ready\nwhile read -r line; do sleep 0.3; echo \"$line\" > "
                                             "'%1armed'; echo \"armed $line\"; done\n")
                                  .arg(dir.path())
                                  .toUtf8());
    QFile::setPermissions(helper, QFile::permissions(helper) | QFileDevice::ExeOwner);
    // A descriptor of this process that a careless start would hand down.
    const int leaked = ::open(QFile::encodeName(dir.file("starts")).constData(), O_RDONLY | O_CREAT, 0600);

    LinuxWakeTimer wake(helper);
    QList<bool> canWake; // as the about box would have read it at each change
    QObject::connect(&wake, &LinuxWakeTimer::statusChanged,
                     [&] { canWake << wake.cannotWakeReason().isEmpty(); });
    const QDateTime instant = QDateTime::currentDateTime().addSecs(3600);
    wake.arm(instant);
    wake.settle();
    ASSERT_TRUE(wake.cannotWakeReason().isEmpty()) << wake.cannotWakeReason().toStdString();
    EXPECT_EQ(dir.read("armed").trimmed(), QByteArray::number(instant.toSecsSinceEpoch()));
    const QByteArray first = dir.read("starts").trimmed();
    EXPECT_FALSE(dir.read("fds").contains("starts")) << dir.read("fds").toStdString();
    ::close(leaked);

    QFile::remove(dir.file("armed")); // so that only the next start can write it again
    ::kill(first.toInt(), SIGKILL);
    EXPECT_EVENTUALLY(dir.read("starts").split('\n').size() == 3); // two lines and the last end
    EXPECT_EVENTUALLY(wake.cannotWakeReason().isEmpty());
    EXPECT_EQ(canWake, (QList<bool>{true, false, true}));
    EXPECT_EVENTUALLY_EQ(dir.read("armed").trimmed(), QByteArray::number(instant.toSecsSinceEpoch()));
}

TEST(WakeTimerStatus, AHelperThatCannotStartSaysWhyOnce)
{
    TempFolder dir;
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                warnings << text;
        });
    {
        LinuxWakeTimer wake(dir.file("no such folder/belvane-wake"));
        int failures = 0;
        QObject::connect(&wake, &LinuxWakeTimer::statusChanged, [&] { ++failures; });
        wake.arm(QDateTime::currentDateTime().addSecs(3600));
        EXPECT_EVENTUALLY(failures >= 2); // tried again
        EXPECT_TRUE(wake.restartPending());
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings.filter("no such folder/belvane-wake").size(), 1) << warnings.join('\n').toStdString();
}
