#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimeEdit>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_list_window.h"
#include "alarms/alarm_settings_file.h"
#include "helpers/eventually.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/sound_server.h"
#include "helpers/temp_folder.h"
#include "helpers/wav_file.h"
#include "media/filter_graph.h"
#include "media/media_files.h"
#include "media/player_settings.h"
#include "media/prerolled_sound.h"
#include "media/run_play_window.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"
#include "platform/wake_timer.h"
#include "ringing/alarm_dispatcher.h"
#include "ringing/last_checked_file.h"
#include "ringing/next_ring_watch.h"
#include "ringing/ring_preroll.h"
#include "shell/tray_ringing_entries.h"
#include "ui/error_report.h"

namespace {

QDateTime today(int h, int m, int s, int ms = 0)
{
    return QDateTime(QDate(2026, 12, 7), QTime(h, m, s, ms));
}

/// The application's scheduler on a clock the test sets, ringing real ringing windows (offscreen)
/// through a real player.
class Dispatcher : public ::testing::Test {
protected:
    Dispatcher()
    {
        setErrorSink([this](const QString& text) { notices << text; });
        QDir(dir.path()).mkdir("sounds");
        writeToneWav(dir.file("sounds/" + builtInSoundFile(0)), 2500);
    }
    ~Dispatcher() override
    {
        dispatcher.stop();
        QApplication::processEvents();
        setErrorSink({});
    }

    /// A daily alarm at this time with a settings file that rings built-in sound 0.
    void addDaily(const char* caption, QTime time)
    {
        const int number = int(store.rows.size());
        store.rows.append(
            makeAlarmEntry({caption, int(Frequency::Daily), QDate(2026, 12, 7), time, "1111111"}, number,
                           RowOrigin::Add, DateTimeLocale::neutral()));
        AlarmSettings s = fallbackAlarmSettings();
        s.volume = 50;
        s.reminderText = {QString::fromUtf8(caption)};
        writeFileAtomically(dir.file(SettingsFileName(number)), WriteAlarmSettings(s));
    }
    QString ringingReminder() const
    {
        TAlarmRun* w = dispatcher.ringingWindow();
        return w ? w->findChild<QPlainTextEdit*>("Memo")->toPlainText() : QString();
    }
    QString lateNote() const { return dispatcher.ringingWindow()->findChild<QLabel*>("LabelLate")->text(); }

    TempFolder dir;
    FakeServices fake{today(6, 59, 58)};
    AlarmListStore store{dir.path()};
    TFormRunPlay player{defaultPlayerSettings()};
    AlarmDispatcher dispatcher{fake.services, store, dir.path(), dir.path(), player};
    QStringList notices;
};

/// Records the instants the scheduler gives the wake timer; an invalid one is a disarm.
class RecordingWakeTimer final : public WakeTimer {
public:
    void arm(const QDateTime& instant) override { sent.append(instant); }
    QString cannotWakeReason() const override { return {}; }
    QList<QDateTime> sent;
};

} // namespace

TEST_F(Dispatcher, TheWakeTimerFollowsTheNextAlarmAMinuteAhead)
{
    RecordingWakeTimer wake;
    dispatcher.setWakeTimer(&wake);
    // Chimes at every quarter hour must not wake the machine: only the alarms count.
    dispatcher.setChimes([] { return true; }, [] {});
    addDaily("起床", QTime(7, 30));
    dispatcher.start();
    ASSERT_FALSE(wake.sent.isEmpty());
    EXPECT_EQ(wake.sent.last(), today(7, 29, 0)) << "at start: a minute before 07:30, not the 07:00 chime";

    // A list change: an earlier alarm is added.
    addDaily("早起", QTime(7, 10));
    dispatcher.rearm();
    EXPECT_EQ(wake.sent.last(), today(7, 9, 0)) << "after the list changed";

    // A switch off: the earlier alarm no longer counts.
    store.setOff(1, true);
    dispatcher.rearm();
    EXPECT_EQ(wake.sent.last(), today(7, 29, 0)) << "after the switch off";

    // A clock change: set forward past 07:30, which is listed as missed, so tomorrow's comes next.
    const qsizetype before = wake.sent.size();
    fake.clock.set(today(9, 0, 0));
    dispatcher.rearm();
    EXPECT_EQ(wake.sent.last(), today(7, 29, 0).addDays(1)) << "after the clock change";
    EXPECT_EQ(wake.sent.size(), before + 1) << "one instant for one change";

    // Idle wakes change nothing and send nothing.
    fake.clock.set(today(9, 1, 0));
    dispatcher.checkNow();
    EXPECT_EQ(wake.sent.size(), before + 1) << "an idle wake sent the same instant again";

    // Every alarm switched off: the timer is disarmed.
    store.setOff(0, true);
    dispatcher.rearm();
    EXPECT_FALSE(wake.sent.last().isValid()) << "nothing to wake for, yet the timer stays armed";
}

