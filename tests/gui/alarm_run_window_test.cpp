#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "alarms/alarm_display.h"
#include "alarms/alarm_settings_file.h"
#include "helpers/fake_services.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "helpers/wav_file.h"
#include "media/player_settings.h"
#include "media/run_play_window.h"
#include "platform/line_file.h"
#include "ringing/alarm_run_window.h"
#include "ui/error_report.h"

namespace {

class RingingWindow : public ::testing::Test {
protected:
    RingingWindow()
    {
        setErrorSink([this](const QString& text) { errors << text; });
        QDir(dir.path()).mkdir("sounds");
        writeToneWav(dir.file("sounds/Alarmrng.wav"), 2500);
        fake.volume.device = {0x80008000, true}; // the user had muted the machine
    }
    ~RingingWindow() override { setErrorSink({}); }

    /// Alarm 0, due at 07:00:00 and rung `lateSeconds` after it.
    RingRequest request(qint64 lateSeconds = 0) const
    {
        RingRequest r;
        r.occurrence.row =
            makeAlarmEntry({"起床", int(Frequency::Daily), QDate(2026, 12, 7), QTime(7, 0), "1111111"}, 0,
                           RowOrigin::Add, DateTimeLocale::neutral());
        r.occurrence.due = QDateTime(QDate(2026, 12, 7), QTime(7, 0));
        r.dataFolder = r.programFolder = dir.path();
        r.lateSeconds = lateSeconds;
        return r;
    }
    void writeAlarm(const AlarmSettings& s) { writeFileAtomically(dir.file("0.ini"), WriteAlarmSettings(s)); }
    static AlarmSettings soundAlarm()
    {
        AlarmSettings s;
        s.playSound = true;
        s.soundIndex = 2;
        s.volume = 40;
        s.snoozeMinutes = 5;
        s.soundMinutes = 15;
        s.closeNever = true;
        s.reminderText = {"起床啦", "第二行"};
        return s;
    }
    /// One tick of the window's timer, the clock moved on by 200 ms.
    void tick(TAlarmRun& window)
    {
        fake.clock.advanceMs(200);
        window.TimerTimer();
    }

    TempFolder dir;
    FakeServices fake{QDateTime(QDate(2026, 12, 7), QTime(7, 0, 0, 100))};
    TFormRunPlay player{defaultPlayerSettings()};
    QStringList errors;
};

} // namespace

TEST_F(RingingWindow, LooksAsDesigned)
{
    writeAlarm(soundAlarm());
    TAlarmRun window(request(), fake.services, player);
    EXPECT_EQ(window.windowTitle(), "闹铃");
    EXPECT_EQ(window.size(), QSize(345, 299));
    struct Place {
        const char* name;
        QRect rect;
    };
    for (Place p : {Place{"LabelTime", {8, 8, 321, 33}},
                    {"LabelDate", {8, 40, 321, 17}},
                    {"Memo", {16, 80, 313, 169}},
                    {"ButtonSnooze", {192, 264, 75, 25}},
                    {"ButtonOK", {272, 264, 59, 25}}})
        EXPECT_EQ(window.findChild<QWidget*>(p.name)->geometry(), p.rect) << p.name;
    EXPECT_EQ(window.findChild<QPushButton*>("ButtonSnooze")->text(), "打盹儿");
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "提醒：");
    const DateTimeLocale locale = DateTimeLocale::system();
    EXPECT_EQ(window.findChild<QLabel*>("LabelDate")->text(),
              formatDateTime("ddd, mmmm,dd, yyyy", fake.clock.now(), locale));
    EXPECT_EQ(window.findChild<QLabel*>("LabelTime")->text(),
              formatDateTime(locale.longTimeFormat, fake.clock.now(), locale));
    EXPECT_EQ(window.findChild<QWidget*>("ButtonSnooze")->nextInFocusChain(),
              window.findChild<QWidget*>("ButtonOK"));
    window.show();
    saveScreenshot(window, "ringing");
    window.close();
}

