#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_window.h"
#include "alarms/alarm_settings_file.h"
#include "app/application.h"
#include "clockface/main_window.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/temp_folder.h"
#include "media/media_files.h"
#include "media/preview_window.h"
#include "media/run_play_window.h"
#include "media/video_window.h"
#include "ringing/alarm_run_window.h"
#include "shell/help_book.h"
#include "shell/help_viewer.h"
#include "ui/error_report.h"
#include "x11_windows.h"

namespace {

constexpr int kWaitMs = 20000; // generous: the machine may be busy

/// Waits for the window manager to stack `upper` above `lower`: it restacks a moment after it maps.
bool settlesAbove(x11::WindowId upper, x11::WindowId lower)
{
    return QTest::qWaitFor([&] { return x11::stackingIndex(upper) > x11::stackingIndex(lower); }, kWaitMs);
}

void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.isDir())
            copyFolder(entry.filePath(), to + "/" + entry.fileName());
        else
            QFile::copy(entry.filePath(), to + "/" + entry.fileName());
    }
}

bool underWindowManager()
{
    return QGuiApplication::platformName() == QLatin1String("xcb") &&
           !qEnvironmentVariableIsEmpty("BELVANE_WINDOW_MANAGER");
}

/// Saves the whole screen as build/tests/screenshots/stacking-NAME.png, to look at.
void screenShot(const QString& name)
{
    const QString folder = qEnvironmentVariable("BELVANE_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QTest::qWait(300); // pictures only: let a window just mapped finish painting
    QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(folder).filePath("stacking-" + name + ".png"));
}

/// A real click of the left button at a point of a widget, through the X server, once the program has
/// heard where the window manager put the widget's window (the point is found by the program).
void xClick(QWidget& widget, QPoint at)
{
    QWidget& window = *widget.window();
    const auto id = x11::WindowId(window.winId());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.geometry() == x11::clientRect(id); }, kWaitMs))
        << "the program has the window elsewhere than the X server";
    const QPoint global = widget.mapToGlobal(at);
    QProcess::execute("xdotool",
                      {"mousemove", QString::number(global.x()), QString::number(global.y()), "click", "1"});
}

/// What is missing for the window manager to have the window (listed, framed, on the screen); empty once
/// it has it. All of it as the X server has it: the program hears of its frame only with its next move,
/// which may have come before the window manager had named the frame's size.
std::string notManaged(QWidget& window)
{
    const auto id = x11::WindowId(window.winId());
    std::string missing;
    if (!window.isVisible())
        missing += " not shown;";
    if (x11::stackingIndex(id) < 0)
        missing += " not listed by the window manager;";
    if (x11::frameExtents(id).isNull())
        missing += " no frame (_NET_FRAME_EXTENTS);";
    if (!x11::viewable(id))
        missing += " not on the screen;";
    return missing;
}

