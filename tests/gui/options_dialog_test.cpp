#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include "alarms/alarm_list_window.h"
#include "app/application.h"
#include "clockface/options_dialog.h"
#include "clockface/options_file.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "helpers/wav_file.h"
#include "media/filter_graph.h"
#include "media/preview_window.h"
#include "media/run_play_window.h"
#include "platform/program_folder.h"
#include "ringing/alarm_dispatcher.h"
#include "ui/error_report.h"

/// Texts in failure messages as text, not as code units.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class OptionsDialog : public ::testing::Test {
protected:
    OptionsDialog()
    {
        setErrorSink([this](const QString& text) { errors << text; });
        QDir(dir.path()).mkdir("sounds");
    }
    ~OptionsDialog() override { setErrorSink({}); }

    /// A dialog as start-up makes it, the reading's error (if any) reported.
    std::unique_ptr<TFormOptions> created()
    {
        auto dialog = std::make_unique<TFormOptions>(dir.path());
        dialog->FormCreate();
        QCoreApplication::processEvents();
        return dialog;
    }
    template <class T = QWidget> static T* control(QWidget& dialog, const char* name)
    {
        auto* c = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void click(QWidget& dialog, const char* name)
    {
        QTest::mouseClick(control(dialog, name), Qt::LeftButton, {}, QPoint(4, 8));
    }
    static QByteArray lines(const QList<QByteArray>& list)
    {
        QByteArray bytes;
        for (const QByteArray& line : list)
            bytes += line + "\r\n";
        return bytes;
    }

    TempFolder dir;
    QStringList errors;
};

const QList<QByteArray> kStored{"***General***",
                                "FALSE",
                                "FALSE",
                                "TRUE",
                                "FALSE",
                                "***Hourly Chimes***",
                                "/music/bell.wav",
                                "TRUE",
                                "FALSE",
                                "FALSE",
                                "TRUE",
                                "7",
                                "30",
                                "0",
                                "21",
                                "0",
                                "0"};

} // namespace

TEST_F(OptionsDialog, ControlsFitTheirPagesWithoutOverlapOrClippedText)
{
    auto dialog = created();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    EXPECT_EQ(dialog->windowTitle(), "选项");
    auto* pages = control<QTabWidget>(*dialog, "PageControl");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(0), "基本选项");
    EXPECT_EQ(pages->tabText(1), "整点闹铃声");
    const QList<QWidget*> parents{dialog.get(), pages->widget(0), pages->widget(1)};
    const int counts[] = {3, 6, 12};
    for (int p = 0; p < 3; ++p) {
        QWidget* parent = parents[p];
        QList<QWidget*> controls;
        for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!w->objectName().isEmpty() && !w->isWindow())
                controls << w;
        EXPECT_EQ(controls.size(), counts[p]) << parent->objectName().toStdString();
        for (QWidget* w : controls) {
            const std::string name = w->objectName().toStdString();
            EXPECT_TRUE(parent->rect().contains(w->geometry())) << name << " leaves its page";
            // Check boxes, radio buttons and labels show their whole text in the Song face at 12 pixels.
            if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w) || qobject_cast<QLabel*>(w)) {
                EXPECT_LE(w->sizeHint().width(), w->width()) << name << " cuts its text";
            }
            for (QWidget* other : controls)
                EXPECT_TRUE(w == other || !w->geometry().intersects(other->geometry()))
                    << name << " overlaps " << other->objectName().toStdString();
        }
    }
}

TEST_F(OptionsDialog, TabOrderOfBothPages)
{
    auto dialog = created();
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    control<QCheckBox>(*dialog, "cbNoChimeBetween")
        ->setChecked(true); // pickers take the focus only when enabled
    auto walk = [&](const char* from, int steps) {
        control(*dialog, from)->setFocus();
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            // Tab steps through a time picker's hour, minute and second before it leaves the picker.
            if (QApplication::focusWidget()->objectName() != visited.last())
                visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    };
    EXPECT_EQ(walk("cbStartup", 5),
              (QStringList{"cbStartup", "cbSystemTray", "cbFullScreen", "rbStandard", "Button1", "Button2"}));
    control<QTabWidget>(*dialog, "PageControl")->setCurrentIndex(1);
    EXPECT_EQ(walk("EditChimeSound", 14), (QStringList{"EditChimeSound", "Button3", "Button4", "cbHourly",
                                                       "cbHalfHourly", "cbQuarterHourly", "cbNoChimeBetween",
                                                       "TimePicker1", "TimePicker2", "Button1", "Button2"}));
}

