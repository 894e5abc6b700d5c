#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "alarms/alarm_list_window.h"
#include "app/interface_language.h"
#include "clockface/main_window.h"
#include "clockface/skin_choice.h"
#include "clockface/window_shape.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "shell/sys_tray.h"
#include "ui/error_report.h"

namespace {

/// A notification area that is there, or not, without a desktop.
struct StandInTray : TrayIconHost {
    explicit StandInTray(bool there) : present(there) {}
    bool add(const QIcon&, const QString&) override { return present; }
    bool modify(const QIcon&, const QString&) override { return true; }
    bool remove() override { return true; }
    QPoint cursorPos() const override { return {}; }
    bool available() const override { return present; }
    bool present;
};

class ClockFace : public ::testing::Test {
protected:
    ClockFace()
    {
        setErrorSink([this](const QString& text) { errors << text; });
        setSystemTrayHostMaker([this] { return std::make_unique<StandInTray>(trayPresent); });
        dir.installSkins();
    }
    ~ClockFace() override
    {
        setSystemTrayHostMaker({});
        setErrorSink({});
    }

    QAction* action(TFormMain& face, const char* name) { return face.findChild<QAction*>(name); }
    /// Runs the face's timer for this long: the clock moves on to each instant the timer is armed for
    /// and the tick runs there, as the event loop would run it. Returns the ticks run.
    int run(TFormMain& face, int ms)
    {
        const qint64 end = fake.clock.epochMs() + ms;
        int ticks = 0;
        while (face.timer().isActive() && fake.clock.epochMs() + face.timer().interval() <= end) {
            fake.clock.advanceMs(face.timer().interval());
            face.Timer1Timer();
            ++ticks;
        }
        return ticks;
    }

    TempFolder dir;
    FakeServices fake{QDateTime(QDate(2026, 12, 7), QTime(0, 7, 9, 100))};
    QStringList errors;
    bool trayPresent = true;
};

} // namespace

TEST(WindowShape, KeyColourFromTheSkinOrTheTopLeftPixel)
{
    // A 4 x 2 picture: blue top-left corner, red and green elsewhere.
    QImage picture(4, 2, QImage::Format_RGB32);
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255);
    const QRgb rows[2][4] = {{blue, red, green, green}, {red, green, red, blue}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            picture.setPixel(x, y, rows[y][x]);
    const QRegion fixedRed = RegionFromBitmap(picture, QColor(255, 0, 0));
    EXPECT_EQ(fixedRed, QRegion(0, 0, 1, 1) + QRegion(2, 0, 2, 1) + QRegion(1, 1, 1, 1) + QRegion(3, 1, 1, 1));
    const QRegion topLeft = RegionFromBitmap(picture, std::nullopt);
    EXPECT_EQ(topLeft, QRegion(1, 0, 3, 1) + QRegion(0, 1, 3, 1));
    EXPECT_TRUE(RegionFromBitmap(QImage(), std::nullopt).isEmpty());
    picture.setPixel(1, 0, qRgb(254, 0, 0)); // exact equality: one step off the key belongs
    EXPECT_TRUE(RegionFromBitmap(picture, QColor(255, 0, 0)).contains(QPoint(1, 0)));
}

