#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>

#include "alarms/alarm_editor.h"
#include "clockface/options_dialog.h"
#include "helpers/fake_services.h"
#include "helpers/temp_folder.h"
#include "ui/error_report.h"

// The keys a user types into the editor's and the options' fields, as on the rest of the desktop.

namespace {

const QDateTime kNow(QDate(2026, 3, 9), QTime(6, 59, 58));

/// Clicks into the picker's text, from the left, until the click lands in `field`.
bool clickInto(QDateTimeEdit* picker, QDateTimeEdit::Section field)
{
    auto* text = picker->findChild<QLineEdit*>();
    for (int x = 1; x < text->width(); x += 2) {
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(x, text->height() / 2));
        if (picker->currentSection() == field)
            return true;
    }
    return false;
}

class TypedFields : public ::testing::Test {
protected:
    TypedFields()
    {
        setErrorSink([this](const QString& text) { errors << text; });
    }
    ~TypedFields() override { setErrorSink({}); }

    /// The editor of a new alarm, shown and active.
    TAlarmOptions& openEditor()
    {
        editor = std::make_unique<TAlarmOptions>(AlarmEditorParts{fake.services, dir.path(), dir.path()},
                                                 AlarmEditorStart::NewAlarm);
        editor->show();
        QApplication::setActiveWindow(editor.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        return *editor;
    }
    template <class T = QWidget> static T* child(QWidget& window, const char* name)
    {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    TempFolder dir;
    FakeServices fake{kNow};
    std::unique_ptr<TAlarmOptions> editor;
    QStringList errors;
};

/// A page of the editor shown and its controls made ready, as a user would before typing.
using Prepare = std::function<void(TAlarmOptions&)>;

void showPage(TAlarmOptions& dialog, int page)
{
    dialog.findChild<QTabWidget*>(QStringLiteral("Table"))->setCurrentIndex(page);
}

struct TypingCase {
    const char* situation;
    const char* picker;
    Prepare prepare;
    QDateTimeEdit::Section clicked;
    const char* typed;
    QDateTime expected; // of the part the picker shows: the time, the date or both
};

} // namespace

TEST_F(TypedFields, DigitsTypedIntoAClickedFieldSetItAndGoOnToTheNext)
{
    const TypingCase cases[] = {
        // Two digits fill the hour, and the minutes and the seconds follow on.
        {"the alarm's time, typed from its hour", "TimePicker", [](TAlarmOptions& d) { showPage(d, 0); },
         QDateTimeEdit::HourSection, "093015", QDateTime(kNow.date(), QTime(9, 30, 15))},
        {"the alarm's time, its minutes alone", "TimePicker", [](TAlarmOptions& d) { showPage(d, 0); },
         QDateTimeEdit::MinuteSection, "07", QDateTime(kNow.date(), QTime(6, 7, 58))},
        // A 7 leaves no room for a second digit: the field is full, and the next digits replace it.
        {"a minutes picker given a digit too large to be followed", "SnoozeTimePicker",
         [](TAlarmOptions& d) { showPage(d, 2); }, QDateTimeEdit::MinuteSection, "742",
         QDateTime(QDate(2000, 1, 1), QTime(0, 42))},
        {"the sound's minutes", "SoundTimePicker",
         [](TAlarmOptions& d) {
             showPage(d, 1);
             QTest::mouseClick(d.findChild<QWidget*>(QStringLiteral("RadioButtonPlaySound")), Qt::LeftButton,
                               {}, QPoint(4, 8));
         },
         QDateTimeEdit::MinuteSection, "05", QDateTime(QDate(2000, 1, 1), QTime(0, 5))},
        // Four digits fill a year.
        {"the date of an alarm that rings once, typed from its year", "DatePicker",
         [](TAlarmOptions& d) {
             showPage(d, 0);
             d.findChild<QComboBox*>(QStringLiteral("Frequency"))->setCurrentIndex(0);
         },
         QDateTimeEdit::YearSection, "2031", QDateTime(QDate(2031, 3, 9), QTime(6, 59, 58))},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.situation);
        TAlarmOptions& dialog = openEditor();
        auto* picker = child<QDateTimeEdit>(dialog, c.picker);
        c.prepare(dialog);
        ASSERT_TRUE(picker->isVisible() && picker->isEnabled());
        ASSERT_TRUE(clickInto(picker, c.clicked)) << picker->text().toStdString();
        QTest::keyClicks(picker, QString::fromLatin1(c.typed));
        if (picker->displayedSections() & QDateTimeEdit::TimeSections_Mask) {
            EXPECT_EQ(picker->time(), c.expected.time()) << picker->text().toStdString();
        }
        if (picker->displayedSections() & QDateTimeEdit::DateSections_Mask) {
            EXPECT_EQ(picker->date(), c.expected.date()) << picker->text().toStdString();
        }
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(TypedFields, UpAndDownStillStepTheSelectedField)
{
    TAlarmOptions& dialog = openEditor();
    auto* picker = child<QTimeEdit>(dialog, "TimePicker");
    ASSERT_TRUE(clickInto(picker, QDateTimeEdit::HourSection));
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(picker->time(), QTime(7, 59, 58)) << picker->text().toStdString();
    // Typed over the stepped hour, which then hands on to the minutes.
    QTest::keyClicks(picker, "08");
    QTest::keyClick(picker, Qt::Key_Down);
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(picker->time(), QTime(8, 57, 58)) << picker->text().toStdString();
}

TEST_F(TypedFields, TheChimeRangeTakesTypedDigits)
{
    TempFolder data;
    TFormOptions options(data.path());
    options.FormCreate();
    options.show();
    QApplication::setActiveWindow(&options);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&options));
    child<QTabWidget>(options, "PageControl")->setCurrentIndex(1);
    QTest::mouseClick(child(options, "cbNoChimeBetween"), Qt::LeftButton, {}, QPoint(4, 8));
    auto* from = child<QTimeEdit>(options, "TimePicker1");
    ASSERT_TRUE(from->isEnabled());
    // A 6 cannot begin a two-digit hour: the minutes come next.
    ASSERT_TRUE(clickInto(from, QDateTimeEdit::HourSection));
    QTest::keyClicks(from, "64500");
    EXPECT_EQ(options.chimes().from, QTime(6, 45));
}

TEST_F(TypedFields, TabLeavesTheReminderTextForTheNextField)
{
    TAlarmOptions& dialog = openEditor();
    auto* memo = child<QPlainTextEdit>(dialog, "Memo");
    const QString before = memo->toPlainText();
    memo->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(memo->hasFocus());
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child(dialog, "Frequency"));
    EXPECT_EQ(memo->toPlainText(), before);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), memo);
    EXPECT_EQ(memo->toPlainText(), before);
}
