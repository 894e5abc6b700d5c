#include <gtest/gtest.h>

#include "alarms/alarm_display.h"
#include "platform/date_time_format.h"
#include "ringing/alarm_occurrence.h"
#include "ringing/next_ring_text.h"
#include "ringing/ringing_session.h"

namespace {

// Monday 7 December 2026.
QDateTime monday(int h, int m)
{
    return QDateTime(QDate(2026, 12, 7), QTime(h, m));
}

struct Case {
    const char* situation;
    int frequency;
    QDate date;
    QTime time;
    const char* weekdays;
    QDateTime now;
    const char* expected;
};

} // namespace

TEST(NextRingText, ReadsAsTheUserCountsDays)
{
    const QDate today(2026, 12, 7);
    const Case cases[] = {
        {"hourly, later this hour", 1, today, QTime(9, 5), "0000000", monday(13, 2), "今天 13:05"},
        {"hourly, just past: the next hour", 1, today, QTime(9, 5), "0000000", monday(13, 6), "今天 14:05"},
        {"hourly late in the evening: after midnight", 1, today, QTime(9, 5), "0000000", monday(23, 30),
         "明天 00:05"},
        {"daily, still ahead today", 2, today, QTime(13, 30), "0000000", monday(6, 0), "今天 13:30"},
        {"daily, past today", 2, today, QTime(7, 0), "0000000", monday(8, 0), "明天 07:00"},
        {"weekly on Tuesday, seen on Monday", 3, today, QTime(7, 0), "0010000", monday(8, 0), "明天 07:00"},
        {"weekly on Thursday and Sunday", 3, today, QTime(7, 0), "1000100", monday(8, 0), "周四 07:00"},
        {"weekly on Sunday: six days on", 3, today, QTime(7, 0), "1000000", monday(8, 0), "周日 07:00"},
        {"weekly on Monday, past today: a week on", 3, today, QTime(7, 0), "0100000", monday(8, 0),
         "12月14日 07:00"},
        {"weekly with no day marked", 3, today, QTime(7, 0), "0000000", monday(8, 0), "—"},
        {"monthly on the 24th", 4, QDate(2026, 1, 24), QTime(7, 0), "0000000", monday(8, 0),
         "12月24日 07:00"},
        {"monthly on the 3rd: next year", 4, QDate(2026, 1, 3), QTime(7, 0), "0000000", monday(8, 0),
         "2027年1月3日 07:00"},
        {"yearly on 1 March", 5, QDate(2020, 3, 1), QTime(7, 0), "0000000", monday(8, 0),
         "2027年3月1日 07:00"},
        {"fixed date later today", 0, today, QTime(22, 15), "0000000", monday(8, 0), "今天 22:15"},
        {"fixed date in the past", 0, QDate(2026, 12, 6), QTime(7, 0), "0000000", monday(8, 0), "—"},
    };
    for (const Case& c : cases) {
        const AlarmEntry row = makeAlarmEntry({"x", c.frequency, c.date, c.time, c.weekdays}, 0,
                                              RowOrigin::Add, DateTimeLocale::neutral());
        EXPECT_EQ(nextRingText(nextOccurrence(row, c.now), c.now), QString::fromUtf8(c.expected))
            << c.situation;
    }
}

TEST(NextRingText, TrayHintFitsItsSixtyThreeCharacters)
{
    EXPECT_EQ(nextRingHint("周二 07:00", "起床"), "Belvane · 下次 周二 07:00 起床");
    EXPECT_EQ(nextRingHint("今天 13:30", ""), "Belvane · 下次 今天 13:30");
    EXPECT_EQ(nextRingHint(kNoNextRing, "起床"), "Belvane") << "nothing will ring";
    EXPECT_EQ(nextRingHint("", ""), "Belvane");
    EXPECT_EQ(snoozeHint(monday(7, 10), "起床"), "Belvane · 打盹至 07:10 起床");

    const QString longCaption = QString(80, QChar(u'长'));
    const QString hint = nextRingHint("2027年12月24日 07:00", longCaption);
    EXPECT_EQ(hint.size(), 63);
    EXPECT_TRUE(hint.startsWith("Belvane · 下次 2027年12月24日 07:00 长")) << hint.toStdString();
    EXPECT_TRUE(hint.endsWith("…"));
    EXPECT_LE(snoozeHint(monday(7, 10), longCaption).size(), 63);
    // A character outside the basic plane is dropped whole, never cut in two.
    const QString emoji = QString(30, QChar(u'x')) + QString::fromUtf8("😀😀😀😀😀😀😀😀😀😀😀😀😀😀😀");
    const QString cut = nextRingHint("今天 13:30", emoji);
    EXPECT_LE(cut.size(), 63);
    EXPECT_FALSE(cut.at(cut.size() - 2).isHighSurrogate()) << "a lone high surrogate before the ellipsis";
}

TEST(NextRingText, SnoozeLastsFromTheStartOfTheRinging)
{
    RingingSession session;
    AlarmSettings settings;
    settings.playSound = true;
    settings.snoozeMinutes = 10;
    settings.autoSnooze = true;
    settings.autoSnoozeMinutes = 2;
    session.load(settings, "/nowhere/");
    session.start(monday(7, 0));
    EXPECT_FALSE(session.snoozedUntil()) << "ringing, not snoozed";
    struct Idle : RingingActions {
        bool playerIdle() const override { return true; }
        void playFile(const QString&) override {}
        bool fileExists(const QString&) const override { return true; }
        void closePlayer() override {}
        void setDeviceVolume(quint32) override {}
        void requestClose() override {}
        void powerAction(int) override {}
        void ringingUnanswered() override {}
    } actions;
    session.tick(monday(7, 2), actions); // automatic snooze after two minutes
    ASSERT_TRUE(session.snoozedUntil());
    EXPECT_EQ(*session.snoozedUntil(), monday(7, 12));
    session.snoozePressed();
    session.tick(monday(7, 3), actions);
    EXPECT_EQ(*session.snoozedUntil(), monday(7, 10)) << "the button's snooze counts from the same start";
}