TEST_F(Dispatcher, SleepsUntilTheNextOccurrenceAndRingsIt)
{
    addDaily("起床", QTime(7, 0));
    dispatcher.start();
    EXPECT_TRUE(dispatcher.wakeTimer().isActive());
    EXPECT_LE(dispatcher.wakeTimer().interval(), 2000) << "armed for 07:00:00, two seconds away";
    EXPECT_EQ(dispatcher.ringingWindow(), nullptr);

    fake.clock.set(today(7, 0, 0, 3)); // the timer fires
    dispatcher.checkNow();
    ASSERT_NE(dispatcher.ringingWindow(), nullptr);
    EXPECT_TRUE(dispatcher.ringingWindow()->isVisible());
    EXPECT_EQ(ringingReminder(), "起床");
    EXPECT_EQ(lateNote(), "");
    EXPECT_EQ(dispatcher.wakeTimer().interval(), 60 * 1000)
        << "the next occurrence is a day away: a minute's sleep at most";
    EXPECT_TRUE(notices.isEmpty()) << notices.join('\n').toStdString();
}

TEST_F(Dispatcher, AFirstRunRingsAnAlarmDueInTheSecondOfTheLaunch)
{
    addDaily("at the launch", QTime(7, 0, 0));
    fake.clock.set(today(7, 0, 1));
    dispatcher.start(today(7, 0, 0, 300)); // the process began 300 ms into the alarm's second
    EXPECT_EQ(ringingReminder(), "at the launch");
}

TEST_F(Dispatcher, AlarmDueWhileAnotherRingsWaitsForItsWindowToClose)
{
    addDaily("first", QTime(7, 0));
    addDaily("second", QTime(7, 0, 30));
    QList<QPair<int, QDateTime>> unanswered;
    QObject::connect(&dispatcher, &AlarmDispatcher::alarmUnanswered, [&](int number, const Occurrence& o) {
        unanswered.append({number, o.due});
    });
    dispatcher.start();
    fake.clock.set(today(7, 0, 0, 1));
    dispatcher.checkNow();
    ASSERT_EQ(ringingReminder(), "first");
    dispatcher.ringingWindow()->ButtonSnoozeClick(); // snoozed: still open
    fake.clock.set(today(7, 0, 30, 2));
    dispatcher.checkNow();
    EXPECT_EQ(ringingReminder(), "first");
    ASSERT_EQ(dispatcher.waiting().size(), 1);
    fake.clock.set(today(7, 4, 0));
    dispatcher.ringingWindow()->ButtonOKClick();
    EXPECT_EVENTUALLY_EQ(ringingReminder(), QString("second"));
    EXPECT_EQ(lateNote(), "原定 07:00:30 响铃（晚了 3 分钟）");
    EXPECT_TRUE(dispatcher.waiting().isEmpty());
    EXPECT_TRUE(unanswered.isEmpty()) << "the first was answered";
    // Nobody answers the second: it stops after its 15 minutes and says which alarm it was.
    fake.clock.set(today(7, 19, 0, 1));
    dispatcher.ringingWindow()->TimerTimer();
    EXPECT_EQ(unanswered, (QList<QPair<int, QDateTime>>{{1, today(7, 0, 30)}}));
    EXPECT_TRUE(dispatcher.ringingWindow()->isVisible()) << "the silent window waits for the user";
    // The sound server's connection is let go once no window rings, not between two ringings.
    EXPECT_EQ(fake.volume.releases, 0);
    dispatcher.ringingWindow()->ButtonOKClick();
    EXPECT_EVENTUALLY_EQ(fake.volume.releases, 1);
}

TEST_F(Dispatcher, CatchesUpFromTheInstantStoredAtTheLastRun)
{
    addDaily("long ago", QTime(6, 0));
    addDaily("just now", QTime(7, 0));
    LastCheckedFile(dir.path()).write(today(5, 0, 0));
    fake.clock.set(today(7, 3, 0));
    dispatcher.start();
    EXPECT_EQ(ringingReminder(), "just now");
    EXPECT_EQ(lateNote(), "原定 07:00:00 响铃（晚了 3 分钟）");
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith("错过的闹钟：")) << notices[0].toStdString();
    EXPECT_TRUE(notices[0].contains("long ago") && notices[0].contains("06:00:00"))
        << notices[0].toStdString();
    EXPECT_FALSE(notices[0].contains("just now"));
}

