#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "alarms/alarm_display.h"
#include "platform/errors.h"
#include "ringing/alarm_schedule.h"

namespace {

AlarmEntry alarm(Frequency f, QDate date, QTime time, const char* mask = "0111110", int number = 0)
{
    return makeAlarmEntry({"alarm", int(f), date, time, mask}, number, RowOrigin::Add, DateTimeLocale::neutral());
}

/// Steps a clock through a period in scheduler ticks and records every ring: (row, time).
struct Simulation {
    QList<AlarmEntry> rows;
    AlarmScheduler scheduler;
    bool ringing = false;
    QList<QPair<int, QDateTime>> rings;
    QDateTime now;
    int ringSeconds = 0; // how long each ringing window stays open, in ticks of 200 ms

    void run(const QDateTime& from, const QDateTime& to, qint64 stepMs = 200)
    {
        for (now = from; now < to; now = now.addMSecs(stepMs)) {
            scheduler.tick(rows, [this] { return now; }, ringing, [&](int row) {
                rings.append({row, now});
                ringing = true;
                // The window's own ticks run while it is open: nested scheduler ticks.
                for (int i = 0; i < ringSeconds * 5; ++i) {
                    now = now.addMSecs(200);
                    scheduler.tick(rows, [this] { return now; }, ringing, [&](int) { ADD_FAILURE() << "rang while ringing"; });
                }
                ringing = false;
            });
        }
    }
    QList<QDateTime> times() const
    {
        QList<QDateTime> out;
        for (const auto& r : rings)
            out.append(r.second.addMSecs(-r.second.time().msec()));
        return out;
    }
};

// Wall-clock times without a time zone's rules, so long simulations stay fast; the daylight-saving
// test below uses real local time.
QDateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

} // namespace

