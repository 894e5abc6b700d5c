#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_list_window.h"
#include "app/application.h"
#include "clockface/main_window.h"
#include "helpers/fake_services.h"
#include "helpers/temp_folder.h"
#include "platform/clock.h"
#include "ringing/alarm_dispatcher.h"
#include "ui/error_report.h"

namespace {

struct ErrorRecorder {
    ErrorRecorder()
    {
        setErrorSink([this](const QString& text) { errors << text; });
    }
    ~ErrorRecorder() { setErrorSink({}); }
    QStringList errors;
};

} // namespace

TEST(StartUp, ListLoadsAndTheSchedulerStartsWhateverTheFileHolds)
{
    struct Case {
        const char* situation;
        QByteArray list; // empty: no file
        int rows;
        int errors;
    };
    const QByteArray row =
        "x\r\n\xc3\xbf\xcc\xec\x20\r\n07:00:00\r\n--\r\n070000\r\n07122026\r\n0111110\r\n4\r\n";
    const Case cases[] = {
        {"no al.ini", {}, 0, 0},
        {"two good alarms", "2\r\n" + row + row, 2, 0},
        {"second alarm damaged", "2\r\n" + row + QByteArray(row).replace("070000", "076000"), 1, 1},
        {"negative count", "-3\r\n" + row, 0, 1},
        {"count beyond the numbers there are", "257\r\n" + row, 0, 1},
        {"rows saved as UTF-8 never ring, and say so",
         "1\r\n" + QByteArray(row).replace("\xc3\xbf\xcc\xec", "每天"), 1, 1},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        dir.installSkins();
        if (!c.list.isEmpty())
            dir.write("al.ini", c.list);
        ErrorRecorder recorder;
        FakeServices fake{QDateTime(QDate(2026, 12, 7), QTime(6, 0, 30))}; // no chime due
        BelvaneWindows windows(fake.services, dir.path());
        EXPECT_EQ(windows.alarmList().store().rows.size(), c.rows) << c.situation;
        EXPECT_EQ(recorder.errors.size(), c.errors) << c.situation;
        EXPECT_TRUE(windows.scheduler().wakeTimer().isActive()) << c.situation;
        EXPECT_FALSE(windows.alarmList().isVisible());
        if (c.errors && c.rows == 0) {
            EXPECT_TRUE(recorder.errors[0].contains("count")) << recorder.errors[0].toStdString();
            EXPECT_EQ(dir.read("al.ini.bad"), c.list);
        } else if (c.errors && c.list.startsWith("2")) {
            EXPECT_TRUE(recorder.errors[0].contains("'76' is not") ||
                        recorder.errors[0].contains("time encode"))
                << recorder.errors[0].toStdString();
            EXPECT_EQ(dir.read("al.ini.bad"), c.list);
        } else if (c.errors) {
            EXPECT_EQ(recorder.errors[0], "1 个闹钟永远不会响：x");
        }
        EXPECT_EQ(dir.read("al.ini"), c.list) << "start-up must not write the list";
    }
}

TEST(StartUp, ClockWindowIsTitledAndComesBackToTheFront)
{
    TempFolder dir;
    dir.installSkins();
    FakeServices fake;
    BelvaneWindows windows(fake.services, dir.path());
    TFormMain& face = windows.main();
    EXPECT_EQ(face.windowTitle(), "Belvane");
    EXPECT_TRUE(face.windowFlags() & Qt::WindowStaysOnTopHint);
    face.hide(); // as when it sits in the tray
    face.bringToFront();
    EXPECT_TRUE(face.isVisible());
}

TEST(ErrorReport, GuardedHandlerReportsAndStops)
{
    ErrorRecorder recorder;
    bool after = false;
    guarded([&] {
        throw ConversionError("'x' is not a valid integer value");
        after = true;
    });
    guarded([&] { throw std::runtime_error("plain"); });
    guarded([&] {});
    EXPECT_FALSE(after);
    EXPECT_EQ(recorder.errors, (QStringList{"'x' is not a valid integer value", "plain"}));
}

TEST(ErrorReport, ABoxReportedBeforeAnyWindowIsActiveStandsAboveTheFace)
{
    // Start-up problems are reported before the face has been activated; a box of no window would
    // lie under the face, which stays on top.
    TempFolder dir;
    dir.installSkins();
    FakeServices fake;
    dir.write("al.ini", "-3\r\n");
    BelvaneWindows windows(fake.services, dir.path());
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    const auto shownBox = []() -> QMessageBox* {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                return b;
        return nullptr;
    };
    EXPECT_EQ(shownBox(), nullptr) << "shown before the face";
    windows.main().show(); // as the program does once it has made its windows
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownBox() != nullptr; }, 20000))
        << "the damaged list was not reported";
    QMessageBox* box = shownBox();
    EXPECT_EQ(box->parentWidget(), &windows.main());
    box->close();
}

TEST(StartUp, TheListMadeAtItsFirstOpeningShowsTheNextRingsAndTellsTheSchedulerOfChanges)
{
    // The list window is made when first asked for, long after the scheduler started: it must
    // still show when each alarm rings next, and the scheduler must still hear of its changes.
    TempFolder dir;
    dir.installSkins();
    const QDateTime now(QDate(2026, 12, 7), QTime(6, 0, 30));
    {
        AlarmListStore saved{dir.path()};
        saved.rows.append(makeAlarmEntry({"Run", int(Frequency::Daily), now.date(), QTime(7, 0), "1111111"},
                                         0, RowOrigin::Add, DateTimeLocale::neutral()));
        saved.save();
    }
    FakeServices fake{now};
    BelvaneWindows windows(fake.services, dir.path());
    TFormAlarmList& list = windows.alarmList();
    auto* rows = list.findChild<QTreeWidget*>("AlarmList");
    ASSERT_EQ(rows->topLevelItemCount(), 1);
    const auto nextRing = [&] { return rows->topLevelItem(0)->text(rows->columnCount() - 1); };
    EXPECT_EQ(nextRing(), "今天 7:00 AM"); // the 12-hour face is the default

    windows.store().rows[0] =
        makeAlarmEntry({"Run", int(Frequency::Daily), now.date(), QTime(6, 30), "1111111"}, 0, RowOrigin::Add,
                       DateTimeLocale::neutral());
    emit windows.store().changed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return nextRing() == "今天 6:30 AM"; }, 20000))
        << nextRing().toStdString();
    EXPECT_EQ(&windows.alarmList(), &list) << "one list window for the whole run";
}