TEST_F(Dispatcher, AFirstRunRingsWhatFellDueWhileTheProgramLoaded)
{
    addDaily("before the launch", QTime(6, 59, 20));
    addDaily("while loading", QTime(6, 59, 30));
    fake.clock.set(today(6, 59, 33));
    dispatcher.start(today(6, 59, 25)); // nothing stored: started from the launch
    EXPECT_EQ(ringingReminder(), "while loading");
    EXPECT_EQ(dispatcher.waiting().size(), 0) << "an alarm due before the launch rang";
    EXPECT_TRUE(notices.isEmpty()) << notices.join('\n').toStdString();
}

TEST_F(Dispatcher, StopClosesTheRingingWindowAndStoresTheInstantChecked)
{
    addDaily("起床", QTime(7, 0));
    fake.volume.device = {0x40004000, true};
    dispatcher.start();
    fake.clock.set(today(7, 0, 0, 2));
    dispatcher.checkNow();
    ASSERT_NE(dispatcher.ringingWindow(), nullptr);
    EXPECT_FALSE(fake.volume.device.muted);
    fake.clock.set(today(7, 0, 20));
    dispatcher.stop();
    EXPECT_EQ(fake.volume.device, (DeviceVolume{0x40004000, true})) << "the device is put back as it was";
    EXPECT_FALSE(dispatcher.wakeTimer().isActive());
    const std::optional<QDateTime> stored = LastCheckedFile(dir.path()).read(fake.clock.now());
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, today(6, 59, 59))
        << "ended under a window nobody answered: it rings again at the next start";
}

TEST_F(Dispatcher, AnAlarmWaitingAtTheEndOfTheRunRingsAtTheNextStart)
{
    addDaily("first", QTime(7, 0));
    addDaily("second", QTime(7, 0, 30));
    dispatcher.start();
    fake.clock.set(today(7, 0, 0, 2));
    dispatcher.checkNow();
    ASSERT_EQ(ringingReminder(), "first");
    dispatcher.ringingWindow()->ButtonOKClick(); // answered
    EXPECT_EVENTUALLY(dispatcher.ringingWindow() == nullptr);
    addDaily("third", QTime(7, 0, 40));
    fake.clock.set(today(7, 0, 30, 2));
    dispatcher.checkNow();
    ASSERT_EQ(ringingReminder(), "second"); // left open
    fake.clock.set(today(7, 0, 40, 2));
    dispatcher.checkNow();
    ASSERT_EQ(dispatcher.waiting().size(), 1) << "third waits for the window";
    fake.clock.set(today(7, 0, 45));
    dispatcher.stop(); // logging out

    fake.clock.set(today(7, 2, 0));
    AlarmDispatcher next{fake.services, store, dir.path(), dir.path(), player};
    next.start();
    ASSERT_NE(next.ringingWindow(), nullptr) << "what was left ringing and waiting was lost";
    EXPECT_EQ(next.ringingWindow()->findChild<QPlainTextEdit*>("Memo")->toPlainText(), "second");
    ASSERT_EQ(next.waiting().size(), 1);
    EXPECT_EQ(next.waiting()[0].due, today(7, 0, 40));
    next.stop();
}

TEST_F(Dispatcher, TenMinutesLateRingsAndASecondMoreIsListed)
{
    struct Case {
        const char* situation;
        QDateTime now;
        bool rings;
    };
    for (const Case& c :
         {Case{"600 s late", today(7, 10, 0), true}, Case{"601 s late", today(7, 10, 1), false}}) {
        TempFolder folder;
        AlarmListStore rows{folder.path()};
        rows.rows.append(
            makeAlarmEntry({"起床", int(Frequency::Daily), QDate(2026, 12, 7), QTime(7, 0), "1111111"}, 0,
                           RowOrigin::Add, DateTimeLocale::neutral()));
        LastCheckedFile(folder.path()).write(today(6, 50, 0));
        fake.clock.set(c.now);
        notices.clear();
        AlarmDispatcher late{fake.services, rows, folder.path(), dir.path(), player};
        late.start();
        EXPECT_EQ(late.ringingWindow() != nullptr, c.rings) << c.situation;
        // Listed alone when it does not ring: the day before was checked long ago.
        EXPECT_TRUE(c.rings ? notices.isEmpty()
                            : notices.size() == 1 && notices[0].contains("起床  2026-12-07 07:00:00"))
            << c.situation << ": " << notices.join('\n').toStdString();
        late.stop();
        QApplication::processEvents();
    }
}