/// The window manager has the window: it is listed, framed and placed.
::testing::AssertionResult waitManaged(QWidget& window)
{
    if (QTest::qWaitFor([&] { return notManaged(window).empty(); }, kWaitMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the window manager does not have the window:" << notManaged(window);
}

class OnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!underWindowManager())
            GTEST_SKIP() << "needs an X server with a window manager: run through with-window-manager.sh";
        setErrorSink([this](const QString& text) { errors << text; });
        dir.installSkins();
        QDir(dir.path()).mkdir("sounds");
        copyFolder(BELVANE_ASSETS_DIR "/help", dir.file("help"));
        // The face stays on screen (no tray at start), videos go full screen, no chimes.
        dir.write("Options.ini",
                  "***General***\r\nFALSE\r\nFALSE\r\nTRUE\r\nTRUE\r\n***Hourly Chimes***\r\n\r\n"
                  "FALSE\r\nFALSE\r\nFALSE\r\nFALSE\r\n8\r\n0\r\n0\r\n22\r\n0\r\n0\r\n");
        windows = std::make_unique<BelvaneWindows>(fake.services, dir.path());
        face().show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return x11::stackingIndex(faceId()) >= 0; }, kWaitMs));
        ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }
    void TearDown() override { setErrorSink({}); }

    TFormMain& face() { return windows->main(); }
    x11::WindowId faceId() { return x11::WindowId(face().winId()); }
    static x11::WindowId id(QWidget& w) { return x11::WindowId(w.winId()); }

    /// Waits for the face to stay on top of other programs (_NET_WM_STATE_ABOVE), or for it to be
    /// stacked among them.
    ::testing::AssertionResult waitFaceOnTop(bool onTop)
    {
        if (QTest::qWaitFor([&] { return x11::states(faceId()).contains("ABOVE") == onTop; }, kWaitMs))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the face's states: " << x11::states(faceId()).join(' ').toStdString();
    }

    /// An ordinary window of the program, active: owned by no window of the program that stays on top,
    /// it is stacked among other programs' windows, and the face lies under it, among them too.
    void expectOrdinary(QWidget& window)
    {
        EXPECT_NE(x11::transientFor(id(window)), faceId())
            << "owned by the face, it floats above other programs";
        EXPECT_FALSE(x11::states(id(window)).contains("ABOVE"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return x11::activeWindow() == id(window); }, kWaitMs))
            << "not active";
        EXPECT_TRUE(waitFaceOnTop(false)) << "the face stays on top of other programs over an active window";
    }

    /// A report stays on top of every program's windows, the always-on-top face among them, until read.
    void expectReportOnTop(QWidget& box)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return x11::states(id(box)).contains("ABOVE"); }, kWaitMs))
            << x11::states(id(box)).join(' ').toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return x11::activeWindow() == id(box); }, kWaitMs)) << "not active";
    }

    /// Starts another program with one ordinary window, 600 by 400 pixels, and gives its window once the
    /// window manager has it; 0 when it has not.
    x11::WindowId startAnotherProgram(QProcess& other)
    {
        other.start("xmessage", {"-geometry", "600x400+340+300", "another program"});
        if (!other.waitForStarted(kWaitMs))
            return 0;
        auto found = [&]() -> x11::WindowId {
            for (x11::WindowId w : x11::stacking())
                if (w != faceId() && x11::transientFor(w) == 0 && x11::clientRect(w).width() == 600)
                    return w;
            return 0;
        };
        QTest::qWaitFor([&] { return found() != 0; }, kWaitMs);
        return found();
    }

    /// Brings a window to the front as a task bar does, and waits until the window manager has made it
    /// the active window.
    static bool bringToFront(x11::WindowId window)
    {
        QProcess::execute("xdotool", {"windowactivate", QString::number(window)});
        return QTest::qWaitFor([&] { return x11::activeWindow() == window; }, kWaitMs);
    }

    /// A window of the program, once the window manager has it: stacked above the face, centred with
    /// its frame, offering what its frame shows; and a picture of it beside the face.
    /// The window's frame is centred on the screen's free area, within 2 pixels, once the window
    /// manager has framed it.
    static bool waitCentred(QWidget& window)
    {
        return QTest::qWaitFor(
            [&] {
                const QPoint offset =
                    x11::frameRect(id(window)).center() - window.screen()->availableGeometry().center();
                return std::abs(offset.x()) <= 2 && std::abs(offset.y()) <= 2;
            },
            kWaitMs);
    }

    void expectUsable(QWidget& window, const QString& name, bool canMinimise = false, bool fixed = true,
                      bool centred = true)
    {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(waitManaged(window));
        EXPECT_TRUE(settlesAbove(id(window), faceId())) << "the face covers it";
        if (centred) {
            EXPECT_TRUE(waitCentred(window))
                << "frame at " << x11::frameRect(id(window)).x() << "," << x11::frameRect(id(window)).y();
        }
        if (fixed) {
            // The boxes asked for are those of the window's frame; the window manager offers no
            // maximising or resizing. (Openbox offers every dialog minimise, whatever it asks for.)
            const x11::AskedBoxes asked = x11::askedBoxes(id(window));
            EXPECT_EQ(asked.minimise, canMinimise);
            EXPECT_FALSE(asked.maximise);
            const QStringList actions = x11::allowedActions(id(window));
            EXPECT_FALSE(actions.contains("MAXIMIZE_HORZ") || actions.contains("MAXIMIZE_VERT"))
                << actions.join(' ').toStdString();
            EXPECT_FALSE(actions.contains("RESIZE")) << actions.join(' ').toStdString();
        }
        screenShot(name);
    }

    /// Reports an error in the program's own error box, as outside the tests, and returns the box once
    /// it is shown (a box whose window is not shown waits for the event loop).
    QMessageBox* showErrorBox()
    {
        setErrorSink({});
        reportError("这是一个测试错误。");
        setErrorSink([this](const QString& text) { errors << text; });
        QMessageBox* box = nullptr;
        QTest::qWaitFor(
            [&] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                        box = b;
                return box != nullptr;
            },
            kWaitMs);
        return box;
    }

    /// Writes an alarm's settings file and rings it in a ringing window; `during` runs while it rings
    /// and must close it.
    void ring(const AlarmSettings& settings, const std::function<void(TAlarmRun&)>& during)
    {
        dir.write("5.ini", WriteAlarmSettings(settings));
        RingRequest request;
        request.occurrence.row = makeAlarmEntry(
            {"起床了", int(Frequency::Daily), fake.clock.now().date(), QTime(23, 0), "1111111"}, 5,
            RowOrigin::Add, DateTimeLocale::neutral());
        request.occurrence.due = fake.clock.now();
        request.dataFolder = request.programFolder = dir.path();
        TAlarmRun ringing(request, fake.services, windows->runPlayer(), &face());
        QTimer::singleShot(0, [&] { during(ringing); });
        ringing.exec();
    }

    static AlarmSettings alarmSettings(const QStringList& playList = {})
    {
        AlarmSettings s;
        s.frequencyIndex = 2;
        s.playMusic = true;
        s.playList = playList;
        s.snoozeMinutes = 15;
        s.volume = 50;
        s.closeNever = true;
        s.reminderText = {"起床了"};
        return s;
    }

    FakeServices fake;
    TempFolder dir;
    std::unique_ptr<BelvaneWindows> windows;
    QStringList errors;
};

