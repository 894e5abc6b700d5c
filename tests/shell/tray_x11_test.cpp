#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QHelpEvent>
#include <QMenu>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "helpers/eventually.h"
#include "shell/sys_tray.h"
#include "x11_support.h"

namespace {

QIcon solidIcon(QColor colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

/// The window in which the tray host embeds our icon, while it is shown.
QWidget* embeddedIcon()
{
    for (QWidget* w : QApplication::allWidgets()) {
        if (qstrcmp(w->metaObject()->className(), "QSystemTrayIconSys") == 0 && w->isVisible())
            return w;
    }
    return nullptr;
}

/// The colour the X server shows in the middle of the icon, invalid while no icon is shown.
QColor colourOnScreen(QWidget* icon)
{
    if (!icon)
        return QColor();
    const QRect r(icon->mapToGlobal(QPoint(0, 0)), icon->size());
    const QImage shot =
        QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
    return shot.isNull() ? QColor() : shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

/// A tray host on the test display, stopped at the end of the test.
struct TrayHost {
    QProcess process;
    TrayHost()
    {
        process.setProgram(QStringLiteral("trayer"));
        process.setArguments({QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                              QStringLiteral("right"), QStringLiteral("--widthtype"),
                              QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("32"),
                              QStringLiteral("--transparent"), QStringLiteral("false"),
                              QStringLiteral("--tint"), QStringLiteral("0x202020")});
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
    }
    ~TrayHost()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(3000);
    }
};

/// Clicks with the real pointer, through the X server.
void xClick(QPoint at, const QStringList& click)
{
    QProcess::execute(
        QStringLiteral("xdotool"),
        QStringList{QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())} + click);
}

} // namespace

