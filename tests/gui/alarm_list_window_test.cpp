#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include "alarms/alarm_list_window.h"
#include "app/error_report.h"
#include "helpers/fake_services.h"
#include "media/run_play_window.h"
#include "helpers/modal.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "platform/text_codec.h"

namespace {

class AlarmListWindow : public ::testing::Test {
protected:
    AlarmListWindow()
    {
        setErrorSink([this](const QString& text) { errors << text; });
        window.setRunPlayer(&player);
        window.FormCreate();
    }
    ~AlarmListWindow() override { setErrorSink({}); }

    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(name); }
    QTreeWidget* list() { return window.findChild<QTreeWidget*>("AlarmList"); }

    /// Clicks Add and answers the editor with this reminder, frequency and time, or cancels it.
    void add(const QString& reminder, int frequency = 2, QTime time = QTime(7, 0, 0), bool ok = true)
    {
        answerNextModal([=](QDialog* editor) {
            editor->findChild<QPlainTextEdit*>("Memo")->setPlainText(reminder);
            editor->findChild<QComboBox*>("Frequency")->setCurrentIndex(frequency);
            editor->findChild<QTimeEdit*>("TimePicker")->setTime(time);
            QTest::mouseClick(editor->findChild<QPushButton*>(ok ? "OK" : "Cancel"), Qt::LeftButton);
        });
        QTest::mouseClick(button("ButtonAdd"), Qt::LeftButton);
    }
    void select(int row) { list()->setCurrentItem(list()->topLevelItem(row)); }
    QStringList column(int c)
    {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            out << list()->topLevelItem(i)->text(c);
        return out;
    }

    TempFolder dir;
    FakeServices fake;
    TFormRunPlay player{defaultPlayerSettings()};
    TFormAlarmList window{fake.services, dir.path()};
    QStringList errors;
};

} // namespace

TEST_F(AlarmListWindow, LooksAsDesigned)
{
    EXPECT_EQ(window.windowTitle(), "Belvane");
    EXPECT_EQ(window.size(), QSize(401, 296));
    QStringList headers;
    for (int c = 0; c < list()->columnCount(); ++c)
        headers << list()->headerItem()->text(c) + "/" + QString::number(list()->columnWidth(c));
    EXPECT_EQ(headers, (QStringList{"闹钟/155", "频率/65", "时间/80", "日期/80"}));
    for (auto [name, caption] : {std::pair{"ButtonAdd", "添加"}, {"buttonEdit", "编辑"}, {"ButtonDelete", "删除"},
                                 {"Button2", "选项"}, {"ButtonClose", "关闭"}})
        EXPECT_EQ(button(name)->text(), QString::fromUtf8(caption)) << name;
    add("该起床了，今天要早点出门");
    add("喝水", 1, QTime(9, 30, 15));
    add("Team meeting", 5, QTime(14, 0, 0));
    saveScreenshot(window, "alarm-list");
    auto* frequency = window.findChild<QComboBox*>("Frequency");
    EXPECT_FALSE(frequency->isVisibleTo(&window));
    EXPECT_EQ(frequency->itemText(4), "每月   ");
}