TEST_F(OnTheDesktop, EveryWindowOpensAboveTheFaceCentredAndFixed)
{
    // The alarm list, the editor over it, the options and the about box from the face's menu.
    answerNextModal([&](QDialog* list) {
        expectUsable(*list, "alarm-list", true);
        expectOrdinary(*list);
        answerNextModal([&](QDialog* editor) {
            expectUsable(*editor, "editor");
            expectOrdinary(*editor);
            EXPECT_TRUE(settlesAbove(id(*editor), id(*list)));
            EXPECT_TRUE(settlesAbove(id(*list), faceId())) << "the face covers the list under the editor";
            editor->reject();
        });
        QTest::mouseClick(list->findChild<QPushButton*>("ButtonAdd"), Qt::LeftButton);
        list->reject();
    });
    face().Alarms1Click();

    answerNextModal([&](QDialog* options) {
        expectUsable(*options, "options");
        expectOrdinary(*options);
        options->reject();
    });
    face().Options1Click();

    answerNextModal([&](QDialog* about) {
        expectUsable(*about, "about");
        expectOrdinary(*about);
        about->accept();
    });
    face().menuAboutClick();

    // The help, not modal, resizable.
    face().Help1Click();
    ASSERT_NE(helpViewer(), nullptr);
    expectUsable(*helpViewer(), "help", true, false);
    expectOrdinary(*helpViewer());
    helpViewer()->close();

    // The error box (not modal).
    QMessageBox* box = showErrorBox();
    ASSERT_NE(box, nullptr);
    expectUsable(*box, "error-box", false, false, false); // placed over the window it reports for
    expectReportOnTop(*box);
    box->close();

    // The preview player.
    TFormPlay* preview = &windows->previewPlayer();
    answerNextModal([&](QDialog* player) {
        expectUsable(*player, "preview-player");
        expectOrdinary(*player);
        player->reject();
    });
    preview->PreviewFile(MediaFiles::get().wav2500ms());

    // The ringing window stays on top of other programs, above the face, which stays on top too.
    ring(alarmSettings(), [&](TAlarmRun& ringing) {
        expectUsable(ringing, "ringing");
        EXPECT_TRUE(x11::states(id(ringing)).contains("ABOVE"))
            << x11::states(id(ringing)).join(' ').toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return x11::activeWindow() == id(ringing); }, kWaitMs));
        EXPECT_TRUE(waitFaceOnTop(true));
        ringing.close();
    });
}

TEST_F(OnTheDesktop, AWindowShownWhileTheFaceWasNotEndsAboveTheFace)
{
    // An error while the face sits in the tray: the box belongs to the face, which the window manager
    // does not know yet.
    face().hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return x11::stackingIndex(faceId()) < 0; }, kWaitMs));
    QMessageBox* box = showErrorBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(waitManaged(*box));
    face().show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return x11::stackingIndex(faceId()) >= 0; }, kWaitMs));
    EXPECT_TRUE(settlesAbove(id(*box), faceId())) << "the face covers the box";
    expectReportOnTop(*box);
    screenShot("error-box-before-face");
    box->close();
}

TEST_F(OnTheDesktop, TheRingingWindowOpensAboveAnotherProgramsWindow)
{
    QProcess other;
    const x11::WindowId otherWindow = startAnotherProgram(other);
    ASSERT_NE(otherWindow, 0u) << "xmessage did not open its window";
    ring(alarmSettings(), [&](TAlarmRun& ringing) {
        ASSERT_TRUE(waitManaged(ringing));
        EXPECT_TRUE(settlesAbove(id(ringing), otherWindow));
        EXPECT_TRUE(x11::states(id(ringing)).contains("ABOVE"))
            << x11::states(id(ringing)).join(' ').toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &ringing; }, kWaitMs));
        screenShot("ringing-over-another-program");
        ringing.close();
    });
    other.kill();
    other.waitForFinished();
}

