#include <gtest/gtest.h>

#include "alarms/alarm_display.h"
#include "platform/date_time_format.h"
#include "platform/text_codec.h"

namespace {

DateTimeLocale chineseStyle()
{
    DateTimeLocale l = DateTimeLocale::neutral();
    l.timeSeparator = ".";
    l.dateSeparator = "-";
    l.amDesignator = "上午";
    l.pmDesignator = "下午";
    l.shortDateFormat = "yyyy/m/d";
    l.shortDayNames = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
    return l;
}

} // namespace

TEST(FormatDateTime, TokensOfEveryPatternTheProgramUses)
{
    struct Case {
        const char* pattern;
        QDateTime at;
        const char* neutral;
        const char* chinese;
    };
    const QDate monday(2026, 12, 7);
    const Case cases[] = {
        {"hhnnss", QDateTime(monday, QTime(7, 5, 9)), "070509", "070509"},
        {"hhnnss", QDateTime(monday, QTime(23, 0, 0)), "230000", "230000"},
        {"ddmmyyyy", QDateTime(QDate(2028, 2, 29), QTime(0, 0)), "29022028", "29022028"},
        {"ddmmyyyy", QDateTime(QDate(987, 3, 4), QTime(0, 0)), "04030987", "04030987"},
        {"mm/dd", QDateTime(monday, QTime(0, 0)), "12/07", "12-07"},
        {"nn:ss", QDateTime(monday, QTime(7, 5, 30)), "05:30", "05.30"},
        // "AM/PM" is the pattern's own letters whatever the locale; "AMPM" is the locale's word.
        {"hh:nn:ss AM/PM", QDateTime(monday, QTime(0, 7, 9)), "12:07:09 AM", "12.07.09 AM"},
        {"hh:nn:ss AM/PM", QDateTime(monday, QTime(12, 30, 0)), "12:30:00 PM", "12.30.00 PM"},
        {"hh:nn:ss AM/PM", QDateTime(monday, QTime(13, 4, 5)), "01:04:05 PM", "01.04.05 PM"},
        {"hh:nn:ss am/pm", QDateTime(monday, QTime(11, 59, 59)), "11:59:59 am", "11.59.59 am"},
        {"h:nn AMPM", QDateTime(monday, QTime(15, 4)), "3:04 PM", "3.04 下午"},
        {"hhnnss", QDateTime(monday, QTime(0, 7, 9)), "000709", "000709"},
        {"ddmmyyyy", QDateTime(monday, QTime(0, 7, 9)), "07122026", "07122026"},
        {"d mmm yyyy", QDateTime(monday, QTime(0, 7, 9)), "7 Dec 2026", "7 Dec 2026"},
        {"dddd d mmmm", QDateTime(monday, QTime(0, 0)), "Monday 7 December", "Monday 7 December"},
        {"ddddd", QDateTime(monday, QTime(0, 0)), "2026/12/7", "2026-12-7"},
        {"ddd, mmmm,dd, yyyy", QDateTime(monday, QTime(0, 7, 9)), "Mon, December,07, 2026",
         "周一, December,07, 2026"},
        {"ddd, mmmm,dd, yyyy", QDateTime(QDate(2027, 1, 3), QTime(0, 0)), "Sun, January,03, 2027",
         "周日, January,03, 2027"},
        {"'at' hh 'o''clock'", QDateTime(monday, QTime(9, 0)), "at 09 oclock", "at 09 oclock"},
        {"d/m/yy h", QDateTime(monday, QTime(9, 0)), "7/12/26 9", "7-12-26 9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatDateTime(c.pattern, c.at, DateTimeLocale::neutral()), QString::fromUtf8(c.neutral))
            << c.pattern;
        EXPECT_EQ(formatDateTime(c.pattern, c.at, chineseStyle()), QString::fromUtf8(c.chinese)) << c.pattern;
    }
    EXPECT_EQ(formatShortDate(monday, chineseStyle()), "2026-12-7");
}

TEST(FormatDateTime, SystemLocaleGivesUsablePatterns)
{
    const DateTimeLocale sys = DateTimeLocale::system();
    const QDateTime at(QDate(2026, 12, 7), QTime(7, 5, 9));
    EXPECT_FALSE(formatShortDate(at.date(), sys).isEmpty());
    EXPECT_TRUE(formatShortDate(at.date(), sys).contains("7"));
    EXPECT_TRUE(formatDateTime(sys.longTimeFormat, at, sys).contains("05"))
        << sys.longTimeFormat.toStdString();
}

TEST(AlarmDisplay, ColumnsForEveryFrequencyAfterAddAndEdit)
{
    struct Case {
        Frequency frequency;
        const char* timeAdd;
        const char* timeEdit;
        const char* dateAdd;
        const char* dateEdit;
    };
    const Case cases[] = {
        {Frequency::FixedDate, "07:05:30 AM", "07:05:30 AM", "2026/12/9", "2026/12/9"},
        {Frequency::Hourly, "05:30 每小时", "05:30 of every hour", "--", "--"},
        {Frequency::Daily, "07:05:30 AM", "07:05:30 AM", "--", "--"},
        {Frequency::Weekly, "07:05:30 AM", "07:05:30 AM", "--", "--"},
        {Frequency::Monthly, "07:05:30 AM", "07:05:30 AM", "9 每月", "--"},
        {Frequency::Yearly, "07:05:30 AM", "07:05:30 AM", "12/09", "12/09"},
    };
    for (const Case& c : cases) {
        const EditedAlarmInfo alarm{"起床", int(c.frequency), QDate(2026, 12, 9), QTime(7, 5, 30), "0111110"};
        const AlarmEntry add = makeAlarmEntry(alarm, 12, RowOrigin::Add, DateTimeLocale::neutral());
        const AlarmEntry edit = makeAlarmEntry(alarm, 12, RowOrigin::Edit, DateTimeLocale::neutral());
        const int f = int(c.frequency);
        EXPECT_EQ(decodeText(add.timeDisplay), QString::fromUtf8(c.timeAdd)) << f;
        EXPECT_EQ(decodeText(edit.timeDisplay), QString::fromUtf8(c.timeEdit)) << f;
        EXPECT_EQ(decodeText(add.dateDisplay), QString::fromUtf8(c.dateAdd)) << f;
        EXPECT_EQ(decodeText(edit.dateDisplay), QString::fromUtf8(c.dateEdit)) << f;
        EXPECT_EQ(add.frequencyText, frequencyBytes(f));
        EXPECT_EQ(add.timeCode, "070530");
        EXPECT_EQ(add.dateCode, "09122026");
        EXPECT_EQ(add.weekdayMask, "0111110");
        EXPECT_EQ(add.alarmNumber, "12");
        EXPECT_EQ(decodeText(add.caption), "起床");
    }
    const EditedAlarmInfo afternoon{"", int(Frequency::Daily), QDate(2026, 12, 9), QTime(19, 0, 0),
                                    "0000000"};
    EXPECT_EQ(decodeText(makeAlarmEntry(afternoon, 0, RowOrigin::Add, DateTimeLocale::neutral()).timeDisplay),
              "07:00:00 PM");
}