TEST_F(Dispatcher, ALastCheckedFileItCannotTrustCountsFromWhenItWasWritten)
{
    struct Case {
        const char* situation;
        QByteArray content;
        QDateTime made; // when the alarms' settings files were written, if they were
    };
    const QDateTime weekBefore = today(6, 0, 0).addDays(-7);
    for (const Case& c :
         {Case{"garbled", "\x01garbage", {}}, Case{"empty", "", {}},
          Case{"in the future", QByteArray::number(today(23, 0, 0).toSecsSinceEpoch()) + "\r\n", {}},
          // Nothing was missed before the alarms were made, at 06:45.
          Case{"0, the alarms made since", "0\r\n", today(6, 45, 0)},
          Case{"from before the alarms were made", QByteArray::number(weekBefore.toSecsSinceEpoch()),
               today(6, 45, 0)}}) {
        TempFolder folder;
        AlarmListStore rows{folder.path()};
        rows.rows.append(
            makeAlarmEntry({"late", int(Frequency::Daily), QDate(2026, 12, 7), QTime(7, 0), "1111111"}, 0,
                           RowOrigin::Add, DateTimeLocale::neutral()));
        rows.rows.append(
            makeAlarmEntry({"old", int(Frequency::Daily), QDate(2026, 12, 7), QTime(6, 40), "1111111"}, 1,
                           RowOrigin::Add, DateTimeLocale::neutral()));
        const auto written = [&](const QString& name, const QDateTime& at) {
            QFile file(folder.file(name));
            ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                        file.setFileTime(at, QFileDevice::FileModificationTime));
        };
        folder.write("lastcheck.ini", c.content);
        written("lastcheck.ini", c.made.isValid() ? weekBefore : today(6, 30, 0));
        for (int number = 0; number < 2 && c.made.isValid(); ++number) {
            writeFileAtomically(folder.file(SettingsFileName(number)),
                                WriteAlarmSettings(fallbackAlarmSettings()));
            written(SettingsFileName(number), c.made);
        }
        fake.clock.set(today(7, 3, 0));
        notices.clear();
        AlarmDispatcher again{fake.services, rows, folder.path(), dir.path(), player};
        again.start();
        ASSERT_NE(again.ringingWindow(), nullptr) << c.situation << ": 07:00 was dropped";
        EXPECT_TRUE(c.made.isValid() ? notices.isEmpty()
                                     : notices.size() == 1 && notices[0].contains("old  2026-12-07 06:40:00"))
            << c.situation << ": " << notices.join('\n').toStdString();
        again.stop();
        QApplication::processEvents();
    }
}