TEST_F(OnTheDesktop, AnotherProgramGoesOverTheListButNotOverTheFaceOrTheRingingWindow)
{
    QProcess other;
    const x11::WindowId otherWindow = startAnotherProgram(other);
    ASSERT_NE(otherWindow, 0u) << "xmessage did not open its window";
    TFormAlarmList& list = windows->alarmList();
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(waitManaged(list));
        EXPECT_TRUE(settlesAbove(id(list), otherWindow)) << "the list opened behind the window in use";
        expectOrdinary(list);

        // The user turns to the other program: it covers the list; the face stays on top of it.
        ASSERT_TRUE(bringToFront(otherWindow));
        EXPECT_TRUE(settlesAbove(otherWindow, id(list))) << "the list floats above other programs";
        EXPECT_TRUE(waitFaceOnTop(true));
        EXPECT_TRUE(settlesAbove(faceId(), otherWindow));
        screenShot("another-program-over-list");

        // An alarm rings: its window comes above the other program, and brings the list with it no more
        // than the other program's window leaves it.
        ring(alarmSettings(), [&](TAlarmRun& ringing) {
            ASSERT_TRUE(waitManaged(ringing));
            EXPECT_TRUE(settlesAbove(id(ringing), otherWindow));
            EXPECT_GT(x11::stackingIndex(otherWindow), x11::stackingIndex(id(list)))
                << "the ringing window raised the list over the other program";
            // Back to the other program while it rings: the ringing window stays above it.
            ASSERT_TRUE(bringToFront(otherWindow));
            EXPECT_GT(x11::stackingIndex(id(ringing)), x11::stackingIndex(otherWindow))
                << "the other program covers the ringing window";
            EXPECT_GT(x11::stackingIndex(otherWindow), x11::stackingIndex(id(list)));
            screenShot("ringing-over-another-program-over-list");
            ringing.close();
        });
        list.reject();
    });
    face().Alarms1Click();
    other.kill();
    other.waitForFinished();
}

TEST_F(OnTheDesktop, ARingingVideoIsSeenAboveTheRingingWindowAndFullScreenAboveEverything)
{
    ring(alarmSettings({MediaFiles::get().video640()}), [&](TAlarmRun& ringing) {
        TFormRunPlay& player = windows->runPlayer();
        ASSERT_TRUE(waitManaged(ringing));
        ASSERT_TRUE(QTest::qWaitFor([&] { return player.isVisible(); }, kWaitMs));
        ASSERT_TRUE(waitManaged(player));
        // The sound and the video start at the alarm's second, before the window manager has put the
        // ringing window up; once it has, the video goes back over it.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return x11::stackingIndex(id(player)) > x11::stackingIndex(id(ringing)); }, kWaitMs))
            << "the ringing window covers it: " << x11::stackingIndex(id(player)) << " vs "
            << x11::stackingIndex(id(ringing));
        EXPECT_TRUE(waitCentred(player));
        screenShot("ringing-video");
        // A second later it goes full screen, above everything.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return player.VideoWindow().fullScreenWindow() != nullptr; }, kWaitMs));
        QWidget& full = *player.VideoWindow().fullScreenWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return x11::stackingIndex(id(full)) >= 0; }, kWaitMs));
        EXPECT_TRUE(settlesAbove(id(full), id(ringing)));
        EXPECT_TRUE(settlesAbove(id(full), faceId()));
        screenShot("ringing-video-full-screen");
        ringing.close();
    });
}

TEST_F(OnTheDesktop, AboutAndHelpFromTheModalListAreInFrontAndTakeClicks)
{
    TFormAlarmList& list = windows->alarmList();
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(waitManaged(list));
        emit list.aboutRequested();
        QWidget* about = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "FormAbout")
                about = w;
        ASSERT_NE(about, nullptr);
        ASSERT_TRUE(waitManaged(*about));
        EXPECT_TRUE(settlesAbove(id(*about), id(list)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == about; }, kWaitMs));
        EXPECT_TRUE(waitCentred(*about)); // settled where it will take the click
        screenShot("about-over-list");
        auto* ok = about->findChild<QPushButton*>("ButtonOK");
        xClick(*ok, ok->rect().center());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !about->isVisible(); }, kWaitMs))
            << "the about box took no click";

        emit list.helpRequested();
        ASSERT_NE(helpViewer(), nullptr);
        HelpViewer& help = *helpViewer();
        ASSERT_TRUE(waitManaged(help));
        EXPECT_TRUE(settlesAbove(id(help), id(list)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &help; }, kWaitMs));
        EXPECT_TRUE(waitCentred(help));
        screenShot("help-over-list");
        xClick(*help.browser(), help.browser()->rect().center());
        EXPECT_TRUE(QTest::qWaitFor([&] { return help.browser()->hasFocus(); }, kWaitMs))
            << "the help took no click";
        help.close();
        list.reject();
    });
    face().Alarms1Click();
}

} // namespace