TEST(IsAlarmDue, MatchRulesOfEachFrequency)
{
    const QDate anyDate(2026, 12, 7); // a Monday
    struct Case {
        const char* situation;
        AlarmEntry row;
        QDateTime now;
        bool due;
    };
    const Case cases[] = {
        {"hourly ignores hour and date", alarm(Frequency::Hourly, QDate(1999, 1, 1), QTime(3, 5, 0)), at(2026, 12, 9, 17, 5, 0), true},
        {"hourly wrong second", alarm(Frequency::Hourly, anyDate, QTime(3, 5, 0)), at(2026, 12, 9, 17, 5, 1), false},
        {"daily right time", alarm(Frequency::Daily, QDate(1999, 1, 1), QTime(7, 0, 0)), at(2026, 12, 9, 7, 0, 0), true},
        {"daily other hour", alarm(Frequency::Daily, anyDate, QTime(7, 0, 0)), at(2026, 12, 9, 8, 0, 0), false},
        {"fixed date on its day", alarm(Frequency::FixedDate, anyDate, QTime(7, 0, 0)), at(2026, 12, 7, 7, 0, 0), true},
        {"fixed date a year later", alarm(Frequency::FixedDate, anyDate, QTime(7, 0, 0)), at(2027, 12, 7, 7, 0, 0), false},
        {"monthly on its day", alarm(Frequency::Monthly, anyDate, QTime(7, 0, 0)), at(2027, 3, 7, 7, 0, 0), true},
        {"yearly on its day", alarm(Frequency::Yearly, anyDate, QTime(7, 0, 0)), at(2030, 12, 7, 7, 0, 0), true},
        {"yearly other month", alarm(Frequency::Yearly, anyDate, QTime(7, 0, 0)), at(2030, 11, 7, 7, 0, 0), false},
        {"weekly Monday marked", alarm(Frequency::Weekly, anyDate, QTime(7, 0, 0), "0100000"), at(2026, 12, 7, 7, 0, 0), true},
        {"weekly Sunday is the first character", alarm(Frequency::Weekly, anyDate, QTime(7, 0, 0), "1000000"), at(2026, 12, 13, 7, 0, 0), true},
        {"weekly Saturday is the last character", alarm(Frequency::Weekly, anyDate, QTime(7, 0, 0), "0000001"), at(2026, 12, 12, 7, 0, 0), true},
        {"weekly short mask marks nothing past its end", alarm(Frequency::Weekly, anyDate, QTime(7, 0, 0), "000"), at(2026, 12, 12, 7, 0, 0), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isAlarmDue(c.row, c.now), c.due) << c.situation;

    AlarmEntry lostBlank = alarm(Frequency::Daily, anyDate, QTime(7, 0, 0));
    lostBlank.frequencyText.chop(1); // "每天" without its trailing blank
    EXPECT_FALSE(isAlarmDue(lostBlank, at(2026, 12, 9, 7, 0, 0)));
    AlarmEntry bad = alarm(Frequency::Daily, anyDate, QTime(7, 0, 0));
    bad.dateCode = "31022026";
    EXPECT_THROW(isAlarmDue(bad, at(2026, 12, 9, 9, 0, 0)), ConversionError);
}

TEST(Scheduler, RepeatingAlarmsOverLongPeriodsRingOncePerOccurrence)
{
    struct Case {
        const char* situation;
        AlarmEntry row;
        QDateTime from, to;
        qint64 stepMs;
        QList<QDateTime> expected;
    };
    QList<QDateTime> hourly;
    for (int h = 0; h < 24; ++h)
        hourly.append(at(2026, 12, 7, h, 5, 30));
    QList<QDateTime> weekdays;
    for (int d : {7, 8, 9, 10, 11, 14})
        weekdays.append(at(2026, 12, d, 7, 0, 0));
    const Case cases[] = {
        {"hourly at 05:30 whatever its stored hour", alarm(Frequency::Hourly, QDate(2020, 1, 1), QTime(19, 5, 30)),
         at(2026, 12, 7, 0, 0, 0), at(2026, 12, 8, 0, 0, 0), 200, hourly},
        {"daily on two days", alarm(Frequency::Daily, QDate(2020, 1, 1), QTime(7, 0, 0)), at(2026, 12, 7, 6, 0, 0),
         at(2026, 12, 8, 8, 0, 0), 200, {at(2026, 12, 7, 7, 0, 0), at(2026, 12, 8, 7, 0, 0)}},
        {"Monday to Friday over eight days", alarm(Frequency::Weekly, QDate(2020, 1, 1), QTime(7, 0, 0), "0111110"),
         at(2026, 12, 7, 0, 0, 0), at(2026, 12, 15, 0, 0, 0), 600, weekdays},
        {"all-zero mask never", alarm(Frequency::Weekly, QDate(2020, 1, 1), QTime(7, 0, 0), "0000000"),
         at(2026, 12, 7, 0, 0, 0), at(2026, 12, 15, 0, 0, 0), 600, {}},
        {"fixed date once", alarm(Frequency::FixedDate, QDate(2026, 12, 8), QTime(7, 0, 0)), at(2026, 12, 7, 0, 0, 0),
         at(2026, 12, 10, 0, 0, 0), 600, {at(2026, 12, 8, 7, 0, 0)}},
        {"fixed date in the past never", alarm(Frequency::FixedDate, QDate(2026, 12, 1), QTime(7, 0, 0)),
         at(2026, 12, 7, 0, 0, 0), at(2026, 12, 10, 0, 0, 0), 600, {}},
    };
    for (const Case& c : cases) {
        Simulation sim;
        sim.rows = {c.row};
        sim.run(c.from, c.to, c.stepMs);
        EXPECT_EQ(sim.times(), c.expected) << c.situation;
    }
}

TEST(Scheduler, MonthlyAndYearlyAcrossShortMonthsAndLeapYears)
{
    // Only the alarm's second of each day can match, so each day is tested at that second alone.
    auto ringDays = [](const AlarmEntry& row, QDate from, QDate to) {
        Simulation sim;
        sim.rows = {row};
        for (QDate d = from; d < to; d = d.addDays(1))
            sim.run(QDateTime(d, QTime(7, 0, 0), Qt::UTC), QDateTime(d, QTime(7, 0, 1), Qt::UTC));
        QList<QDate> days;
        for (const QDateTime& t : sim.times())
            days.append(t.date());
        return days;
    };
    QList<QDate> the31st;
    for (int m : {1, 3, 5, 7, 8, 10, 12})
        the31st.append(QDate(2027, m, 31));
    EXPECT_EQ(ringDays(alarm(Frequency::Monthly, QDate(2026, 12, 31), QTime(7, 0, 0)), QDate(2027, 1, 1), QDate(2028, 1, 1)),
              the31st);
    EXPECT_EQ(ringDays(alarm(Frequency::Yearly, QDate(2028, 2, 29), QTime(7, 0, 0)), QDate(2027, 1, 1), QDate(2033, 1, 1)),
              (QList<QDate>{QDate(2028, 2, 29), QDate(2032, 2, 29)}));
}

TEST(Scheduler, OneRingingWindowAtATime)
{
    const QDate day(2026, 12, 7);
    struct Case {
        const char* situation;
        int ringSeconds; // how long the first window stays open
        QList<int> rows; // rows that rang, in order
    };
    const Case cases[] = {
        {"first window closed within the second: the second alarm still rings", 0, {0, 1}},
        {"first window open for a minute: the second alarm's occurrence is missed", 60, {0}},
    };
    for (const Case& c : cases) {
        Simulation sim;
        sim.rows = {alarm(Frequency::Daily, day, QTime(7, 0, 0), "", 0), alarm(Frequency::Daily, day, QTime(7, 0, 0), "", 1)};
        sim.ringSeconds = c.ringSeconds;
        sim.run(at(2026, 12, 7, 6, 59, 58), at(2026, 12, 7, 7, 0, 3));
        QList<int> rows;
        for (const auto& r : sim.rings)
            rows.append(r.first);
        EXPECT_EQ(rows, c.rows) << c.situation;
    }

    // An alarm due while another window is open (ringing or snoozed) is skipped.
    Simulation sim;
    sim.rows = {alarm(Frequency::Daily, day, QTime(7, 0, 0), "", 0), alarm(Frequency::Daily, day, QTime(7, 0, 30), "", 1)};
    sim.ringSeconds = 60;
    sim.run(at(2026, 12, 7, 6, 59, 59), at(2026, 12, 7, 7, 2, 0));
    EXPECT_EQ(sim.rings.size(), 1);
}

TEST(Scheduler, ClockSetBackRingsAgainAndJumpForwardMisses)
{
    Simulation sim;
    sim.rows = {alarm(Frequency::Daily, QDate(2026, 12, 7), QTime(7, 0, 0))};
    sim.run(at(2026, 12, 7, 6, 59, 59), at(2026, 12, 7, 7, 0, 5));
    sim.run(at(2026, 12, 7, 6, 59, 0), at(2026, 12, 7, 7, 0, 2)); // set back a minute
    EXPECT_EQ(sim.rings.size(), 2);
    sim.run(at(2026, 12, 8, 6, 59, 0), at(2026, 12, 8, 6, 59, 59));
    sim.run(at(2026, 12, 8, 7, 0, 1), at(2026, 12, 8, 7, 1, 0)); // jumped over 07:00:00
    EXPECT_EQ(sim.rings.size(), 2);
}

TEST(Scheduler, DaylightSavingChangesInBerlin)
{
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    // 29 March 2026: 02:00 jumps to 03:00. 25 October 2026: 03:00 goes back to 02:00.
    auto ringsBetween = [](QTime time, const char* fromUtc, const char* toUtc) {
        Simulation sim;
        sim.rows = {alarm(Frequency::Daily, QDate(2026, 1, 1), time)};
        const QDateTime from = QDateTime::fromString(fromUtc, Qt::ISODate).toLocalTime();
        const QDateTime to = QDateTime::fromString(toUtc, Qt::ISODate).toLocalTime();
        sim.run(from, to, 1000);
        return sim.rings.size();
    };
    const QDateTime spring = QDateTime::fromString("2026-03-29T00:30:00Z", Qt::ISODate).toLocalTime();
    ASSERT_EQ(spring.time(), QTime(1, 30)) << "the Berlin time zone is not available";
    EXPECT_EQ(ringsBetween(QTime(2, 30), "2026-03-28T22:00:00Z", "2026-03-29T04:00:00Z"), 0); // never happens
    EXPECT_EQ(ringsBetween(QTime(3, 30), "2026-03-28T22:00:00Z", "2026-03-29T04:00:00Z"), 1);
    EXPECT_EQ(ringsBetween(QTime(2, 30), "2026-10-24T22:00:00Z", "2026-10-25T04:00:00Z"), 2); // happens twice
    EXPECT_EQ(ringsBetween(QTime(7, 0), "2026-10-24T22:00:00Z", "2026-10-25T22:00:00Z"), 1);
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
}