TEST_F(ClockFace, OpensCentredWithTheStoredSkinAndItsMenu)
{
    TFormMain face(fake.services, dir.path());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(face.windowTitle(), "Belvane");
    EXPECT_TRUE(face.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(face.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(face.SkinName(), "Digital");
    EXPECT_EQ(face.size(), QImage(dir.file("Digital/Background.bmp")).size());
    EXPECT_FALSE(face.mask().isEmpty());
    EXPECT_FALSE(face.mask().contains(QPoint(0, 0))); // the red around the face is cut away

    QStringList entries;
    for (QAction* a : face.popupMenu()->actions())
        entries << (a->isSeparator() ? "-" : a->text() + (a->icon().isNull() ? "" : "*"));
    EXPECT_EQ(entries, (QStringList{"Send to tray*", "-", "闹钟*", "选项*", "皮肤*", "-", "关于*", "帮助*", "-", "退出*"}));
    EXPECT_TRUE(action(face, "MenuSkinDigital")->isChecked());
    EXPECT_FALSE(action(face, "MenuSkinSantaClaus")->isChecked());
    EXPECT_EQ(face.drawn().hour1.digit, 0);
    EXPECT_EQ(face.drawn().min2.digit, 7);
    EXPECT_EQ(face.drawn().sec2.digit, 9);
    EXPECT_EQ(face.drawn().amOrPm.picture, FacePicture::Am);
    face.show();
    saveScreenshot(face, "face-digital");
}

TEST_F(ClockFace, FirstTickSendsToTrayWhenAskedAndDoubleClicksToggle)
{
    FixedLiveOptions options;
    options.tray = true;
    TFormMain face(fake.services, dir.path());
    face.setOptions(&options);
    face.show();
    EXPECT_TRUE(face.FirstTickPending());
    run(face, 50);
    EXPECT_FALSE(face.isVisible());
    EXPECT_EQ(action(face, "Sendtotray")->text(), "恢复");
    face.SendtotrayClick();
    face.SendtotrayClick();
    EXPECT_FALSE(face.isVisible()); // two toggles: back as before
    face.SendtotrayClick();
    EXPECT_TRUE(face.isVisible());
    EXPECT_EQ(action(face, "Sendtotray")->text(), "隐藏");
    run(face, 1000);
    EXPECT_TRUE(face.isVisible()); // the tray rule runs at the first tick only
}

TEST_F(ClockFace, WithoutATrayTheFaceIsNeverHidden)
{
    // A desktop without a notification area (GNOME without extensions, a bare window manager):
    // neither the start-in-tray option nor the menu entry may hide the only way back.
    trayPresent = false;
    FixedLiveOptions options;
    options.tray = true;
    TFormMain face(fake.services, dir.path());
    face.setOptions(&options);
    face.show();
    run(face, 100);
    EXPECT_FALSE(face.FirstTickPending());
    EXPECT_TRUE(face.isVisible());
    face.SendtotrayClick();
    EXPECT_TRUE(face.isVisible());
    EXPECT_EQ(action(face, "Sendtotray")->text(), "Send to tray");
}

TEST_F(ClockFace, SkinChangeKeepsAHiddenFaceHiddenAndIsStoredAtClose)
{
    TFormMain face(fake.services, dir.path());
    face.show();
    face.SendtotrayClick();
    action(face, "MenuSkinSantaClaus")->trigger();
    EXPECT_FALSE(face.isVisible());
    EXPECT_EQ(face.SkinName(), "Santa Claus");
    EXPECT_TRUE(action(face, "MenuSkinSantaClaus")->isChecked());
    EXPECT_FALSE(action(face, "MenuSkinDigital")->isChecked());
    EXPECT_EQ(face.size(), QImage(dir.file("Santa Claus/Background.bmp")).size());
    EXPECT_EQ(face.drawn().hour1.rect.topLeft(), QPoint(36, 181));
    face.SendtotrayClick();
    saveScreenshot(face, "face-santa-claus");
    QSignalSpy closed(&face, &TFormMain::closed);
    action(face, "menuExit")->trigger();
    EXPECT_EQ(closed.size(), 1);
    EXPECT_EQ(ReadSkinChoice(dir.path()), "Santa Claus");
}

TEST_F(ClockFace, TwentyFourHourChoiceShowsAtOnceWhenTheOptionsClose)
{
    FixedLiveOptions options;
    QDialog optionsDialog;
    TFormMain face(fake.services, dir.path());
    face.setOptions(&options);
    face.setPartners({}, &optionsDialog, nullptr);
    fake.clock.set(QDateTime(QDate(2026, 12, 7), QTime(13, 5, 0, 100)));
    face.show();
    run(face, 1000);
    EXPECT_EQ(face.drawn().hour2.digit, 1); // 13:05 shows as 01:05 PM
    EXPECT_EQ(face.drawn().amOrPm.picture, FacePicture::Pm);
    answerNextModal([&](QDialog* d) {
        options.twentyFourHour = true;
        d->accept();
    });
    action(face, "Options1")->trigger();
    EXPECT_TRUE(face.MilitaryShown());
    EXPECT_EQ(face.drawn().hour1.digit, 1);
    EXPECT_EQ(face.drawn().hour2.digit, 3);
    EXPECT_FALSE(face.drawn().amOrPm.visible);
}

TEST_F(ClockFace, ColonOnlyDrawsRepaintLittle)
{
    TFormMain face(fake.services, dir.path());
    face.show();
    fake.clock.set(QDateTime(QDate(2026, 12, 7), QTime(7, 0, 0, 620))); // ticks off the 500 ms mark, so the colon blinks
    run(face, 2000);
    // Two draws a second, each changing only a few small pictures.
    const int before = face.drawRequests();
    run(face, 10000);
    EXPECT_EQ(face.drawRequests() - before, 20);
}

TEST_F(ClockFace, TimerIsArmedForTheNextChangeOfThePicture)
{
    const struct {
        const char* situation;
        int ms;       // where in its second the tick runs
        int interval; // to the next change: millisecond 501 (colon dark) or the next whole second
        FacePicture colonThen;
    } cases[] = {
        {"on a whole second", 0, 501, FacePicture::ColonOff},
        {"just before the half", 499, 2, FacePicture::ColonOff},
        {"on the half, the colon still lit", 500, 1, FacePicture::ColonOff},
        {"just past the half", 501, 499, FacePicture::ColonOn},
        {"at the end of a second", 999, 1, FacePicture::ColonOn},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        fake.clock.set(QDateTime(QDate(2026, 12, 7), QTime(7, 0, 59, c.ms)));
        TFormMain face(fake.services, dir.path());
        face.show();
        ASSERT_TRUE(face.timer().isActive());
        EXPECT_EQ(face.timer().interval(), 0); // shown: the first tick at once
        EXPECT_TRUE(face.timer().isSingleShot());
        EXPECT_EQ(face.timer().timerType(), Qt::PreciseTimer);
        face.Timer1Timer();
        EXPECT_EQ(face.timer().interval(), c.interval);
        EXPECT_EQ(face.nextDrawAt(), fake.clock.epochMs() + c.interval);
        fake.clock.advanceMs(c.interval);
        face.Timer1Timer();
        EXPECT_EQ(face.drawn().colon1.picture, c.colonThen);
        // At the whole second the digits move on with the colon: 07:00:59 becomes 07:01:00.
        EXPECT_EQ(face.drawn().min2.digit, c.colonThen == FacePicture::ColonOn ? 1 : 0);
    }
}

TEST_F(ClockFace, EarlyWakeUpWaitsAndAClockSetBackDrawsAtOnce)
{
    TFormMain face(fake.services, dir.path());
    face.show();
    run(face, 0); // the first tick: at 00:07:09.100, armed for .501
    ASSERT_EQ(face.nextDrawAt() - fake.clock.epochMs(), 401);
    fake.clock.advanceMs(398); // the timer fires 3 ms before the wall clock gets there
    face.Timer1Timer();
    EXPECT_EQ(face.drawn().colon1.picture, FacePicture::ColonOn);
    EXPECT_EQ(face.timer().interval(), 3); // the same instant, not a whole half later
    fake.clock.advanceMs(-3600 * 1000); // the wall clock set back an hour
    face.Timer1Timer();
    EXPECT_EQ(face.drawn().hour1.digit, 1); // 23:07 yesterday shows as 11:07 PM
    EXPECT_EQ(face.drawn().hour2.digit, 1);
    EXPECT_EQ(face.drawn().amOrPm.picture, FacePicture::Pm);
    EXPECT_EQ(face.timer().interval(), 3);
}

TEST_F(ClockFace, NoTimerWhileHiddenAndTheTimeOfNowWhenShownAgain)
{
    TFormMain face(fake.services, dir.path());
    EXPECT_FALSE(face.timer().isActive()); // not yet shown
    face.show();
    run(face, 2000);
    face.SendtotrayClick();
    EXPECT_FALSE(face.isVisible());
    EXPECT_FALSE(face.timer().isActive());
    action(face, "MenuSkinSantaClaus")->trigger(); // a skin change keeps a hidden face quiet
    EXPECT_FALSE(face.timer().isActive());
    fake.clock.advanceSeconds(3 * 60);
    face.SendtotrayClick();
    ASSERT_TRUE(face.timer().isActive());
    EXPECT_EQ(face.timer().interval(), 0);
    run(face, 0);
    EXPECT_EQ(face.drawn().min2.digit, 0); // 00:10:11, not the 00:07 it was hidden at
    EXPECT_EQ(face.drawn().sec2.digit, 1);
    EXPECT_EQ(run(face, 5000), 10);
}

TEST_F(ClockFace, MissingPictureIsReportedAndTheFaceStillTellsTheTime)
{
    QFile::remove(dir.file("Digital/hour_7.bmp"));
    TFormMain face(fake.services, dir.path());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], "无法打开图片文件\"" + dir.file("Digital/hour_7.bmp") + "\"");
    face.show();
    EXPECT_TRUE(face.timer().isActive());
    EXPECT_EQ(run(face, 1000), 3); // at once, then at .501 and at the whole second
    saveScreenshot(face, "face-without-skin");
    EXPECT_FALSE(face.grab().toImage().isNull());

    // A skin that fails to load on a change keeps the one in use.
    QFile::remove(dir.file("Santa Claus/PM.bmp"));
    errors.clear();
    TempFolder other;
    other.installSkins();
    QFile::remove(other.file("Santa Claus/PM.bmp"));
    TFormMain second(fake.services, other.path());
    const QSize digital = second.size();
    action(second, "MenuSkinSantaClaus")->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("Santa Claus/PM.bmp\""));
    EXPECT_EQ(second.size(), digital);
    EXPECT_EQ(second.SkinName(), "Digital"); // the skin in use, its layout and its menu entry stay
    EXPECT_EQ(second.drawn().hour1.rect.topLeft(), QPoint(3, 2));
    EXPECT_TRUE(action(second, "MenuSkinDigital")->isChecked());
}

