#include <gtest/gtest.h>

#include <optional>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_list_window.h"
#include "app/application.h"
#include "app/interface_language.h"
#include "clockface/main_window.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
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

TEST(StartUp, ListLoadsAndTheSchedulerStartsWhateverTheFileHoldsAndADamagedOneIsExplainedInEitherLanguage)
{
    const auto row = [](const char* caption, const QByteArray& timeCode = "070000") {
        return QByteArray(caption) + "\r\n\xc3\xbf\xcc\xec\x20\r\n07:00:00\r\n--\r\n" + timeCode +
               "\r\n07122026\r\n0111110\r\n4\r\n";
    };
    struct Case {
        const char* situation;
        QByteArray list; // empty: no file
        int rows;
        int errors;
        QStringList notLoaded; // the alarms the damage report must name
    };
    const Case cases[] = {
        {"no al.ini", {}, 0, 0, {}},
        {"two good alarms", "2\r\n" + row("x") + row("y"), 2, 0, {}},
        {"second alarm damaged", "2\r\n" + row("x") + row("Gym", "076000"), 1, 1, {"Gym"}},
        {"negative count", "-3\r\n" + row("Wake"), 0, 1, {"Wake"}},
        {"blank count", "\r\n" + row("Wake"), 0, 1, {"Wake"}},
        {"count beyond the numbers there are", "257\r\n" + row("Wake"), 0, 1, {"Wake"}},
        {"past the count", "3\r\n" + row("a") + row("b") + row("c") + row("T") + row("B"), 3, 1, {"T", "B"}},
        {"the file ends before the count", "3\r\n" + row("a") + row("b"), 2, 1, {}},
        {"UTF-8 rows never ring, say so", "1\r\n" + row("x").replace("\xc3\xbf\xcc\xec", "每天"), 1, 1, {}},
    };
    static const QRegularExpression kEnglishWord("[A-Za-z]{2,}");
    static const QRegularExpression kChinese("[\\x{4e00}-\\x{9fff}]");
    for (const Case& c : cases)
        for (bool english : {false, true}) {
            SCOPED_TRACE(std::string(c.situation) + (english ? " (English)" : " (Chinese)"));
            std::optional<EnglishInterface> language;
            if (english)
                language.emplace();
            TempFolder dir;
            dir.installSkins();
            if (!c.list.isEmpty())
                dir.write("al.ini", c.list);
            ErrorRecorder recorder;
            FakeServices fake{QDateTime(QDate(2026, 12, 7), QTime(6, 0, 30))}; // no chime due
            BelvaneWindows windows(fake.services, dir.path());
            EXPECT_EQ(windows.alarmList().store().rows.size(), c.rows);
            ASSERT_EQ(recorder.errors.size(), c.errors) << recorder.errors.join('\n').toStdString();
            EXPECT_TRUE(windows.scheduler().wakeTimer().isActive());
            EXPECT_FALSE(windows.alarmList().isVisible());
            EXPECT_EQ(dir.read("al.ini"), c.list) << "start-up must not write the list";
            if (!c.errors)
                continue;
            const QString text = recorder.errors[0];
            const std::string shown = text.toStdString();
            if (c.list.startsWith("1")) {
                EXPECT_EQ(text, english ? "1 alarm(s) will never ring: x" : "1 个闹钟永远不会响：x");
                continue;
            }
            // Which file, what was kept, where the copy went, and which alarms did not load.
            EXPECT_EQ(dir.read("al.ini.bad"), c.list);
            QString words = text;
            for (const QString& named : c.notLoaded) {
                EXPECT_TRUE(text.contains("\"" + named + "\" 07:00:00")) << shown;
                words.remove("\"" + named + "\"");
            }
            EXPECT_FALSE(text.contains("\"x\"") || text.contains("\"a\"")) << "a loaded alarm named as lost";
            for (const QString& path : {dir.file("al.ini.bad"), dir.file("al.ini")}) {
                EXPECT_TRUE(words.contains("\"" + path + "\"")) << shown;
                words.remove(path);
            }
            // How many were kept, read where no path (whose folder name may hold any digit) is left.
            EXPECT_TRUE(words.contains(QString::number(c.rows))) << shown;
            EXPECT_FALSE(words.contains(english ? kChinese : kEnglishWord)) << shown;
        }
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
    FakeServices fake{QDateTime(QDate(2026, 12, 7), QTime(6, 0, 30))}; // no chime due
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
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint) << "the face, on top, would cover it";

    // The list, run modally from the face's menu, would block the box: it moves over the list, where
    // it can be closed, and the list may then be changed.
    bool closedFromTheList = false;
    answerNextModal([&](QDialog* list) {
        if (QTest::qWaitFor([&] { return shownBox() && shownBox()->parentWidget() == list; }, 20000)) {
            // As the window system delivers it: a window blocked by a modal one never gets it.
            QMessageBox* shown = shownBox();
            QAbstractButton* ok = shown->button(QMessageBox::Ok);
            QTest::mouseClick(shown->windowHandle(), Qt::LeftButton, {},
                              ok->mapTo(shown, ok->rect().center()));
            closedFromTheList = QTest::qWaitFor([&] { return shownBox() == nullptr; }, 20000);
        }
        EXPECT_EQ(windows.alarmList().store().writable(), closedFromTheList)
            << "closing the report lets the list change";
        list->reject();
    });
    windows.main().Alarms1Click();
    EXPECT_TRUE(closedFromTheList)
        << "the report stayed behind the modal list, or could not be closed over it";
    if (QMessageBox* left = shownBox())
        left->close();
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