TEST_F(Dispatcher, AMissedNoticeRaisedOverARingingWindowOutlivesIt)
{
    addDaily("first", QTime(7, 0));
    addDaily("missed", QTime(7, 1));
    setErrorSink({}); // the real boxes
    dispatcher.start();
    fake.clock.set(today(7, 0, 0, 2));
    dispatcher.checkNow();
    ASSERT_EQ(ringingReminder(), "first");
    fake.clock.set(today(7, 20, 0)); // the machine slept through 07:01
    dispatcher.checkNow();
    const auto notice = []() -> QMessageBox* {
        for (QWidget* w : QApplication::allWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->text().contains("missed"))
                return box;
        return nullptr;
    };
    EXPECT_EVENTUALLY(notice() && notice()->isVisible());
    dispatcher.ringingWindow()->ButtonOKClick();
    EXPECT_EVENTUALLY(dispatcher.ringingWindow() == nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(notice(), nullptr) << "the notice went with the ringing window, unread";
    EXPECT_TRUE(notice()->isVisible());
    delete notice();
}

TEST_F(Dispatcher, OccurrencesFoundTogetherRingInDueOrderNotListOrder)
{
    addDaily("first", QTime(7, 0));
    addDaily("later", QTime(7, 1, 30));
    addDaily("earlier", QTime(7, 1, 0));
    dispatcher.start();
    fake.clock.set(today(7, 0, 0, 2));
    dispatcher.checkNow();
    ASSERT_EQ(ringingReminder(), "first");
    fake.clock.set(today(7, 2, 0)); // both found by one check, while "first" rings
    dispatcher.checkNow();
    ASSERT_EQ(dispatcher.waiting().size(), 2);
    dispatcher.ringingWindow()->ButtonOKClick();
    EXPECT_EVENTUALLY_EQ(ringingReminder(), QString("earlier"));
    dispatcher.ringingWindow()->ButtonOKClick();
    EXPECT_EVENTUALLY_EQ(ringingReminder(), QString("later"));
}

TEST_F(Dispatcher, AClockSetWithoutASignalIsCaughtByTheNextMinutesWake)
{
    addDaily("起床", QTime(8, 0));
    fake.clock.set(today(7, 0, 0));
    dispatcher.start();
    EXPECT_EQ(dispatcher.wakeTimer().interval(), 60 * 1000) << "an hour to go: it still looks once a minute";
    // The clock is set forward past 08:00 and neither the kernel nor logind says so: the minute's wake
    // finds the alarm.
    fake.clock.set(today(8, 0, 40));
    dispatcher.checkNow();
    EXPECT_EQ(ringingReminder(), "起床");
}

TEST_F(Dispatcher, ChimesWakeItAtTheQuarterHours)
{
    int steps = 0;
    bool chimesOn = true;
    dispatcher.setChimes([&] { return chimesOn; }, [&] { ++steps; });
    fake.clock.set(today(7, 14, 59, 500));
    dispatcher.start();
    EXPECT_LE(dispatcher.wakeTimer().interval(), 500);
    EXPECT_EQ(steps, 1);
    chimesOn = false;
    dispatcher.rearm();
    EXPECT_EQ(dispatcher.wakeTimer().interval(), 60 * 1000) << "no quarter to wake for: the minute's wake";
    EXPECT_EQ(steps, 1) << "no chime step while chimes are off";
}

TEST_F(Dispatcher, AnIdleWakeWritesNothingARingStoresTheInstant)
{
    addDaily("起床", QTime(7, 0));
    dispatcher.start();
    ASSERT_TRUE(dir.exists("lastcheck.ini")) << "stored at start";
    QFile::remove(dir.file("lastcheck.ini"));
    fake.clock.set(today(6, 59, 59));
    dispatcher.checkNow(); // the once-a-minute wake with nothing due
    EXPECT_FALSE(dir.exists("lastcheck.ini")) << "an idle wake touched the disk";
    fake.clock.set(today(7, 0, 0, 2));
    dispatcher.checkNow();
    ASSERT_NE(dispatcher.ringingWindow(), nullptr);
    const std::optional<QDateTime> stored = LastCheckedFile(dir.path()).read(fake.clock.now());
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, today(7, 0, 0)) << "a crash now must not ring 07:00 again";
}

TEST_F(Dispatcher, AlarmSwitchedOffNeverRingsAndSwitchedOnRingsFromThenOn)
{
    addDaily("off", QTime(7, 0));
    addDaily("on", QTime(7, 0, 30));
    store.setOff(0, true);
    dispatcher.start();
    EXPECT_GE(dispatcher.wakeTimer().interval(), 31000) << "armed for the alarm that is on, not the one off";

    fake.clock.set(today(7, 0, 0, 5));
    dispatcher.checkNow();
    EXPECT_EQ(dispatcher.ringingWindow(), nullptr) << "the alarm switched off rang";
    fake.clock.set(today(7, 0, 30, 5));
    dispatcher.checkNow();
    ASSERT_EQ(ringingReminder(), "on");
    dispatcher.ringingWindow()->ButtonOKClick();
    EXPECT_EVENTUALLY(dispatcher.ringingWindow() == nullptr);

    // Switched on a minute after its time: it waits for the next day instead of ringing late.
    fake.clock.set(today(7, 1, 0));
    store.setOff(0, false);
    dispatcher.rearm();
    EXPECT_EQ(dispatcher.ringingWindow(), nullptr);
    fake.clock.set(today(7, 0, 0, 5).addDays(1));
    dispatcher.checkNow();
    EXPECT_EQ(ringingReminder(), "off");
    EXPECT_TRUE(notices.isEmpty()) << notices.join('\n').toStdString();
}

