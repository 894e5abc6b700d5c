#include <gtest/gtest.h>

#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include "clockface/face_layout.h"
#include "clockface/live_options.h"
#include "clockface/main_window.h"
#include "helpers/fake_services.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "helpers/wait_limit.h"
#include "ui/error_report.h"

namespace {

/// Counts the presses a widget receives.
class PressCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonPress)
            ++presses;
        return false;
    }
    int presses = 0;
};

/// One of a skin's pictures, by the name its file has.
QImage skinPicture(const QString& skinFolder, const SkinLayout& layout, FacePicture picture, int digit = 0)
{
    switch (picture) {
    case FacePicture::HourDigit: return QImage(skinFolder + QString("hour_%1.bmp").arg(digit));
    case FacePicture::SecondDigit:
        return QImage(skinFolder + QString(layout.secondsOwnDigits ? "Second_%1.bmp" : "hour_%1.bmp").arg(digit));
    case FacePicture::Am: return QImage(skinFolder + "AM.bmp");
    case FacePicture::Pm: return QImage(skinFolder + "PM.bmp");
    case FacePicture::ColonOn: return QImage(skinFolder + "Colon_ON.bmp");
    case FacePicture::ColonOff: return QImage(skinFolder + "Colon_OFF.bmp");
    case FacePicture::None: break;
    }
    return QImage();
}

/// The face as its pictures compose at this time: the background with every placed picture.
QImage composedFace(const QString& skinFolder, const SkinLayout& layout, QTime time, bool military)
{
    QImage face = QImage(skinFolder + "Background.bmp").convertToFormat(QImage::Format_RGB32);
    SkinPictureSizes sizes;
    for (int d = 0; d < 10; ++d) {
        sizes.hourDigits[d] = skinPicture(skinFolder, layout, FacePicture::HourDigit, d).size();
        sizes.secondDigits[d] = skinPicture(skinFolder, layout, FacePicture::SecondDigit, d).size();
    }
    sizes.am = skinPicture(skinFolder, layout, FacePicture::Am).size();
    sizes.pm = skinPicture(skinFolder, layout, FacePicture::Pm).size();
    sizes.colonOn = skinPicture(skinFolder, layout, FacePicture::ColonOn).size();
    sizes.colonOff = skinPicture(skinFolder, layout, FacePicture::ColonOff).size();
    QPainter painter(&face);
    for (const PicturePlacement& p : placeFace(layout, sizes, time, military).all())
        if (p.visible)
            painter.drawImage(p.rect.topLeft(), skinPicture(skinFolder, layout, p.picture, p.digit));
    return face;
}

class FaceOnX11 : public ::testing::Test {
protected:
    FaceOnX11()
    {
        setErrorSink([this](const QString& t) { errors << t; });
        dir.installSkins();
    }
    ~FaceOnX11() override { setErrorSink({}); }
    TempFolder dir;
    FakeServices fake{QDateTime(QDate(2026, 12, 7), QTime(12, 34, 56, 100))};
    QStringList errors;
};

} // namespace