TEST_F(ClockFace, MenuFromTheKeyboardAndTheTimeForScreenReaders)
{
    FixedLiveOptions options;
    TFormMain face(fake.services, dir.path());
    face.setOptions(&options);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    QMenu* menu = face.popupMenu();

    // Shift+F10 and the Menu key (a context menu event from the keyboard) open the menu; the mouse's
    // context menu event does not open it a second time, its press already did.
    QTest::keyClick(&face, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 20000));
    menu->hide();
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(5, 5), face.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&face, &keyboard);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 20000));
    menu->hide();
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(5, 5), face.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&face, &mouse);
    EXPECT_FALSE(menu->isVisible());

    // The face speaks the time it shows, in its 12- or 24-hour form, and follows the minutes.
    EXPECT_EQ(face.accessibleName(), "00:07 AM");
    options.twentyFourHour = true;
    run(face, 1000);
    EXPECT_EQ(face.accessibleName(), "00:07");
    run(face, 60000);
    EXPECT_EQ(face.accessibleName(), "00:08");
    face.hide();
}

TEST_F(ClockFace, MenuTakesTheNewLanguageWhileTheFaceIsOpen)
{
    TFormMain face(fake.services, dir.path());
    const std::vector<std::tuple<const char*, QString, QString>> entries{{"Alarms1", "闹钟", "Alarms"},
                                                                         {"Skins1", "皮肤", "Skins"},
                                                                         {"MenuSkinSantaClaus", "圣诞老人", "Santa Claus"},
                                                                         {"menuExit", "退出", "Exit"}};
    {
        const EnglishInterface english;
        QCoreApplication::processEvents();
        for (const auto& [name, chinese, inEnglish] : entries)
            EXPECT_EQ(action(face, name)->text(), inEnglish) << name;
    }
    QCoreApplication::processEvents();
    for (const auto& [name, chinese, inEnglish] : entries)
        EXPECT_EQ(action(face, name)->text(), chinese) << name;
}