TEST_F(Dispatcher, NextRingsFollowTheListTheRingingAndTheDay)
{
    addDaily("起床", QTime(7, 0));
    addDaily("午睡", QTime(13, 30));
    NextRingWatch watch(dispatcher, store, fake.clock);
    QMenu trayMenu;
    trayMenu.addAction("闹钟");
    TrayRingingEntries entries(trayMenu, dispatcher);
    dispatcher.start();
    EXPECT_EQ(watch.rowText(0), "今天 07:00");
    EXPECT_EQ(watch.hint(), "Belvane · 下次 今天 07:00 起床");
    EXPECT_FALSE(entries.stop()->isVisible());
    EXPECT_FALSE(entries.snooze()->isVisible());
    EXPECT_NEAR(watch.midnightTimer().remainingTime(), (17 * 3600 + 2) * 1000, 2000) << "armed for midnight";

    store.setOff(0, true);
    dispatcher.rearm();
    EXPECT_EQ(watch.rowText(0), "—");
    EXPECT_EQ(watch.hint(), "Belvane · 下次 今天 13:30 午睡");

    fake.clock.set(today(13, 30, 0, 5));
    dispatcher.checkNow();
    ASSERT_EQ(ringingReminder(), "午睡");
    EXPECT_EQ(trayMenu.actions().value(0), entries.stop())
        << "the tray's menu starts with the ringing's entries";
    EXPECT_EQ(trayMenu.actions().value(1), entries.snooze());
    EXPECT_TRUE(entries.stop()->isVisible());
    EXPECT_EQ(watch.rowText(1), "明天 13:30");
    entries.snooze()->trigger();
    TAlarmRun* window = dispatcher.ringingWindow();
    window->TimerTimer();
    ASSERT_TRUE(window->session().Silenced) << "the tray's snooze is the window's";
    EXPECT_EQ(watch.hint(), "Belvane · 打盹至 13:45 午睡")
        << "the settings an alarm is added with snooze for 15 minutes";

    entries.stop()->trigger();
    EXPECT_EVENTUALLY(dispatcher.ringingWindow() == nullptr);
    EXPECT_FALSE(entries.stop()->isVisible());
    EXPECT_EVENTUALLY_EQ(watch.hint(), QString("Belvane · 下次 明天 13:30 午睡"));

    // Past midnight, when the timer fires, tomorrow is today.
    fake.clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 1)));
    watch.refresh();
    EXPECT_EQ(watch.hint(), "Belvane · 下次 今天 13:30 午睡");
    store.setOff(1, true);
    dispatcher.rearm();
    EXPECT_EQ(watch.hint(), "Belvane") << "nothing will ring";
}

TEST_F(Dispatcher, TrialFromTheEditorRingsWhatIsEditedAndSavesNothing)
{
    TFormAlarmList list{fake.services, store, dir.path()};
    list.tryAlarm = [this](const AlarmSettings& s) { dispatcher.ringTrial(s); };
    dispatcher.start();
    fake.volume.device = {0x30003000, false};
    bool answered = false;
    answerNextModal([&](QDialog* editor) {
        answered = true;
        editor->findChild<QPlainTextEdit*>("Memo")->setPlainText("试一试\nsecond line");
        editor->findChild<QRadioButton*>("RadioButtonPlaySound")->setChecked(true);
        editor->findChild<QCheckBox*>("FadeIn")->setChecked(true);
        editor->findChild<QTimeEdit*>("FadeInTimePicker")->setTime(QTime(0, 5));
        editor->findChild<QComboBox*>("PowerComboBox")->setCurrentIndex(3);
        editor->findChild<QSlider*>("AlarmVolume")->setValue(80);
        const quint32 editorLevel = fake.volume.device.packed;
        QTest::mouseClick(editor->findChild<QPushButton*>("TryAlarm"), Qt::LeftButton);

        TAlarmRun* trial = dispatcher.ringingWindow();
        ASSERT_NE(trial, nullptr);
        EXPECT_EQ(ringingReminder(), "试一试\nsecond line");
        EXPECT_EQ(trial->session().PowerAction, 0) << "a trial never shuts the machine down";
        EXPECT_TRUE(trial->session().SoundMode);
        // Five minutes of fade-in are heard in ten seconds: half way after five.
        fake.clock.advanceSeconds(5);
        trial->TimerTimer();
        // Half of the 80 % set: 40 % of 255 is 102 (0x66), on both channels.
        EXPECT_EQ(fake.volume.device.packed, 0x66006600u);
        fake.clock.advanceSeconds(6);
        fake.volume.history.clear();
        trial->TimerTimer();
        EXPECT_TRUE(fake.volume.history.isEmpty()) << "the fade is over after ten seconds";

        trial->ButtonOKClick();
        EXPECT_EVENTUALLY(dispatcher.ringingWindow() == nullptr);
        EXPECT_EQ(fake.volume.device.packed, editorLevel) << "back in the editor at the level it had set";
        EXPECT_TRUE(editor->isVisible()) << "closing the trial returns to the editor";
        QTest::mouseClick(editor->findChild<QPushButton*>("Cancel"), Qt::LeftButton);
    });
    QTest::mouseClick(list.findChild<QPushButton*>("ButtonAdd"), Qt::LeftButton);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(store.rows.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.file("alarm.ini"))) << "a trial saves nothing";
    EXPECT_FALSE(QFile::exists(dir.file("0.ini")));
    EXPECT_EQ(fake.volume.device.packed, 0x30003000u);
    EXPECT_TRUE(notices.isEmpty()) << notices.join('\n').toStdString();
}