TEST_F(FaceOnX11, EveryTickLeavesTheScreenAsAFullDrawOfThatTime)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs the tests' X server";
    // From a full draw, then tick by tick: the colon going off and on, seconds, a minute, an hour, and
    // noon and midnight, where the hour's first digit and AM/PM change. Each tick repaints only the
    // places that changed; the screen must show what drawing the whole face at that time shows.
    const QList<QTime> ticks{QTime(11, 59, 58, 100), QTime(11, 59, 58, 600), QTime(11, 59, 59, 100),
                             QTime(12, 0, 0, 100),   QTime(12, 0, 0, 600),   QTime(12, 59, 59, 600),
                             QTime(13, 0, 0, 100),   QTime(23, 59, 59, 600), QTime(0, 0, 0, 100),
                             QTime(9, 9, 9, 100)};
    for (const QString skin : {"Digital", "Santa Claus"})
        for (const bool military : {false, true}) {
            const std::string name = skin.toStdString() + (military ? ", 24 hours" : ", 12 hours");
            dir.write("skinname.ini", "[Skin Name]\r\nSkin Name=" + skin.toUtf8() + "\r\n");
            fake.clock.set(QDateTime(QDate(2026, 12, 7), ticks.first()));
            FixedLiveOptions options;
            options.twentyFourHour = military;
            TFormMain face(fake.services, dir.path());
            face.setOptions(&options);
            face.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&face, kWaitLimitMs)) << name;
            for (const QTime& at : ticks) {
                fake.clock.set(QDateTime(QDate(2026, 12, 7), at));
                face.Timer1Timer();
                face.timer().stop(); // the picture of the clock's time as set, not of a tick after it
                const QImage expected = composedFace(dir.file(skin + "/"), skinLayoutFor(skin), at, military);
                QImage screen;
                int inside = 0, wrong = 0;
                // Asked for is not yet painted: compare until the screen shows it or the limit runs out.
                QTest::qWaitFor(
                    [&] {
                        screen = face.screen()
                                     ->grabWindow(0, face.x(), face.y(), face.width(), face.height())
                                     .toImage()
                                     .convertToFormat(QImage::Format_RGB32);
                        inside = wrong = 0;
                        for (int y = 0; y < face.height(); ++y)
                            for (int x = 0; x < face.width(); ++x)
                                if (face.mask().contains(QPoint(x, y))) {
                                    ++inside;
                                    wrong += screen.pixel(x, y) != expected.pixel(x, y);
                                }
                        return wrong == 0;
                    },
                    kWaitLimitMs);
                EXPECT_GT(inside, face.width() * face.height() / 3) << name;
                EXPECT_EQ(wrong, 0) << name << " at " << at.toString("HH:mm:ss.zzz").toStdString();
                if (wrong)
                    break;
            }
            face.screen()
                ->grabWindow(0, face.x(), face.y(), face.width(), face.height())
                .save(QStringLiteral(QT_TESTCASE_BUILDDIR "/screenshots/x11-face-%1-%2.png")
                          .arg(skin, military ? "24h" : "12h"));
            face.hide();
        }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(FaceOnX11, PressOnTheKeyColourFallsThroughToTheWindowBelow)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs the tests' X server";
    QWidget below;
    below.setGeometry(QGuiApplication::primaryScreen()->geometry());
    below.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&below, kWaitLimitMs));
    TFormMain face(fake.services, dir.path());
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face, kWaitLimitMs));
    const QPoint cutAway = face.mapToGlobal(QPoint(0, 0)); // pure red in the skin
    const QColor belowColour = below.palette().color(QPalette::Window);
    auto screenColour = [](QPoint at) {
        return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixelColor(0, 0);
    };
    // The shape is in effect on the server once the window below shows through the cut-away corner.
    ASSERT_TRUE(QTest::qWaitFor([&] { return screenColour(cutAway) == belowColour; }, kWaitLimitMs))
        << "the face's corner still shows " << screenColour(cutAway).name().toStdString();
    PressCounter onFace, onBelow;
    face.installEventFilter(&onFace);
    below.installEventFilter(&onBelow);
    // Clicks with the real pointer, and waits until one of the two windows has had the press.
    auto clickAt = [&](QPoint global) {
        const int before = onFace.presses + onBelow.presses;
        QProcess::execute("xdotool", {"mousemove", QString::number(global.x()), QString::number(global.y()), "click", "1"});
        return QTest::qWaitFor([&] { return onFace.presses + onBelow.presses > before; }, kWaitLimitMs);
    };
    ASSERT_TRUE(clickAt(cutAway)) << "neither window got the press";
    EXPECT_EQ(onFace.presses, 0);
    EXPECT_EQ(onBelow.presses, 1);
    const QRect body = face.mask().boundingRect();
    ASSERT_TRUE(clickAt(face.mapToGlobal(face.drawn().hour1.rect.center()))) << "neither window got the press"; // on a digit
    EXPECT_EQ(onFace.presses, 1);
    EXPECT_EQ(onBelow.presses, 1);
    EXPECT_TRUE(body.contains(face.drawn().hour1.rect.center()));
}
