#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include "alarms/alarm_list_window.h"
#include "helpers/fake_services.h"
#include "helpers/modal.h"
#include "helpers/screenshot.h"
#include "helpers/temp_folder.h"
#include "platform/text_codec.h"
#include "ui/error_report.h"

namespace {

/// Notes each dialog shown while it lives, by name, and rejects it, so that one run with exec() ends.
class DialogCatcher : public QObject {
public:
    DialogCatcher() { qApp->installEventFilter(this); }
    ~DialogCatcher() override { qApp->removeEventFilter(this); }
    QStringList shown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && event->type() == QEvent::Show) {
            shown << dialog->objectName();
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        }
        return false;
    }
};

class AlarmListWindow : public ::testing::Test {
protected:
    AlarmListWindow()
    {
        setErrorSink([this](const QString& text) { errors << text; });
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
    AlarmListStore store{dir.path()};
    TFormAlarmList window{fake.services, store, dir.path()};
    QStringList errors;
};

} // namespace

TEST_F(AlarmListWindow, LooksAsDesigned)
{
    EXPECT_EQ(window.windowTitle(), "Belvane");
    QStringList headers;
    for (int c = 0; c < list()->columnCount(); ++c)
        headers << list()->headerItem()->text(c);
    EXPECT_EQ(headers, (QStringList{"闹钟", "频率", "时间", "日期", "下次响铃"}));
    EXPECT_EQ(list()->columnWidth(0), 155);
    for (auto [name, caption] : {std::pair{"ButtonAdd", "添加"},
                                 {"buttonEdit", "编辑"},
                                 {"ButtonDelete", "删除"},
                                 {"Button2", "选项"},
                                 {"ButtonClose", "关闭"}})
        EXPECT_EQ(button(name)->text(), QString::fromUtf8(caption)) << name;
    // Texts as the scheduler gives them, for the picture.
    window.nextRingOf = [](int row) {
        return QStringList{"明天 07:00", "今天 09:30", "12月24日 14:00", "—"}.value(row);
    };
    add("该起床了，今天要早点出门");
    add("喝水", 1, QTime(9, 30, 15));
    add("Team meeting", 5, QTime(14, 0, 0));
    add("固定的一天的闹钟", 0, QTime(8, 0, 0));
    select(1);
    answerNextModal(
        [](QDialog* editor) { QTest::mouseClick(editor->findChild<QPushButton*>("OK"), Qt::LeftButton); });
    QTest::mouseClick(button("buttonEdit"), Qt::LeftButton); // "… of every hour", the longest time text
    // The designed widths where the texts fit, just wider where one would be cut; the list and the
    // window grow by as much, and the window never shrinks below its designed size.
    const QFontMetrics metrics(list()->font());
    int widths = 0;
    for (int c = 0; c < 4; ++c) {
        const int designed = std::array{155, 65, 80, 80}[c];
        EXPECT_GE(list()->columnWidth(c), designed) << c;
        widths += list()->columnWidth(c);
        for (int row = 0; c > 0 && row < list()->topLevelItemCount(); ++row) {
            const QString text = list()->topLevelItem(row)->text(c);
            EXPECT_LT(metrics.horizontalAdvance(text), list()->columnWidth(c) - 4) << text.toStdString();
        }
    }
    EXPECT_GT(list()->columnWidth(1), 65) << "\"固定的一天\" does not fit 65 pixels in this font";
    for (int row = 0; row < list()->topLevelItemCount(); ++row)
        EXPECT_LT(metrics.horizontalAdvance(list()->topLevelItem(row)->text(4)), list()->columnWidth(4) - 4)
            << row;
    EXPECT_EQ(window.width() - 401, widths + list()->columnWidth(4) - 380)
        << "the window grows by the new column";
    EXPECT_EQ(window.height(), 296);
    list()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    saveScreenshot(window, "alarm-list");
    EXPECT_FALSE(list()->horizontalScrollBar()->isVisible()) << "every column fits the window";
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
    EXPECT_TRUE(errors[0].startsWith("找不到文件")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(dir.file("1.ini"))) << errors[0].toStdString();
}