TEST_F(OptionsDialog, FirstRunShowsTheDefaultsAndWritesNothing)
{
    auto dialog = created();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_FALSE(dir.exists("Options.ini"));
    EXPECT_EQ(control<QTabWidget>(*dialog, "PageControl")->currentIndex(), 0);
    for (const char* box : {"cbStartup", "cbSystemTray", "cbFullScreen", "rbStandard", "cbHourly",
                            "cbHalfHourly", "cbQuarterHourly"})
        EXPECT_TRUE(control<QAbstractButton>(*dialog, box)->isChecked()) << box;
    for (const char* box : {"rbMilitary", "cbNoChimeBetween"})
        EXPECT_FALSE(control<QAbstractButton>(*dialog, box)->isChecked()) << box;
    EXPECT_EQ(control<QLineEdit>(*dialog, "EditChimeSound")->text(), dir.file("sounds/Cuckoo.wav"));
    EXPECT_EQ(control<QTimeEdit>(*dialog, "TimePicker1")->text(), "8:00:00");
    EXPECT_EQ(control<QTimeEdit>(*dialog, "TimePicker2")->text(), "22:00:00");
    EXPECT_FALSE(control(*dialog, "TimePicker1")->isEnabled());
    EXPECT_FALSE(control(*dialog, "TimePicker2")->isEnabled());
    EXPECT_FALSE(dialog->military());
    EXPECT_TRUE(dialog->startInTray() && dialog->fullScreenVideo() && dialog->startWithDesktop());
}

TEST_F(OptionsDialog, TimePickersFollowTheRangeBoxAndCountAtOnce)
{
    auto dialog = created();
    auto* picker1 = control<QTimeEdit>(*dialog, "TimePicker1");
    auto* picker2 = control<QTimeEdit>(*dialog, "TimePicker2");
    dialog->show();
    control<QTabWidget>(*dialog, "PageControl")->setCurrentIndex(1);
    for (bool checked : {true, false, true}) {
        click(*dialog, "cbNoChimeBetween");
        EXPECT_EQ(dialog->chimes().onlyBetween, checked);
        EXPECT_EQ(picker1->isEnabled(), checked);
        EXPECT_EQ(picker2->isEnabled(), checked);
    }
    picker1->setFocus();
    picker1->setSelectedSection(QDateTimeEdit::HourSection);
    QTest::keyClicks(picker1, "21");
    EXPECT_EQ(dialog->chimes().from, QTime(21, 0));
    EXPECT_EQ(dialog->chimes().to, QTime(22, 0));
}

TEST_F(OptionsDialog, ADamagedFileIsReportedAndKeepsWhatWasRead)
{
    QList<QByteArray> file = kStored;
    file[4] = "yes"; // neither format
    file[11] = "seven";
    dir.write("Options.ini", lines(file));
    auto dialog = created();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("\"seven\"不是整数")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(dir.file("Options.ini"))) << errors[0].toStdString();
    EXPECT_FALSE(control<QAbstractButton>(*dialog, "cbSystemTray")->isChecked());
    EXPECT_TRUE(control<QAbstractButton>(*dialog, "cbFullScreen")->isChecked());
    EXPECT_FALSE(control<QAbstractButton>(*dialog, "rbStandard")->isChecked());
    EXPECT_FALSE(control<QAbstractButton>(*dialog, "rbMilitary")->isChecked());
    EXPECT_FALSE(dialog->military()); // the 12-hour face when neither is chosen
    EXPECT_EQ(control<QLineEdit>(*dialog, "EditChimeSound")->text(), "/music/bell.wav");
    EXPECT_TRUE(control(*dialog, "TimePicker1")->isEnabled());
    EXPECT_EQ(control<QTimeEdit>(*dialog, "TimePicker1")->text(), "8:00:00");
    EXPECT_EQ(control<QTimeEdit>(*dialog, "TimePicker2")->text(), "23:00:00");

    click(*dialog, "Button1");
    const QList<QByteArray> written = dir.read("Options.ini").split('\n');
    EXPECT_EQ(written.size(), 18); // 17 lines, each ended
    EXPECT_EQ(written[4], "FALSE\r");
}