TEST_F(AlarmListWindow, AddEditDeleteKeepFilesAndNumbers)
{
    add("one");
    add("two");
    add("three");
    EXPECT_EQ(column(0), (QStringList{"one", "two", "three"}));
    for (const char* f : {"0.ini", "1.ini", "2.ini", "al.ini", "alarm.ini"})
        EXPECT_TRUE(dir.exists(f)) << f;
    EXPECT_EQ(window.store().rows[2].alarmNumber, "2");

    select(1);
    QTest::mouseClick(button("ButtonDelete"), Qt::LeftButton);
    EXPECT_FALSE(dir.exists("1.ini"));
    EXPECT_EQ(column(0), (QStringList{"one", "three"}));
    add("four");
    EXPECT_EQ(window.store().rows.last().alarmNumber, "1");
    EXPECT_TRUE(dir.exists("1.ini"));

    // Edit keeps the row's place and number and rewrites its own settings file.
    select(0);
    answerNextModal([](QDialog* editor) {
        // A loaded text ends with a line break.
        EXPECT_EQ(editor->findChild<QPlainTextEdit*>("Memo")->toPlainText(), "one\n");
        editor->findChild<QPlainTextEdit*>("Memo")->setPlainText("first\nsecond line");
        editor->findChild<QComboBox*>("Frequency")->setCurrentIndex(1);
        QTest::mouseClick(editor->findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    QTest::mouseClick(button("buttonEdit"), Qt::LeftButton);
    EXPECT_EQ(column(0), (QStringList{"first", "three", "four"}));
    EXPECT_TRUE(column(2)[0].endsWith(" of every hour")) << column(2)[0].toStdString();
    EXPECT_EQ(column(3)[0], "--");
    EXPECT_EQ(window.store().rows[0].alarmNumber, "0");
    EXPECT_TRUE(dir.read("0.ini").endsWith("***Memo***\r\nfirst\r\nsecond line"));

    // The list file mirrors the rows after every change.
    QList<AlarmEntry> stored;
    UsedAlarmNumbers used;
    LoadAlarmList(dir.read("al.ini"), stored, used);
    EXPECT_EQ(stored, window.store().rows);
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
}

TEST_F(AlarmListWindow, NothingSelectedOrCancelledChangesNoAlarm)
{
    add("kept");
    list()->clearSelection();
    list()->setCurrentItem(nullptr);
    dir.write("al.ini", "marker");
    QTest::mouseClick(button("buttonEdit"), Qt::LeftButton);
    QTest::mouseClick(button("ButtonDelete"), Qt::LeftButton);
    EXPECT_EQ(dir.read("al.ini"), "marker"); // neither saved
    EXPECT_EQ(window.store().rows.size(), 1);

    add("cancelled", 2, QTime(7, 0), false);
    EXPECT_EQ(window.store().rows.size(), 1);
    EXPECT_FALSE(dir.exists("1.ini"));
    EXPECT_EQ(dir.read("al.ini"), SaveAlarmList(window.store().rows)); // Cancel still rewrites the list
}

TEST_F(AlarmListWindow, EditOfAlarmWithoutItsFileShowsDefaultsNotAStaleAlarm)
{
    add("first");
    add("second");
    auto editShowing = [&](int row) {
        select(row);
        QString shown;
        answerNextModal([&](QDialog* editor) {
            shown = editor->findChild<QPlainTextEdit*>("Memo")->toPlainText();
            editor->reject();
        });
        QTest::mouseClick(button("buttonEdit"), Qt::LeftButton);
        return shown;
    };
    EXPECT_EQ(editShowing(0), "first\n"); // "alarm.ini" now holds the first alarm
    QFile::remove(dir.file("1.ini"));
    const QString shown = editShowing(1);
    EXPECT_NE(shown, "first");
    EXPECT_NE(shown, "second");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("alarm.ini")) << errors[0].toStdString();
}

TEST_F(AlarmListWindow, AddIsRefusedWhenAllNumbersAreTaken)
{
    for (int n = 0; n < kAlarmNumberCount; ++n)
        window.store().used.mark(n);
    bool editorOpened = false;
    answerNextModal([&](QDialog* d) {
        editorOpened = true;
        d->reject();
    }, 20);
    QTest::mouseClick(button("ButtonAdd"), Qt::LeftButton);
    QTest::qWait(300);
    EXPECT_FALSE(editorOpened);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("256"));
    EXPECT_FALSE(dir.exists("al.ini"));
}

TEST_F(AlarmListWindow, FailedCopyAddsNoRow)
{
    add("first");
    // A folder where the settings file should go makes the copy fail.
    QDir(dir.path()).mkdir("1.ini");
    add("second");
    EXPECT_EQ(window.store().rows.size(), 1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("1.ini"));
}

TEST_F(AlarmListWindow, HideEndsTheModalRun)
{
    auto* hide = window.findChild<QAction*>("Showmainscreen");
    QTimer::singleShot(50, &window, [&] { hide->trigger(); });
    QTimer::singleShot(3000, &window, [&] { window.done(QDialog::Rejected); }); // a safety net, never needed
    QElapsedTimer t;
    t.start();
    window.exec();
    EXPECT_LT(t.elapsed(), 2500);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(hide->text(), "Restore");
}

TEST_F(AlarmListWindow, SchedulerRingsADueAlarmWithItsReminder)
{
    add("该起床了", 2, QTime(7, 0, 0));
    fake.clock.set(QDateTime(QDate(2026, 12, 7), QTime(7, 0, 0, 100)));
    QString reminder;
    answerNextModal([&](QDialog* ringing) {
        EXPECT_TRUE(window.AlarmRinging);
        EXPECT_EQ(ringing->windowTitle(), "闹铃");
        reminder = ringing->findChild<QPlainTextEdit*>("Memo")->toPlainText();
        QTest::mouseClick(ringing->findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
    });
    window.TimerTimer();
    EXPECT_EQ(reminder, "该起床了");
    EXPECT_EQ(window.CurrentAlarmFile, "0.ini");
    EXPECT_FALSE(window.AlarmRinging);
    int chimes = 0;
    window.chimeStep = [&] { ++chimes; };
    window.TimerTimer(); // the same second again: the occurrence has rung
    EXPECT_EQ(chimes, 1);
    EXPECT_FALSE(window.AlarmRinging);
}