TEST_F(AlarmListWindow, EditOfAlarmWithoutItsFileKeepsItsFrequencyTimeAndDate)
{
    add("hourly", 1, QTime(7, 45, 30));
    add("fixed", 0, QTime(6, 30, 0));
    QFile::remove(dir.file("0.ini"));
    QFile::remove(dir.file("1.ini"));
    struct Case {
        int row;
        int frequency;
        QTime time;
    };
    for (Case c : {Case{0, 1, QTime(7, 45, 30)}, Case{1, 0, QTime(6, 30, 0)}}) {
        errors.clear();
        select(c.row);
        const AlarmEntry before = window.store().rows[c.row];
        answerNextModal([&](QDialog* editor) {
            EXPECT_EQ(editor->findChild<QComboBox*>("Frequency")->currentIndex(), c.frequency);
            EXPECT_EQ(editor->findChild<QTimeEdit*>("TimePicker")->time(), c.time);
            EXPECT_EQ(editor->findChild<QDateEdit*>("DatePicker")->date(), fake.clock.now().date());
            QTest::mouseClick(editor->findChild<QPushButton*>("OK"), Qt::LeftButton);
        });
        QTest::mouseClick(button("buttonEdit"), Qt::LeftButton);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(SettingsFileName(c.row))) << errors[0].toStdString();
        // OK keeps the alarm what it was, its settings file written anew.
        const AlarmEntry& after = window.store().rows[c.row];
        EXPECT_EQ(after.frequencyText, before.frequencyText);
        EXPECT_EQ(after.timeCode, before.timeCode);
        EXPECT_EQ(after.dateCode, before.dateCode);
        EXPECT_TRUE(dir.exists(SettingsFileName(c.row)));
    }
}

TEST_F(AlarmListWindow, ADoubleClickOpensTheEditorAndNoInPlaceEditButF2Still)
{
    add("caption");
    select(0);
    QTreeWidgetItem* item = list()->topLevelItem(0);
    const QModelIndex caption = list()->model()->index(0, 0);
    // The first click of a double click on a selected row asks for an in-place edit a double-click
    // time later, while the editor is up or just after it closed; the view then calls edit().
    QWidget* boxDuringEditor = nullptr;
    answerNextModal([&](QDialog* editor) {
        list()->edit(caption);
        boxDuringEditor = list()->indexWidget(caption);
        editor->reject();
    });
    emit list()->itemDoubleClicked(item, 0);
    EXPECT_EQ(boxDuringEditor, nullptr);
    list()->edit(caption);
    EXPECT_EQ(list()->indexWidget(caption), nullptr) << "an edit box opened right after the editor";

    // A double-click time later, F2 edits the caption in place and renames the alarm.
    list()->setFocus();
    list()->setCurrentItem(item, 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QTest::keyClick(list(), Qt::Key_F2);
            return list()->indexWidget(caption) != nullptr;
        },
        20000));
    auto* box = qobject_cast<QLineEdit*>(list()->indexWidget(caption));
    ASSERT_NE(box, nullptr);
    box->setText("renamed");
    emit list()->itemDelegate()->commitData(box);
    EXPECT_EQ(column(0), QStringList{"renamed"});
    EXPECT_EQ(decodeText(window.store().rows[0].caption), "renamed");
}