TEST_F(RingingWindow, RingsSnoozesAndPutsTheDeviceBackOnOK)
{
    writeAlarm(soundAlarm());
    TAlarmRun window(request(), fake.services, player);
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("Memo")->toPlainText(), "起床啦\n第二行");
    window.show();
    EXPECT_EQ(fake.volume.history, QList<quint32>{0x66006600}); // level 102: 40 % of full
    EXPECT_FALSE(fake.volume.device.muted);                     // unmuted while it rings

    tick(window);
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.MediaFile(), dir.file("sounds/Alarmrng.wav"));

    QTest::mouseClick(window.findChild<QPushButton*>("ButtonSnooze"), Qt::LeftButton);
    tick(window);
    EXPECT_TRUE(window.session().Silenced);
    EXPECT_TRUE(player.Idle());
    for (int i = 0; i < 10; ++i)
        tick(window);
    EXPECT_TRUE(player.Idle()); // silent for the snooze period

    QTest::mouseClick(window.findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(fake.volume.device, (DeviceVolume{0x80008000, true}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(RingingWindow, UnansweredAlarmFallsSilentSaysSoAndPutsTheDeviceBack)
{
    for (const bool closeWhenFinished : {false, true}) {
        AlarmSettings s = soundAlarm();
        s.soundMinutes = 1;
        s.closeNever = !closeWhenFinished, s.closeWhenFinished = closeWhenFinished;
        writeAlarm(s);
        TAlarmRun window(request(), fake.services, player);
        QSignalSpy unanswered(&window, &TAlarmRun::unanswered);
        window.show();
        tick(window);
        fake.clock.advanceMs(60000 - 600); // a tick before the minute is over
        tick(window);
        EXPECT_TRUE(player.Playing());
        EXPECT_EQ(fake.volume.device, (DeviceVolume{0x66006600, false}));
        EXPECT_EQ(unanswered.size(), 0);
        tick(window);
        EXPECT_EQ(unanswered.size(), 1);
        EXPECT_TRUE(player.Idle());
        EXPECT_FALSE(window.timer().isActive());
        EXPECT_EQ(fake.volume.device, (DeviceVolume{0x80008000, true})) << "put back at once";
        EXPECT_EQ(window.isVisible(), !closeWhenFinished);
        auto* label = window.findChild<QLabel*>("LabelFallback");
        EXPECT_EQ(label->isVisible() ? label->text() : QString(),
                  closeWhenFinished ? QString() : QString("无人应答：响了 1 分钟后停止"));
        if (!closeWhenFinished)
            saveScreenshot(window, "ringing-unanswered");
        window.close();
        EXPECT_EQ(unanswered.size(), 1) << "closing afterwards is no second end";
    }
}

TEST_F(RingingWindow, RestartedSoundServerGetsTheAlarmAndItsOwnVolumeBack)
{
    writeAlarm(soundAlarm());
    TAlarmRun window(request(), fake.services, player);
    window.show();
    tick(window);
    // The server goes away for a moment (the ringing goes on), then a new one comes, loud and muted.
    fake.volume.serverId = 0;
    tick(window);
    fake.volume.serverId = 2;
    fake.volume.device = {0xFFFFFFFF, true};
    tick(window);
    EXPECT_EQ(fake.volume.device, (DeviceVolume{0x66006600, false})) << "the alarm's volume, unmuted";
    EXPECT_TRUE(player.Playing());
    QTest::mouseClick(window.findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
    EXPECT_EQ(fake.volume.device, (DeviceVolume{0xFFFFFFFF, true})) << "the new server's own volume";
}

TEST_F(RingingWindow, KeysTypedInItsFirstSecondNeitherSnoozeNorDismissIt)
{
    writeAlarm(soundAlarm());
    TAlarmRun window(request(), fake.services, player);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Keys meant for another window, typed as the ringing window appears.
    for (Qt::Key key :
         {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Space})
        QTest::keyClick(window.focusWidget() ? window.focusWidget() : &window, key);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.session().SnoozeRequested);
    EXPECT_FALSE(window.keysAccepted());

    // A second later the snooze button has the focus and keys count.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.keysAccepted(); }, 20000));
    EXPECT_EQ(window.focusWidget(), window.findChild<QWidget*>("ButtonSnooze"));
    QTest::keyClick(window.focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(window.session().SnoozeRequested);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(RingingWindow, UnreadableSettingsFileStillRingsWithTheDefaults)
{
    writeToneWav(dir.file("sounds/" + builtInSoundFile(0)), 2500);
    struct Case {
        const char* situation;
        std::optional<QByteArray> file; // nothing: no file
    };
    const Case cases[] = {
        {"missing", std::nullopt},
        {"empty", QByteArray()},
        {"damaged after the volume line",
         WriteAlarmSettings(soundAlarm()).replace("\r\n40\r\n", "\r\nloud\r\n")},
    };
    for (const Case& c : cases) {
        QFile::remove(dir.file("0.ini"));
        if (c.file)
            dir.write("0.ini", *c.file);
        fake.volume.history.clear();
        const QDateTime rang = fake.clock.now();
        TAlarmRun window(request(), fake.services, player);
        window.show();
        tick(window);
        EXPECT_EQ(player.MediaFile(), dir.file("sounds/" + builtInSoundFile(0))) << c.situation;
        EXPECT_TRUE(player.Playing()) << c.situation;
        EXPECT_EQ(fake.volume.history, QList<quint32>{0xFF00FF00}) << c.situation << ": at full volume";
        const QString memo = window.findChild<QPlainTextEdit*>("Memo")->toPlainText();
        EXPECT_TRUE(memo.contains("0.ini")) << c.situation << ": " << memo.toStdString();
        // The defaults snooze for 15 minutes: still silent a second before, ringing again after.
        QTest::mouseClick(window.findChild<QPushButton*>("ButtonSnooze"), Qt::LeftButton);
        tick(window);
        EXPECT_TRUE(player.Idle()) << c.situation;
        fake.clock.set(rang.addSecs(15 * 60 - 1));
        tick(window);
        tick(window);
        EXPECT_TRUE(player.Idle()) << c.situation << ": rang again before 15 minutes";
        fake.clock.set(rang.addSecs(15 * 60));
        tick(window);
        tick(window);
        EXPECT_TRUE(player.Playing()) << c.situation << ": still silent after 15 minutes";
        window.close();
    }
    EXPECT_TRUE(errors.isEmpty()) << "no box stands between the alarm and its sound";
}

TEST_F(RingingWindow, LateAlarmSaysWhenItWasDue)
{
    writeAlarm(soundAlarm());
    struct Case {
        qint64 late;
        const char* note;
    };
    for (const Case c : {Case{0, ""},
                         {3, ""},
                         {45, "原定 07:00:00 响铃（晚了 45 秒）"},
                         {190, "原定 07:00:00 响铃（晚了 3 分钟）"}}) {
        TAlarmRun window(request(c.late), fake.services, player);
        EXPECT_EQ(window.findChild<QLabel*>("LabelLate")->text(), QString::fromUtf8(c.note)) << c.late;
        if (c.late == 190) {
            window.show();
            saveScreenshot(window, "ringing-late");
        }
        window.close();
    }
}

TEST_F(RingingWindow, FinishedPlayListClosesAfterThePowerAction)
{
    AlarmSettings s = soundAlarm();
    s.playSound = false;
    s.playMusic = true;
    s.playList = {dir.file("sounds/missing.mp3"), dir.file("sounds/Alarmrng.wav")};
    s.closeNever = false;
    s.closeWhenFinished = true;
    s.powerAction = 2;
    writeAlarm(s);
    TAlarmRun window(request(), fake.services, player);
    window.show();
    tick(window); // the missing entry is passed over at once
    tick(window);
    EXPECT_EQ(player.MediaFile(), dir.file("sounds/Alarmrng.wav"));
    EXPECT_TRUE(player.Playing());
    // The player finds the end by its own once-a-second check, in real time.
    QElapsedTimer waited;
    waited.start();
    while (!player.Idle() && waited.elapsed() < 10000)
        QTest::qWait(50);
    ASSERT_TRUE(player.Idle());
    tick(window);
    EXPECT_EQ(fake.power.calls, QStringList{"standby"});
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.timer().isActive());
}

TEST_F(RingingWindow, NothingToPlayRingsTheSoundAndSaysWhy)
{
    writeToneWav(dir.file("sounds/Rooster.wav"), 2500);
    dir.write("notes.mp3", "not a sound, whatever its name says");
    struct Case {
        const char* situation;
        bool playSound;
        bool playMusic;
        QStringList list;
        int soundIndex;
        const char* note;
        const char* sound;
    };
    const Case cases[] = {
        {"a new alarm's defaults: play music, empty list",
         false,
         true,
         {},
         0,
         "播放列表是空的，改放闹铃声音",
         "Rooster.wav"},
        {"neither box set", false, false, {}, 2, "播放列表是空的，改放闹铃声音", "Alarmrng.wav"},
        {"only missing files",
         false,
         true,
         {"gone/a.mp3", "gone/b.ogg"},
         2,
         "播放列表中的文件都无法播放，改放闹铃声音",
         "Alarmrng.wav"},
        {"a file that is not media",
         false,
         true,
         {"notes.mp3"},
         14,
         "播放列表中的文件都无法播放，改放闹铃声音",
         "Rooster.wav"},
        // A settings file written by hand or by another version: the number names no built-in sound.
        {"a sound number past the last built-in sound",
         true,
         false,
         {},
         11,
         "没有这个闹铃声音，改放默认闹铃声音",
         "Rooster.wav"},
        {"a negative sound number", true, false, {}, -1, "没有这个闹铃声音，改放默认闹铃声音", "Rooster.wav"},
    };
    for (const Case& c : cases) {
        AlarmSettings s = soundAlarm();
        s.playSound = c.playSound;
        s.playMusic = c.playMusic;
        s.soundIndex = c.soundIndex;
        for (const QString& entry : c.list)
            s.playList << dir.file(entry);
        writeAlarm(s);
        TAlarmRun window(request(), fake.services, player);
        window.show();
        auto* label = window.findChild<QLabel*>("LabelFallback");
        for (int i = 0; i < 5 && !player.Playing(); ++i)
            tick(window);
        EXPECT_EQ(player.MediaFile(), dir.file(QStringLiteral("sounds/") + c.sound)) << c.situation;
        EXPECT_TRUE(player.Playing()) << c.situation;
        EXPECT_EQ(label->text(), QString::fromUtf8(c.note)) << c.situation;
        EXPECT_TRUE(label->isVisible()) << c.situation;
        // The line has a place of its own: below the reminder, above the buttons, whole.
        auto* memo = window.findChild<QWidget*>("Memo");
        EXPECT_LE(memo->geometry().bottom(), label->geometry().top()) << c.situation;
        const QRect buttonOK = window.findChild<QWidget*>("ButtonOK")->geometry();
        EXPECT_LT(label->geometry().bottom(), buttonOK.top()) << c.situation;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << c.situation;
        if (c.list.size() == 2)
            saveScreenshot(window, "ringing-fallback");
        for (int i = 0; i < 10; ++i)
            tick(window);
        EXPECT_TRUE(window.timer().isActive()) << c.situation << ": the clock keeps ticking";
        window.close();
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(RingingWindow, PlayListThatPlaysShowsNoFallbackLine)
{
    AlarmSettings s = soundAlarm();
    s.playSound = false;
    s.playMusic = true;
    s.playList = {dir.file("gone.mp3"), dir.file("sounds/Alarmrng.wav")};
    writeAlarm(s);
    TAlarmRun window(request(), fake.services, player);
    window.show();
    tick(window);
    tick(window);
    EXPECT_EQ(player.MediaFile(), dir.file("sounds/Alarmrng.wav"));
    EXPECT_FALSE(window.findChild<QLabel*>("LabelFallback")->isVisible());
    EXPECT_EQ(window.findChild<QWidget*>("Memo")->geometry(), QRect(16, 80, 313, 169));
}
