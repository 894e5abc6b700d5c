#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

#include "shell/sys_tray.h"

using namespace Tray;

namespace {

/// A notification area that records what the component puts into it, and reports clicks on request.
struct FakeTray : TrayIconHost {
    struct Shown {
        bool present = false;
        qint64 iconKey = 0;
        QString tip;
        int adds = 0;
        int modifies = 0;
        int removes = 0;
    };
    std::shared_ptr<Shown> shown = std::make_shared<Shown>();
    QPoint cursor{500, 300};

    bool add(const QIcon& icon, const QString& tip) override
    {
        shown->present = true;
        ++shown->adds;
        shown->iconKey = icon.cacheKey();
        shown->tip = tip;
        return true;
    }
    bool modify(const QIcon& icon, const QString& tip) override
    {
        ++shown->modifies;
        shown->iconKey = icon.cacheKey();
        shown->tip = tip;
        return true;
    }
    bool remove() override
    {
        ++shown->removes;
        shown->present = false;
        return true;
    }
    QPoint cursorPos() const override { return cursor; }
};

QIcon paintedIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

struct Fixture {
    FakeTray* host = new FakeTray;
    std::shared_ptr<FakeTray::Shown> shown = host->shown;
    TSysTray tray{nullptr, std::unique_ptr<TrayIconHost>(host)};

    void click(MouseMessage message) { host->notify(message); }
};

} // namespace

TEST(SysTray, ChangesWhileInactiveShowNothingUntilTheNextActivation)
{
    Fixture f;
    const QIcon red = paintedIcon(Qt::red);
    f.tray.setIcon(red);
    f.tray.setHint(QString(80, QLatin1Char('h')));
    EXPECT_EQ(f.shown->modifies, 0);
    EXPECT_FALSE(f.shown->present);

    f.tray.setActive(true);
    EXPECT_TRUE(f.shown->present);
    EXPECT_EQ(f.shown->iconKey, red.cacheKey());
    EXPECT_EQ(f.shown->tip, QString(63, QLatin1Char('h')));

    f.tray.setActive(true); // the same value again: nothing
    EXPECT_EQ(f.shown->adds, 1);

    f.tray.setHint(QStringLiteral("Belvane")); // while active: shown at once
    EXPECT_EQ(f.shown->tip, QStringLiteral("Belvane"));
    EXPECT_EQ(f.shown->modifies, 1);

    f.tray.setActive(false);
    EXPECT_FALSE(f.shown->present);
    const QIcon blue = paintedIcon(Qt::blue);
    f.tray.setIcon(blue);
    EXPECT_EQ(f.shown->modifies, 1);
    f.tray.setActive(true);
    EXPECT_EQ(f.shown->iconKey, blue.cacheKey());
    EXPECT_EQ(f.shown->tip, QStringLiteral("Belvane"));
}

TEST(SysTray, DestroyingAnActiveComponentRemovesItsIcon)
{
    std::shared_ptr<FakeTray::Shown> shown;
    {
        Fixture f;
        shown = f.shown;
        f.tray.setActive(true);
    }
    EXPECT_FALSE(shown->present);
    EXPECT_EQ(shown->removes, 1);
}

namespace {

/// What one click did, in order: the menu opening, and the events with their arguments.
struct ClickLog {
    QStringList steps;
};

void watch(Fixture& f, QMenu& menu, ClickLog& log)
{
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        log.steps << QStringLiteral("menu");
        // Closed once it is up, as a user would by choosing nothing.
        QTimer::singleShot(0, &menu, [&] { menu.close(); });
    });
    f.tray.OnIconMouseDown = [&](TSysTray* sender, Qt::MouseButton button, int x, int y) {
        EXPECT_EQ(sender, &f.tray);
        log.steps
            << QStringLiteral("down %1 %2,%3").arg(button == Qt::LeftButton ? "left" : "right").arg(x).arg(y);
    };
    f.tray.OnIconDoubleClick = [&](TSysTray* sender, Qt::MouseButton button, int x, int y) {
        EXPECT_EQ(sender, &f.tray);
        log.steps << QStringLiteral("double %1 %2,%3")
                         .arg(button == Qt::LeftButton ? "left" : "right")
                         .arg(x)
                         .arg(y);
    };
}

} // namespace

TEST(SysTray, ClicksShowTheMenuWhenTheModeAsksAndRaiseTheirEvents)
{
    struct Case {
        const char* situation;
        TPopupMode mode;
        MouseMessage message;
        QStringList steps;
    };
    const Case cases[] = {
        {"right click with the default mode: menu, then the event",
         TPopupModeFlag::pmRightClick,
         MouseMessage::RightButtonDown,
         {"menu", "down right 500,300"}},
        {"left double click with the default mode: only the event",
         TPopupModeFlag::pmRightClick,
         MouseMessage::LeftButtonDoubleClick,
         {"double left 500,300"}},
        {"left press with the default mode: only the event",
         TPopupModeFlag::pmRightClick,
         MouseMessage::LeftButtonDown,
         {"down left 500,300"}},
        {"empty mode: a right click raises only the event",
         {},
         MouseMessage::RightButtonDown,
         {"down right 500,300"}},
        {"left double click shows the menu when asked",
         TPopupModeFlag::pmLeftDblClick,
         MouseMessage::LeftButtonDoubleClick,
         {"menu", "double left 500,300"}},
        {"anything else does nothing", TPopupModeFlag::pmRightClick, MouseMessage::Other, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        Fixture f;
        QMenu menu;
        menu.addAction(QStringLiteral("闹钟"));
        menu.addAction(QStringLiteral("退出"));
        f.tray.setPopupMenu(&menu);
        f.tray.setPopupMode(c.mode);
        ClickLog log;
        watch(f, menu, log);
        f.click(c.message);
        EXPECT_EQ(log.steps, c.steps);
    }
}
