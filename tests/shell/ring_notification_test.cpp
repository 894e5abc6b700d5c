#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QThread>
#include <QTest>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_settings_file.h"
#include "app/interface_language.h"
#include "helpers/fake_services.h"
#include "helpers/temp_folder.h"
#include "helpers/wav_file.h"
#include "media/player_settings.h"
#include "media/run_play_window.h"
#include "platform/line_file.h"
#include "ringing/alarm_dispatcher.h"
#include "ringing/alarm_run_window.h"
#include "shell/ring_notification.h"
#include "ui/error_report.h"

// Run by run-with-notifications.sh: on a private session bus with python3-dbusmock's notification
// daemon (BELVANE_NOTIFICATION_MOCK=1), then on one without any notification server.

namespace {

bool withServer()
{
    return qEnvironmentVariable("BELVANE_NOTIFICATION_MOCK") == "1";
}

QString gdbus(const QStringList& method)
{
    QProcess p;
    p.start("gdbus", QStringList{"call", "--session", "--dest", "org.freedesktop.Notifications", "--object-path",
                                 "/org/freedesktop/Notifications", "--method"} + method);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

/// What the notification server was asked, as gdbus prints it.
QString serverCalls()
{
    return gdbus({"org.freedesktop.DBus.Mock.GetCalls"});
}

/// The mock numbers its notifications 1, 2, ... in the order they are asked for.
int notificationsShown()
{
    return int(serverCalls().count("'Notify'"));
}

void invokeAction(int id, const QString& action)
{
    gdbus({"org.freedesktop.DBus.Mock.EmitSignal", "org.freedesktop.Notifications", "ActionInvoked", "us",
           QString("[<uint32 %1>, <'%2'>]").arg(id).arg(action)});
}

/// Runs the event loop until the condition holds, for at most 20 s.
bool waitUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(20000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

} // namespace

TEST(RingNotification, BodyIsTheTimeAndTheReminderFirstLines)
{
    EXPECT_EQ(RingNotification::bodyText("7:00:00", "一\n二\n三\n四"), "7:00:00\n一\n二\n三");
    EXPECT_EQ(RingNotification::bodyText("7:00:00", "该起床了\n\n"), "7:00:00\n该起床了");
    EXPECT_EQ(RingNotification::bodyText("7:00:00", ""), "7:00:00");
}

TEST(RingNotification, IsShownCriticalWithTheButtonsAsActionsAndWithdrawn)
{
    if (!withServer())
        GTEST_SKIP() << "needs the notification daemon mock";
    RingNotification notification;
    QSignalSpy snooze(&notification, &RingNotification::snoozeRequested);
    QSignalSpy ok(&notification, &RingNotification::okRequested);
    const int before = notificationsShown();
    notification.show("该起床了", "7:00:00", "该起床了\n带伞\n第三行\n第四行");
    ASSERT_TRUE(waitUntil([&] { return notificationsShown() == before + 1; }));
    const int id = before + 1;
    const QString calls = serverCalls();
    for (const char* expected : {"<'Belvane'>", "<'该起床了'>", "<'7:00:00\\n该起床了\\n带伞\\n第三行'>",
                                 "<['snooze', '打盹儿', 'ok', '确定']>", "'urgency': <byte 0x02>", "<0>])"})
        EXPECT_TRUE(calls.contains(QString::fromUtf8(expected))) << expected << " not in " << calls.toStdString();

    invokeAction(id + 100, "ok"); // another program's notification
    invokeAction(id, "snooze");
    ASSERT_TRUE(snooze.wait(20000));
    invokeAction(id, "ok");
    ASSERT_TRUE(ok.wait(20000));
    EXPECT_EQ(snooze.size(), 1);
    EXPECT_EQ(ok.size(), 1);

    notification.withdraw();
    EXPECT_TRUE(waitUntil([&] { return serverCalls().contains(QString("'CloseNotification', [<%1>]").arg(id)); }))
        << serverCalls().toStdString();
}

TEST(RingNotification, AnUnansweredAlarmStaysListedAndOpensTheAlarmList)
{
    if (!withServer())
        GTEST_SKIP() << "needs the notification daemon mock";
    UnansweredNotification notification;
    QSignalSpy open(&notification, &UnansweredNotification::openListRequested);
    const int before = notificationsShown();
    notification.show("开会", "07:00");
    ASSERT_TRUE(waitUntil([&] { return notificationsShown() == before + 1; }));
    const QString calls = serverCalls();
    // The text and the action, and a time-out of 0 after the hints: it never expires, so it is still
    // there when the user comes back.
    const QRegularExpression shown(QString::fromUtf8(
        "<'闹钟“开会”（07:00）无人应答'>, <''>, <\\['open-list', '打开闹钟列表'\\]>, <\\{[^}]*\\}>, <0>\\]"));
    EXPECT_TRUE(calls.contains(shown)) << calls.toStdString();
    invokeAction(before + 100, "open-list"); // another program's notification
    invokeAction(before + 1, "open-list");
    ASSERT_TRUE(open.wait(20000));
    EXPECT_EQ(open.size(), 1);
}

TEST(RingNotification, SpeaksTheInterfaceLanguage)
{
    if (!withServer())
        GTEST_SKIP() << "needs the notification daemon mock";
    const EnglishInterface english;
    ASSERT_TRUE(english.loaded());
    RingNotification notification;
    const int before = notificationsShown();
    notification.show("", "7:00:00 AM", "");
    ASSERT_TRUE(waitUntil([&] { return notificationsShown() == before + 1; }));
    const QString calls = serverCalls();
    // The title of an alarm without a caption, and the actions the desktop shows as buttons.
    for (const char* expected : {"<'Alarm'>, <'7:00:00 AM'>", "<['snooze', 'Snooze', 'ok', 'OK']>"})
        EXPECT_TRUE(calls.contains(QString::fromUtf8(expected))) << expected << " not in " << calls.toStdString();
    notification.withdraw();
}

TEST(RingNotification, OkOnTheNotificationClosesTheRingingWindow)
{
    if (!withServer())
        GTEST_SKIP() << "needs the notification daemon mock";
    QStringList errors;
    setErrorSink([&](const QString& text) { errors << text; });
    TempFolder dir;
    QDir(dir.path()).mkdir("sounds");
    writeToneWav(dir.file("sounds/" + builtInSoundFile(0)), 2500);
    FakeServices fake{QDateTime(QDate(2026, 12, 7), QTime(6, 59, 58))};
    AlarmListStore store{dir.path()};
    store.rows.append(makeAlarmEntry({"开会", int(Frequency::Daily), QDate(2026, 12, 7), QTime(7, 0), "1111111"}, 0,
                                     RowOrigin::Add, DateTimeLocale::neutral()));
    AlarmSettings settings = fallbackAlarmSettings();
    settings.reminderText = {"开会", "三楼"};
    writeFileAtomically(dir.file(SettingsFileName(0)), WriteAlarmSettings(settings));
    TFormRunPlay player{defaultPlayerSettings()};
    AlarmDispatcher dispatcher{fake.services, store, dir.path(), dir.path(), player};
    dispatcher.start();

    const int before = notificationsShown();
    fake.clock.set(QDateTime(QDate(2026, 12, 7), QTime(7, 0, 0, 100)));
    dispatcher.checkNow();
    ASSERT_NE(dispatcher.ringingWindow(), nullptr);
    // The window is up: its notification arrives, and its "确定" is chosen on the desktop.
    ASSERT_TRUE(waitUntil([&] { return notificationsShown() == before + 1; }));
    invokeAction(before + 1, "ok");
    EXPECT_TRUE(waitUntil([&] { return dispatcher.ringingWindow() == nullptr; }));
    EXPECT_TRUE(serverCalls().contains("<'开会'>, <'07:00:00\\n开会\\n三楼'>")) << serverCalls().toStdString();
    EXPECT_TRUE(waitUntil([&] { return serverCalls().contains(QString("'CloseNotification', [<%1>]").arg(before + 1)); }));
    dispatcher.stop();
    setErrorSink({});
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST(RingNotification, WithoutAServerNothingHappensAndNothingIsReported)
{
    if (withServer())
        GTEST_SKIP() << "runs on a bus without a notification server";
    QStringList errors;
    setErrorSink([&](const QString& text) { errors << text; });
    {
        RingNotification notification;
        notification.show("该起床了", "7:00:00", "该起床了");
        // Asked after the notification, so its refusal is in by the time this answers.
        EXPECT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered("org.freedesktop.Notifications"));
        QCoreApplication::processEvents();
        notification.withdraw();
    }
    RingNotification offBus(QDBusConnection::connectToBus("unix:path=/nonexistent", "nowhere"));
    offBus.show("该起床了", "7:00:00", "该起床了");
    setErrorSink({});
    EXPECT_TRUE(errors.isEmpty());
}