TEST(SysTrayOnX11, IconWaitsForATrayAndAppearsWhenOneStarts)
{
    SKIP_WITHOUT_X11();
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "another tray host runs on the test display";

    TSysTray tray;
    tray.setIcon(solidIcon(QColor(255, 0, 255)));
    tray.setHint(QStringLiteral("Belvane"));
    tray.setActive(true);
    // Whatever the X server had to say about the request is in and handled.
    QGuiApplication::sync();
    EXPECT_TRUE(tray.Active()); // kept although no tray shows it
    EXPECT_EQ(embeddedIcon(), nullptr);

    TrayHost host;
    ASSERT_TRUE(host.process.waitForStarted(kWaitLimitMs));
    EXPECT_EVENTUALLY(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_EVENTUALLY(embeddedIcon() != nullptr);
    EXPECT_EVENTUALLY_EQ(colourOnScreen(embeddedIcon()), QColor(255, 0, 255));

    // The tooltip is the hint.
    QWidget* icon = embeddedIcon();
    ASSERT_NE(icon, nullptr);
    QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), icon->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(icon, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Belvane"));
    QToolTip::hideText();

    // A new picture shows at once while active; gone when inactive, back on the next activation.
    tray.setIcon(solidIcon(QColor(0, 200, 0)));
    EXPECT_EVENTUALLY_EQ(colourOnScreen(embeddedIcon()), QColor(0, 200, 0));
    tray.setActive(false);
    EXPECT_EVENTUALLY(embeddedIcon() == nullptr);
    tray.setIcon(solidIcon(QColor(0, 0, 255)));
    tray.setActive(true);
    EXPECT_EVENTUALLY(embeddedIcon() != nullptr);
    EXPECT_EVENTUALLY_EQ(colourOnScreen(embeddedIcon()), QColor(0, 0, 255));
}

TEST(SysTrayOnX11, RealClicksShowTheMenuAndRaiseTheEvents)
{
    SKIP_WITHOUT_X11();
    TrayHost host;
    ASSERT_TRUE(host.process.waitForStarted(kWaitLimitMs));
    EXPECT_EVENTUALLY(QSystemTrayIcon::isSystemTrayAvailable());

    TSysTray tray;
    tray.setIcon(solidIcon(Qt::yellow));
    tray.setHint(QStringLiteral("Belvane"));
    QMenu menu;
    menu.addAction(QStringLiteral("Send to tray"));
    menu.addAction(QStringLiteral("退出"));
    tray.setPopupMenu(&menu);
    QStringList steps;
    QRect menuGeometry;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        steps << QStringLiteral("menu");
        QTimer::singleShot(300, &menu, [&] {
            menuGeometry = menu.geometry();
            menu.close();
        });
    });
    QPoint eventAt;
    tray.OnIconMouseDown = [&](TSysTray*, Qt::MouseButton button, int x, int y) {
        steps << (button == Qt::LeftButton ? QStringLiteral("down left") : QStringLiteral("down right"));
        eventAt = QPoint(x, y);
    };
    tray.OnIconDoubleClick = [&](TSysTray*, Qt::MouseButton button, int, int) {
        steps << (button == Qt::LeftButton ? QStringLiteral("double left") : QStringLiteral("double right"));
    };
    tray.setActive(true);
    EXPECT_EVENTUALLY(embeddedIcon() != nullptr);
    EXPECT_EVENTUALLY_EQ(colourOnScreen(embeddedIcon()), QColor(Qt::yellow));
    const QWidget* icon = embeddedIcon();
    ASSERT_NE(icon, nullptr);
    const QPoint centre = icon->mapToGlobal(icon->rect().center());

    xClick(centre, {QStringLiteral("click"), QStringLiteral("3")});
    EXPECT_EVENTUALLY_EQ(steps, (QStringList{"menu", "down right"}));
    EXPECT_EQ(eventAt, centre);
    // The tray shows the menu without blocking: its place is taken while it is up.
    EXPECT_EVENTUALLY(menuGeometry.isValid());
    // Right-aligned to the pointer.
    EXPECT_EQ(menuGeometry.right() + 1, centre.x());
    EXPECT_EQ(menuGeometry.top(), centre.y());

    steps.clear();
    xClick(centre, {QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                    QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    EXPECT_EVENTUALLY_EQ(steps, (QStringList{"down left", "double left"}));
}

TEST(SysTrayOnX11, IconAnswersUnderEachModalWindowAsTheyOpenAndClose)
{
    SKIP_WITHOUT_X11();
    TrayHost host;
    ASSERT_TRUE(host.process.waitForStarted(kWaitLimitMs));
    ASSERT_TRUE(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, kWaitLimitMs));

    TSysTray tray;
    tray.setIcon(solidIcon(Qt::cyan));
    QMenu menu;
    menu.addAction(QStringLiteral("停止闹铃"));
    tray.setPopupMenu(&menu);
    int menus = 0;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        ++menus;
        QTimer::singleShot(100, &menu, [&] { menu.close(); });
    });
    tray.setActive(true);
    ASSERT_TRUE(
        QTest::qWaitFor([] { return colourOnScreen(embeddedIcon()) == QColor(Qt::cyan); }, kWaitLimitMs));
    const QWidget* icon = embeddedIcon();
    // A right click on the icon opens its menu: true when it did. The clicks land on the icon's two
    // sides in turn, as two quick clicks on one spot make a double click, which opens no menu.
    const QPoint sides[] = {icon->mapToGlobal(QPoint(2, icon->height() / 2)),
                            icon->mapToGlobal(QPoint(icon->width() - 3, icon->height() / 2))};
    auto menuOpens = [&] {
        const int before = menus;
        xClick(sides[menus % 2], {QStringLiteral("click"), QStringLiteral("3")});
        return QTest::qWaitFor([&] { return menus > before && !menu.isVisible(); }, kWaitLimitMs);
    };

    // An application-modal dialog, a second one over it that goes away for good, and the first again.
    QDialog outer;
    outer.setWindowTitle(QStringLiteral("outer"));
    QTimer::singleShot(0, &outer, [&] {
        EXPECT_TRUE(menuOpens()) << "under the first dialog";
        auto* inner = new QDialog(&outer);
        inner->setWindowTitle(QStringLiteral("inner"));
        QTimer::singleShot(0, inner, [&] {
            EXPECT_TRUE(menuOpens()) << "under the second dialog";
            inner->reject();
        });
        inner->exec();
        delete inner;
        EXPECT_TRUE(menuOpens()) << "under the first dialog, once the second is gone";
        outer.reject();
    });
    outer.exec();
    EXPECT_EQ(menus, 3);
}