TEST_F(OptionsDialog, OkStoresEverythingWhileCancelAndTheCloseBoxStoreNothingButKeepTheChange)
{
    dir.write("Options.ini", lines(kStored));
    struct Case {
        const char* how;
        bool stores;
    };
    for (const Case c : {Case{"Button2", false}, {"close box", false}, {"Button1", true}}) {
        auto dialog = created();
        QList<bool> autostart;
        dialog->setStartWithDesktop = [&](bool on) { autostart << on; };
        dialog->show();
        click(*dialog, "rbStandard");
        click(*dialog, "cbStartup");
        control<QTabWidget>(*dialog, "PageControl")->setCurrentIndex(1);
        click(*dialog, "cbQuarterHourly");
        EXPECT_FALSE(dialog->military()) << c.how;
        EXPECT_TRUE(dialog->chimes().quarterHourly) << c.how;
        if (c.how == std::string("close box"))
            dialog->close();
        else
            click(*dialog, c.how);
        EXPECT_FALSE(dialog->isVisible()) << c.how;
        EXPECT_FALSE(dialog->military()) << c.how << ": the change stays for the run";
        EXPECT_TRUE(dialog->startWithDesktop()) << c.how;
        OptionsSettings expected;
        readOptions(lines(kStored), expected, "Options.ini");
        if (c.stores) {
            expected.startup = true;
            expected.timeFormat = TimeFormat::Standard;
            expected.chime.quarterHourly = true;
        }
        EXPECT_EQ(dir.read("Options.ini"), writeOptions(expected)) << c.how;
        EXPECT_EQ(autostart, c.stores ? QList<bool>{true} : QList<bool>{}) << c.how;
        // The dialog opens again on the page it was left on.
        dialog->show();
        EXPECT_EQ(control<QTabWidget>(*dialog, "PageControl")->currentIndex(), 1) << c.how;
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(OptionsDialog, AFailedWriteKeepsTheDialogOpenAndTheEntryUntouched)
{
    auto dialog = created();
    QDir(dir.path()).mkdir("Options.ini"); // a folder where the file should be
    QList<bool> autostart;
    dialog->setStartWithDesktop = [&](bool on) { autostart << on; };
    dialog->show();
    click(*dialog, "Button1");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(dir.file("Options.ini"))) << errors[0].toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(autostart.isEmpty());
}

TEST_F(OptionsDialog, ChimeFileChooserStartsInTheSoundsFolderWithTheFirstFilter)
{
    auto dialog = created();
    QStringList filters;
    QString selected, folder;
    QString answer = dir.file("sounds/bell.wav");
    dialog->runOpenDialog = [&](QFileDialog& chooser) {
        filters = chooser.nameFilters();
        selected = chooser.selectedNameFilter();
        folder = chooser.directory().absolutePath();
        return answer;
    };
    click(*dialog, "Button3");
    ASSERT_EQ(filters.size(), 4);
    // The same choice as the play list's: what the installed GStreamer decodes, audio and video.
    for (const char* music :
         {"*.mp3", "*.wav", "*.ogg", "*.opus", "*.flac", "*.m4a", "*.mp4", "*.webm", "*.mkv"})
        EXPECT_TRUE(filters[0].split(QRegularExpression("[ ()]")).contains(music)) << music;
    EXPECT_TRUE(filters[0].startsWith("所有支持的文件 (")) << filters[0].toStdString();
    EXPECT_TRUE(filters[1].startsWith("音频文件 (")) << filters[1].toStdString();
    EXPECT_TRUE(filters[1].contains("*.flac") && !filters[1].contains("*.mp4")) << filters[1].toStdString();
    EXPECT_TRUE(filters[2].startsWith("视频文件 (")) << filters[2].toStdString();
    EXPECT_TRUE(filters[2].contains("*.mp4") && !filters[2].contains("*.flac")) << filters[2].toStdString();
    EXPECT_EQ(filters[3], "所有文件 (*)");
    EXPECT_TRUE(filters[0].startsWith(selected + " (")) << "the first entry is chosen";
    EXPECT_EQ(folder, QDir(dir.file("sounds")).absolutePath());
    EXPECT_EQ(dialog->chimes().file, answer);

    answer.clear(); // the user cancels
    click(*dialog, "Button3");
    EXPECT_EQ(dialog->chimes().file, dir.file("sounds/bell.wav"));
}

TEST_F(OptionsDialog, PreviewPlaysTheChimeFileInThePreviewWindow)
{
    writeToneWav(dir.file("sounds/Cuckoo.wav"), 1500);
    auto dialog = created();
    TFormPlay preview;
    dialog->setPreviewPlayer(&preview);
    std::optional<std::int64_t> duration;
    QWidget* shown = nullptr;
    answerNextModal([&](QDialog* modal) {
        shown = modal;
        duration = preview.FilterGraph().durationMs();
        modal->close();
    });
    click(*dialog, "Button4");
    EXPECT_EQ(shown, &preview);
    ASSERT_TRUE(duration.has_value());
    EXPECT_NEAR(double(*duration), 1500.0, 50.0);
    EXPECT_FALSE(preview.FilterGraph().Active());
}

TEST_F(OptionsDialog, Screenshots)
{
    dir.write("Options.ini", lines(kStored));
    auto dialog = created();
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    saveScreenshot(*dialog, "options-basic");
    control<QTabWidget>(*dialog, "PageControl")->setCurrentIndex(1);
    saveScreenshot(*dialog, "options-chimes");
    EXPECT_TRUE(errors.isEmpty());
}

// The dialog among the other windows, as start-up makes them.
class OptionsAtStartUp : public OptionsDialog {
protected:
    void tick(int ms = 200)
    {
        fake.clock.advanceMs(ms);
        windows->scheduler().checkNow(); // as its timer would
    }
    void start(const QDateTime& at)
    {
        fake.clock.set(at);
        dir.installSkins();
        windows = std::make_unique<BelvaneWindows>(fake.services, dir.path());
        QCoreApplication::processEvents();
    }
    /// Waits (with a generous bound) for the ringing player to finish what it plays: the sound server
    /// drains its buffer before the end of a file is reported, which can take seconds more.
    bool waitIdle()
    {
        return QTest::qWaitFor([&] { return windows->runPlayer().Idle(); }, 20000);
    }

    FakeServices fake;
    std::unique_ptr<BelvaneWindows> windows;
};

TEST_F(OptionsAtStartUp, OnlyOkChangesTheStartWithDesktopEntryAndTheBoxShowsIt)
{
    struct Case {
        const char* situation;
        QByteArray startupLine; // empty: no file
        bool entry;             // an entry is there before the start
    };
    for (const Case& c : {Case{"first run writes nothing", {}, false},
                          {"file says on, but the desktop has no entry", "TRUE", false},
                          {"entry from an earlier run, file says off", "FALSE", true}}) {
        fake.autostart.calls.clear();
        fake.autostart.enabled = c.entry;
        QFile::remove(dir.file("Options.ini"));
        if (!c.startupLine.isEmpty()) {
            QList<QByteArray> file = kStored;
            file[1] = c.startupLine;
            dir.write("Options.ini", lines(file));
        }
        start(QDateTime(QDate(2026, 12, 7), QTime(6, 0)));
        TFormOptions& options = windows->options();
        EXPECT_EQ(options.startWithDesktop(), c.entry) << c.situation;
        // Cancel changes nothing, and the box shows the entry again at the next show.
        options.show();
        click(options, "cbStartup");
        click(options, "Button2");
        options.show();
        EXPECT_EQ(options.startWithDesktop(), c.entry) << c.situation;
        EXPECT_TRUE(fake.autostart.calls.isEmpty()) << c.situation;
        click(options, "cbStartup");
        click(options, "Button1");
        EXPECT_EQ(fake.autostart.calls, (QList<QPair<bool, QString>>{{!c.entry, programPath()}}))
            << c.situation << ": only OK writes the entry, once";
        windows.reset();
    }
}

TEST_F(OptionsAtStartUp, TheOtherWindowsReadTheLiveSettings)
{
    writeToneWav(dir.file("sounds/Cuckoo.wav"), 300);
    for (bool tray : {true, false}) {
        start(QDateTime(QDate(2026, 12, 7), QTime(6, 0)));
        TFormOptions& options = windows->options();
        if (!tray)
            click(options, "cbSystemTray");

        for (bool fullScreen : {false, true}) {
            if (control<QAbstractButton>(options, "cbFullScreen")->isChecked() != fullScreen)
                click(options, "cbFullScreen");
            windows->runPlayer().setMediaFile(dir.file("sounds/Cuckoo.wav"));
            windows->runPlayer().ButtonPlayClick();
            EXPECT_EQ(windows->runPlayer().FullScreenPending(), fullScreen);
            windows->runPlayer().FormClose();
        }
        windows.reset();
    }
}

TEST_F(OptionsAtStartUp, TheListsOptionsButtonOpensAUsableDialogAlsoOverTheModalList)
{
    start(QDateTime(QDate(2026, 12, 7), QTime(6, 0)));
    TFormOptions& options = windows->options();
    auto* box = control<QCheckBox>(options, "cbStartup");
    // A click as the window system delivers it, which a window blocked by a modal one never gets.
    auto userClick = [&] {
        QTest::mouseClick(options.windowHandle(), Qt::LeftButton, {}, box->mapTo(&options, QPoint(4, 8)));
    };
    for (bool listModal : {true, false}) {
        auto steps = [&] {
            click(windows->alarmList(), "Button2");
            EXPECT_TRUE(options.isVisible());
            const bool checked = box->isChecked();
            userClick();
            EXPECT_NE(box->isChecked(), checked) << (listModal ? "over the modal list" : "beside the list");
            options.close();
            windows->alarmList().reject();
        };
        if (listModal) {
            QTimer::singleShot(0, steps);
            windows->alarmList().exec();
        } else {
            windows->alarmList().show();
            steps();
        }
    }
}

TEST_F(OptionsAtStartUp, OneChimePerDueMinuteWithAVeryShortFile)
{
    writeToneWav(dir.file("sounds/Cuckoo.wav"), 150);
    start(QDateTime(QDate(2026, 12, 7), QTime(9, 14, 59, 800)));
    TFormRunPlay& player = windows->runPlayer();
    tick(); // 9:15:00.000, no Options.ini: every quarter chimes
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.MediaFile(), dir.file("sounds/Cuckoo.wav"));
    // The chime is over long before the due second is; the scheduler's own timer ticks meanwhile too.
    ASSERT_TRUE(waitIdle());
    for (int i = 0; i < 4; ++i) {
        tick();
        EXPECT_FALSE(player.Playing()) << "tick " << i + 2 << " of the due second started the chime again";
    }
    fake.clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 29, 59, 900)));
    tick();
    EXPECT_TRUE(player.Playing()) << "the next quarter";
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(OptionsAtStartUp, AChimeNeverStartsOverAPlayingAlarm)
{
    writeToneWav(dir.file("sounds/Cuckoo.wav"), 150);
    writeToneWav(dir.file("alarm.wav"), 2500);
    start(QDateTime(QDate(2026, 12, 7), QTime(9, 59, 59, 900)));
    TFormRunPlay& player = windows->runPlayer();
    player.setMediaFile(dir.file("alarm.wav")); // as the ringing window gives it
    player.ButtonPlayClick();
    for (int i = 0; i < 5; ++i) {
        tick(); // 10:00:00.100 to 10:00:00.900
        EXPECT_EQ(player.MediaFile(), dir.file("alarm.wav"));
        EXPECT_TRUE(player.Playing());
    }
    EXPECT_NEAR(double(player.FilterGraph().positionMs().value_or(0)), 0.0, 1000.0)
        << "the alarm was restarted";
    ASSERT_TRUE(waitIdle());
}

TEST_F(OptionsAtStartUp, AnUnplayableChimeIsReportedOncePerDueMinute)
{
    start(QDateTime(QDate(2026, 12, 7), QTime(10, 59, 59, 900)));
    OptionsSettings s = windows->options().settings();
    s.chime.file = dir.file("sounds/gone.wav");
    windows->options().showSettings(s);
    for (int i = 0; i < 5; ++i)
        tick();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("gone.wav")) << errors[0].toStdString();
    EXPECT_FALSE(windows->runPlayer().Playing());
    fake.clock.set(QDateTime(QDate(2026, 12, 7), QTime(11, 14, 59, 900)));
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_EQ(errors.size(), 2) << "the next due minute tries again";
}