namespace {

/// Alarm `number` of `store` rings built-in sound `index`, or the play list `music` when one is given.
void setSound(const AlarmListStore& store, const QString& folder, int number, int index,
              const QStringList& music = {})
{
    AlarmSettings s = fallbackAlarmSettings();
    s.playSound = music.isEmpty();
    s.playMusic = !music.isEmpty();
    s.playList = music;
    s.soundIndex = index;
    s.reminderText = {decodeText(store.rows[number].caption)};
    writeFileAtomically(folder + SettingsFileName(number), WriteAlarmSettings(s));
}

bool soundReady(const AlarmDispatcher& d)
{
    return d.preroll().sound() && d.preroll().sound()->ready();
}

/// The scheduler with built-in sounds 0 to 2, whose next alarm's sound is made ready on the test run's
/// sound server.
class Preroll : public Dispatcher {
protected:
    Preroll()
    {
        for (int i : {1, 2})
            writeToneWav(sound(i), 2500);
    }
    void SetUp() override
    {
        if (!testSoundServer())
            GTEST_SKIP() << "no PulseAudio server in this test run: nothing is made ready without one";
    }
    QString sound(int index) const { return dir.file("sounds/" + builtInSoundFile(index)); }
    void ringAt7(AlarmDispatcher& d)
    {
        fake.clock.set(today(7, 0, 0, 3));
        d.checkNow();
    }
};

} // namespace

TEST_F(Preroll, TheSoundWaitsPausedOnTheServerAheadOfItsSecondAndRingsFromThere)
{
    addDaily("起床", QTime(7, 0));
    setSound(store, dir.path(), 0, 1);
    dispatcher.start(); // 06:59:58, inside the lead
    ASSERT_EVENTUALLY(soundReady(dispatcher));
    EXPECT_EQ(dispatcher.preroll().sound()->file(), sound(1));
    EXPECT_TRUE(player.Idle()) << "made ready in the player the chimes use";
    GstElement* prerolled = dispatcher.preroll().sound()->pipeline();
    // The stream opens corked and goes to volume 0 a moment later.
    ASSERT_EVENTUALLY(ourStreams().size() == 1 && ourStreams()[0].endsWith(" corked 0%"));
    const QString stream = ourStreams()[0].section(' ', 0, 0);

    ringAt7(dispatcher);
    ASSERT_EQ(ringingReminder(), "起床");
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.MediaFile(), sound(1));
    EXPECT_EQ(player.FilterGraph().pipeline(), prerolled) << "the sound was loaded again at its second";
    EXPECT_EVENTUALLY_EQ(ourStreams(), QStringList{stream + " playing 100%"});
}

TEST_F(Preroll, NothingIsMadeReadyForAnAlarmTenMinutesAway)
{
    addDaily("later", QTime(7, 10));
    dispatcher.start(); // 06:59:58
    QApplication::processEvents();
    EXPECT_FALSE(dispatcher.preroll().timer().isActive());
    EXPECT_EQ(dispatcher.preroll().sound(), nullptr);
    EXPECT_EQ(ourStreams(), QStringList());
    // The minute's wake before the lead arms the timer for four seconds before the alarm.
    fake.clock.set(today(7, 9, 30));
    dispatcher.checkNow();
    EXPECT_TRUE(dispatcher.preroll().timer().isActive());
    EXPECT_EQ(dispatcher.preroll().timer().interval(), 26 * 1000);
}