TEST_F(AlarmListWindow, MenuLettersWorkWithAltAndTheMenuOpensFromTheKeyboard)
{
    QSignalSpy about(&window, &TFormAlarmList::aboutRequested);
    QSignalSpy help(&window, &TFormAlarmList::helpRequested);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(list(), Qt::Key_B, Qt::AltModifier);
    QTest::keyClick(list(), Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(about.size(), 1);
    EXPECT_EQ(help.size(), 1);
    auto* menu = window.findChild<QMenu*>("PopupMenu");
    QTest::keyClick(list(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 20000));
    menu->hide();
    window.hide();
}

TEST_F(AlarmListWindow, AddIsRefusedWhenAllNumbersAreTaken)
{
    for (int n = 0; n < 256; ++n)
        window.store().used.mark(n);
    // The editor runs inside the click (exec()): any editor opened has come and gone when it returns.
    DialogCatcher dialogs;
    QTest::mouseClick(button("ButtonAdd"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(' ').toStdString();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("256"));
    EXPECT_FALSE(dir.exists("al.ini"));
}

TEST_F(AlarmListWindow, FailedCopyAddsNoRow)
{
    add("first");
    // Folders that appear while the editor is open: one where the next settings file would go (its
    // number is passed over, as the number is taken only after OK), one where the list is written.
    answerNextModal([&](QDialog* editor) {
        QDir(dir.path()).mkdir("1.ini");
        QDir(dir.path()).mkdir("al.ini.new");
        QTest::mouseClick(editor->findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    QTest::mouseClick(button("ButtonAdd"), Qt::LeftButton);
    EXPECT_EQ(window.store().rows.size(), 1);
    EXPECT_EQ(list()->topLevelItemCount(), 1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("al.ini")) << errors[0].toStdString();
    EXPECT_FALSE(dir.exists("2.ini")) << "a failed add leaves no settings file";
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

TEST_F(AlarmListWindow, NewAlarmNeverTakesTheFileOfAnAlarmThatFailedToLoad)
{
    // "0.ini" lies on disk without a row: it may belong to an alarm whose row did not load.
    dir.write("0.ini", "keep me");
    QSignalSpy changed(&window, &TFormAlarmList::rowsChanged);
    add("first");
    ASSERT_EQ(window.store().rows.size(), 1);
    EXPECT_EQ(window.store().rows[0].alarmNumber, "1");
    EXPECT_EQ(dir.read("0.ini"), "keep me");
    EXPECT_EQ(changed.size(), 1) << "the scheduler is told of every change";
}

TEST_F(AlarmListWindow, DamagedListIsNotWrittenOverUntilItsReportIsClosed)
{
    const QByteArray damaged = "-1\r\n";
    dir.write("al.ini", damaged);
    dir.write("0.ini", "settings of an alarm the list lost");
    EXPECT_THROW(store.load(), ConversionError);
    EXPECT_EQ(dir.read("al.ini.bad"), damaged);
    for (const char* name : {"ButtonAdd", "ButtonClose"})
        QTest::mouseClick(button(name), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1) << "Add is refused while the damage is unseen";
    EXPECT_TRUE(errors[0].contains("al.ini")) << errors[0].toStdString();
    EXPECT_EQ(dir.read("al.ini"), damaged);
    EXPECT_EQ(dir.read("0.ini"), "settings of an alarm the list lost");

    store.acknowledgeDamage();
    add("first");
    EXPECT_EQ(window.store().rows.size(), 1);
    EXPECT_EQ(window.store().rows[0].alarmNumber, "1");
    EXPECT_EQ(dir.read("0.ini"), "settings of an alarm the list lost");
    EXPECT_EQ(dir.read("al.ini.bad"), damaged);
}

TEST_F(AlarmListWindow, CheckBoxSwitchesAnAlarmOffAndDeleteDropsItsNumber)
{
    add("one");
    add("two");
    add("three");
    QSignalSpy changed(&window, &TFormAlarmList::rowsChanged);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list()->topLevelItem(i)->checkState(0), Qt::Checked) << "a new alarm is on";
    const QByteArray listBefore = dir.read("al.ini");

    // A click on the box, as the user makes it.
    QTreeWidgetItem* two = list()->topLevelItem(1);
    const QRect rowRect = list()->visualItemRect(two);
    const QPoint box(rowRect.left() + 10, rowRect.center().y());
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(two->checkState(0), Qt::Unchecked);
    two->setSelected(true);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, box);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, box);
    EXPECT_EQ(two->checkState(0), Qt::Unchecked);
    QApplication::processEvents();
    const QLineEdit* editor = list()->findChild<QLineEdit*>();
    EXPECT_FALSE(editor && editor->isVisible()) << "a click on the box of a selected row edits its caption";
    list()->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(dir.read("off.ini"), QByteArray("1\r\n2\r\n"));
    EXPECT_EQ(changed.count(), 4) << "the scheduler is told of each switch";
    EXPECT_EQ(dir.read("al.ini"), listBefore) << "switching never touches the list file";
    EXPECT_EQ(column(0), (QStringList{"one", "two", "three"})) << "no caption edit started";

    // Shown as stored after a restart.
    AlarmListStore again{dir.path()};
    again.load();
    again.loadOffSwitches();
    TFormAlarmList reopened{fake.services, again, dir.path()};
    reopened.FormCreate();
    auto* reopenedList = reopened.findChild<QTreeWidget*>("AlarmList");
    EXPECT_EQ(reopenedList->topLevelItem(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(reopenedList->topLevelItem(0)->checkState(0), Qt::Checked);

    select(1);
    QTest::mouseClick(button("ButtonDelete"), Qt::LeftButton);
    EXPECT_EQ(dir.read("off.ini"), QByteArray("2\r\n"));
    add("four"); // takes the freed number 1, and is on
    EXPECT_EQ(list()->topLevelItem(2)->checkState(0), Qt::Checked);
    EXPECT_FALSE(store.off.isOff(1));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