TEST_F(Preroll, AnAlarmChangedAfterItsSoundWasMadeReadyRingsAsChanged)
{
    using Change = std::function<void(AlarmListStore&, const TempFolder&)>;
    const Change otherSound = [](AlarmListStore& s, const TempFolder& f) { setSound(s, f.path(), 0, 2); };
    struct Case {
        const char* situation;
        Change change;
        bool schedulerTold;
        const char* rings; // the built-in sound rung at the second; nullptr: nothing rings
    };
    const Case cases[] = {
        {"switched off", [](AlarmListStore& s, const TempFolder&) { s.setOff(0, true); }, true, nullptr},
        {"deleted", [](AlarmListStore& s, const TempFolder&) { s.removeRow(0); }, true, nullptr},
        {"set to another sound", otherSound, true, "Alarmrng.wav"},
        {"set to another sound, the scheduler not told", otherSound, false, "Alarmrng.wav"},
        {"its play list's file gone",
         [](AlarmListStore&, const TempFolder& f) { QFile::remove(f.file("a.wav")); }, false, "Cuckoo.wav"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        QDir(folder.path()).mkdir("sounds");
        for (const char* file : {"sounds/Cuckoo.wav", "sounds/Alarmrng.wav", "a.wav"})
            writeToneWav(folder.file(file), 2500);
        AlarmListStore rows{folder.path()};
        rows.addRow(makeAlarmEntry({"x", int(Frequency::Daily), QDate(2026, 12, 7), QTime(7, 0), "1111111"},
                                   0, RowOrigin::Add, DateTimeLocale::neutral()),
                    {});
        setSound(rows, folder.path(), 0, 1, {folder.file("a.wav")});
        fake.clock.set(today(6, 59, 58));
        AlarmDispatcher d{fake.services, rows, folder.path(), folder.path(), player};
        d.start();
        ASSERT_EVENTUALLY(soundReady(d)) << c.situation;
        c.change(rows, folder);
        if (c.schedulerTold)
            d.rearm();
        if (c.schedulerTold && c.rings) { // made again for the new sound
            ASSERT_EVENTUALLY(soundReady(d) && d.preroll().sound()->file().endsWith(c.rings)) << c.situation;
        }
        const GstElement* ahead = d.preroll().sound() ? d.preroll().sound()->pipeline() : nullptr;
        if (!c.rings) {
            EXPECT_EVENTUALLY(ourStreams().isEmpty()) << c.situation << ": the stream made ready stays";
        }
        ringAt7(d);
        EXPECT_EQ(d.ringingWindow() != nullptr, c.rings != nullptr) << c.situation;
        if (c.rings) {
            EXPECT_EQ(player.MediaFile(), folder.file(QStringLiteral("sounds/") + c.rings)) << c.situation;
            EXPECT_TRUE(player.Playing()) << c.situation;
            EXPECT_EQ(player.FilterGraph().pipeline() == ahead, c.schedulerTold) << c.situation;
        }
        d.stop();
        QApplication::processEvents();
    }
}

TEST_F(Preroll, AVideoAtTheHeadOfAPlayListIsLetGoAndRingsWithItsPicture)
{
    addDaily("起床", QTime(7, 0));
    const QString video = MediaFiles::get().video640();
    setSound(store, dir.path(), 0, 1, {video});
    dispatcher.start();                                          // 06:59:58, inside the lead
    ASSERT_EVENTUALLY(!dispatcher.preroll().timer().isActive()); // the file was opened ahead
    EXPECT_EVENTUALLY(dispatcher.preroll().sound() == nullptr) << "a video was made ready as a sound";
    ringAt7(dispatcher);
    EXPECT_EQ(player.MediaFile(), video);
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.FilterGraph().videoSize(), QSize(640, 480));
}

TEST_F(Preroll, TwoAlarmsInOneSecondRingInListOrderWithTheirOwnSounds)
{
    addDaily("first", QTime(7, 0));
    addDaily("second", QTime(7, 0));
    setSound(store, dir.path(), 0, 1);
    setSound(store, dir.path(), 1, 2);
    dispatcher.start();
    ASSERT_EVENTUALLY(soundReady(dispatcher));
    EXPECT_EQ(dispatcher.preroll().sound()->file(), sound(1));
    ringAt7(dispatcher);
    ASSERT_EQ(ringingReminder(), "first");
    EXPECT_EQ(player.MediaFile(), sound(1));
    dispatcher.ringingWindow()->ButtonOKClick();
    EXPECT_EVENTUALLY_EQ(ringingReminder(), QString("second"));
    EXPECT_EQ(player.MediaFile(), sound(2));
    EXPECT_EVENTUALLY(ourStreams().size() == 1 && ourStreams()[0].endsWith(" playing 100%"));
}
