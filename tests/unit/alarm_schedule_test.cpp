#include <gtest/gtest.h>

#include "alarms/alarm_display.h"
#include "platform/errors.h"
#include "ringing/alarm_occurrence.h"
#include "ringing/alarm_schedule.h"

namespace {

AlarmEntry alarm(Frequency f, QDate date, QTime time, const char* mask = "0111110", int number = 0)
{
    return makeAlarmEntry({"alarm", int(f), date, time, mask}, number, RowOrigin::Add,
                          DateTimeLocale::neutral());
}

const QTimeZone kUtc = QTimeZone::utc();
const QTimeZone kBerlin("Europe/Berlin");
const QTimeZone kNewYork("America/New_York");

QDateTime in(const QTimeZone& zone, int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), zone);
}
QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0)
{
    return in(kUtc, y, mo, d, h, mi, s);
}

QList<QDateTime> dues(const QList<Occurrence>& list)
{
    QList<QDateTime> out;
    for (const Occurrence& o : list)
        out.append(o.due.toUTC());
    return out;
}

} // namespace

TEST(NextOccurrence, EachFrequencyMonthEndsLeapYearsAndDaylightSaving)
{
    ASSERT_TRUE(kBerlin.isValid() && kNewYork.isValid()) << "time zone data is missing";
    const QDate monday(2026, 12, 7);
    AlarmEntry lostBlank = alarm(Frequency::Daily, monday, QTime(7, 0));
    lostBlank.frequencyText.chop(1); // "每天" without its trailing blank: no rule knows it
    struct Case {
        const char* situation;
        AlarmEntry row;
        QDateTime after;
        std::optional<QDateTime> expected;
    };
    const Case cases[] = {
        {"hourly ignores its stored hour and date",
         alarm(Frequency::Hourly, QDate(1999, 1, 1), QTime(3, 5, 30)), utc(2026, 12, 9, 17, 6),
         utc(2026, 12, 9, 18, 5, 30)},
        {"hourly in the same hour when its minute is ahead",
         alarm(Frequency::Hourly, monday, QTime(3, 5, 30)), utc(2026, 12, 9, 17, 5, 29),
         utc(2026, 12, 9, 17, 5, 30)},
        {"the occurrence at the instant itself is not after it", alarm(Frequency::Daily, monday, QTime(7, 0)),
         utc(2026, 12, 9, 7, 0), utc(2026, 12, 10, 7, 0)},
        {"daily later today", alarm(Frequency::Daily, QDate(1999, 1, 1), QTime(7, 0)), utc(2026, 12, 9, 6, 0),
         utc(2026, 12, 9, 7, 0)},
        {"daily across the end of a year", alarm(Frequency::Daily, monday, QTime(7, 0)),
         utc(2026, 12, 31, 8, 0), utc(2027, 1, 1, 7, 0)},
        {"fixed date ahead", alarm(Frequency::FixedDate, QDate(2027, 3, 1), QTime(9, 30)),
         utc(2026, 12, 9, 6, 0), utc(2027, 3, 1, 9, 30)},
        {"fixed date passed: never again", alarm(Frequency::FixedDate, monday, QTime(7, 0)),
         utc(2026, 12, 7, 7, 0), std::nullopt},
        {"monthly on the 31st skips 30-day months",
         alarm(Frequency::Monthly, QDate(2026, 12, 31), QTime(7, 0)), utc(2027, 3, 31, 8, 0),
         utc(2027, 5, 31, 7, 0)},
        {"monthly on the 30th skips February", alarm(Frequency::Monthly, QDate(2026, 11, 30), QTime(7, 0)),
         utc(2027, 1, 30, 8, 0), utc(2027, 3, 30, 7, 0)},
        {"yearly on 29 February only in leap years",
         alarm(Frequency::Yearly, QDate(2028, 2, 29), QTime(7, 0)), utc(2028, 2, 29, 7, 0),
         utc(2032, 2, 29, 7, 0)},
        {"yearly on 29 February across 2100, which is no leap year",
         alarm(Frequency::Yearly, QDate(2028, 2, 29), QTime(7, 0)), utc(2096, 3, 1, 0, 0),
         utc(2104, 2, 29, 7, 0)},
        {"yearly next year when this year's has passed", alarm(Frequency::Yearly, monday, QTime(7, 0)),
         utc(2026, 12, 7, 7, 0, 1), utc(2027, 12, 7, 7, 0)},
        {"weekly Monday to Friday on a Friday evening: Monday",
         alarm(Frequency::Weekly, monday, QTime(7, 0), "0111110"), utc(2026, 12, 11, 20, 0),
         utc(2026, 12, 14, 7, 0)},
        {"weekly: Sunday is the first character", alarm(Frequency::Weekly, monday, QTime(7, 0), "1000000"),
         utc(2026, 12, 7, 0, 0), utc(2026, 12, 13, 7, 0)},
        {"weekly: Saturday is the last character", alarm(Frequency::Weekly, monday, QTime(7, 0), "0000001"),
         utc(2026, 12, 7, 0, 0), utc(2026, 12, 12, 7, 0)},
        {"weekly all-zero mask never", alarm(Frequency::Weekly, monday, QTime(7, 0), "0000000"),
         utc(2026, 12, 7, 0, 0), std::nullopt},
        {"weekly short mask marks nothing past its end", alarm(Frequency::Weekly, monday, QTime(7, 0), "001"),
         utc(2026, 12, 7, 0, 0), utc(2026, 12, 8, 7, 0)},
        {"unknown frequency text never", lostBlank, utc(2026, 12, 7, 0, 0), std::nullopt},
        // Europe/Berlin: 29 March 2026 02:00 -> 03:00; 25 October 2026 03:00 -> 02:00.
        {"Berlin, clocks forward over 02:30: at the end of the gap",
         alarm(Frequency::Daily, monday, QTime(2, 30)), in(kBerlin, 2026, 3, 29, 0, 0),
         in(kBerlin, 2026, 3, 29, 3, 0)},
        {"Berlin, clocks forward over 02:00: at the end of the gap",
         alarm(Frequency::Daily, monday, QTime(2, 0)), in(kBerlin, 2026, 3, 29, 0, 0),
         in(kBerlin, 2026, 3, 29, 3, 0)},
        {"Berlin, a time after the gap is untouched", alarm(Frequency::Daily, monday, QTime(3, 30)),
         in(kBerlin, 2026, 3, 29, 0, 0), in(kBerlin, 2026, 3, 29, 3, 30)},
        {"Berlin, clocks back: 02:30 the first time", alarm(Frequency::Daily, monday, QTime(2, 30)),
         in(kBerlin, 2026, 10, 25, 0, 0), QDateTime::fromString("2026-10-25T00:30:00Z", Qt::ISODate)},
        {"Berlin, clocks back: not the second time", alarm(Frequency::Daily, monday, QTime(2, 30)),
         QDateTime::fromString("2026-10-25T00:30:00Z", Qt::ISODate).toTimeZone(kBerlin),
         in(kBerlin, 2026, 10, 26, 2, 30)},
        {"Berlin, hourly :05 on the day forward: 02:05 is skipped, 03:05 rings",
         alarm(Frequency::Hourly, monday, QTime(0, 5)), in(kBerlin, 2026, 3, 29, 1, 30),
         in(kBerlin, 2026, 3, 29, 3, 5)},
        // America/New_York: 8 March 2026 02:00 -> 03:00; 1 November 2026 02:00 -> 01:00.
        {"New York, clocks forward over 02:30", alarm(Frequency::Daily, monday, QTime(2, 30)),
         in(kNewYork, 2026, 3, 8, 0, 0), in(kNewYork, 2026, 3, 8, 3, 0)},
        {"New York, clocks back: 01:30 the first time", alarm(Frequency::Daily, monday, QTime(1, 30)),
         in(kNewYork, 2026, 11, 1, 0, 0), QDateTime::fromString("2026-11-01T05:30:00Z", Qt::ISODate)},
        {"New York, clocks back: not the second time", alarm(Frequency::Daily, monday, QTime(1, 30)),
         QDateTime::fromString("2026-11-01T05:30:00Z", Qt::ISODate).toTimeZone(kNewYork),
         in(kNewYork, 2026, 11, 2, 1, 30)},
    };
    for (const Case& c : cases) {
        const QTimeZone zone = c.after.timeZone();
        const std::optional<QDateTime> next = nextOccurrence(c.row, c.after, zone);
        ASSERT_EQ(next.has_value(), c.expected.has_value()) << c.situation;
        if (next) {
            EXPECT_EQ(next->toUTC(), c.expected->toUTC())
                << c.situation << ": " << next->toString().toStdString();
        }
    }

    AlarmEntry bad = alarm(Frequency::Daily, monday, QTime(7, 0));
    bad.dateCode = "31022026";
    EXPECT_THROW(nextOccurrence(bad, utc(2026, 12, 9, 9, 0), kUtc), ConversionError);
}

// Hourly rows as a user watching the clock sees them ring: local reading and UTC offset, in order.
TEST(NextOccurrence, HourlyRowsGoByTheClockAcrossGapsAndRepeatedHours)
{
    struct Case {
        const char* zone;
        QDateTime from; // local midnight-ish, in the zone
        int minute;
        QStringList rings;
    };
    const auto at = [](const char* zone, int y, int mo, int d, int h) {
        return QDateTime(QDate(y, mo, d), QTime(h, 0), QTimeZone(zone));
    };
    const Case cases[] = {
        // 25 October 2026 03:00 CEST -> 02:00 CET: the clock reads 02:30 twice, and rings twice.
        {"Europe/Paris",
         at("Europe/Paris", 2026, 10, 25, 0),
         30,
         {"00:30 +02:00", "01:30 +02:00", "02:30 +02:00", "02:30 +01:00", "03:30 +01:00"}},
        // 29 March 2026 02:00 CET -> 03:00 CEST: 02:30 never shows, and nothing rings at 03:00.
        {"Europe/Paris",
         at("Europe/Paris", 2026, 3, 29, 0),
         30,
         {"00:30 +01:00", "01:30 +01:00", "03:30 +02:00", "04:30 +02:00"}},
        // 27 September 2026 02:45 +12:45 -> 03:45 +13:45: a 45-minute zone skips 03:15, not 02:15.
        {"Pacific/Chatham",
         at("Pacific/Chatham", 2026, 9, 27, 1),
         15,
         {"01:15 +12:45", "02:15 +12:45", "04:15 +13:45"}},
        // 4 October 2026 02:00 +10:30 -> 02:30 +11:00, a half-hour step: 02:15 does not show.
        {"Australia/Lord_Howe",
         at("Australia/Lord_Howe", 2026, 10, 4, 1),
         15,
         {"01:15 +10:30", "03:15 +11:00"}},
        // 5 April 2026 02:00 +11:00 -> 01:30 +10:30: 01:45 shows twice.
        {"Australia/Lord_Howe",
         at("Australia/Lord_Howe", 2026, 4, 5, 0),
         45,
         {"00:45 +11:00", "01:45 +11:00", "01:45 +10:30", "02:45 +10:30"}},
    };
    for (const Case& c : cases) {
        const QTimeZone zone(c.zone);
        ASSERT_TRUE(zone.isValid()) << c.zone << ": time zone data is missing";
        const AlarmEntry row = alarm(Frequency::Hourly, QDate(2026, 1, 1), QTime(0, c.minute));
        QStringList rings;
        QDateTime after = c.from;
        for (qsizetype i = 0; i < c.rings.size(); ++i) {
            const std::optional<QDateTime> next = nextOccurrence(row, after, zone);
            ASSERT_TRUE(next) << c.zone;
            const QDateTime local = next->toTimeZone(zone);
            rings << local.toString("hh:mm ") +
                         local.timeZone().displayName(local, QTimeZone::OffsetName).mid(3);
            after = *next;
        }
        EXPECT_EQ(rings, c.rings) << c.zone << " from " << c.from.toString().toStdString();
        // Looking back from the last ring finds the ones before it in the same order.
        QStringList back;
        QDateTime notAfter = after;
        for (qsizetype i = 0; i < c.rings.size(); ++i) {
            const std::optional<QDateTime> previous = previousOccurrence(row, notAfter, zone);
            ASSERT_TRUE(previous) << c.zone;
            back.prepend(previous->toTimeZone(zone).toString("hh:mm"));
            notAfter = previous->addSecs(-1);
        }
        QStringList readings;
        for (const QString& ring : c.rings)
            readings << ring.left(5);
        EXPECT_EQ(back, readings) << c.zone;
    }
}

TEST(PreviousOccurrence, LastOneAtOrBeforeAnInstant)
{
    struct Case {
        const char* situation;
        AlarmEntry row;
        QDateTime notAfter;
        std::optional<QDateTime> expected;
    };
    const Case cases[] = {
        {"daily at the instant itself", alarm(Frequency::Daily, QDate(2026, 1, 1), QTime(7, 0)),
         utc(2026, 12, 9, 7, 0), utc(2026, 12, 9, 7, 0)},
        {"daily before today's time: yesterday", alarm(Frequency::Daily, QDate(2026, 1, 1), QTime(7, 0)),
         utc(2026, 12, 9, 6, 59, 59), utc(2026, 12, 8, 7, 0)},
        {"monthly 31st from June: May", alarm(Frequency::Monthly, QDate(2026, 1, 31), QTime(7, 0)),
         utc(2027, 6, 20, 0, 0), utc(2027, 5, 31, 7, 0)},
        {"fixed date not yet come", alarm(Frequency::FixedDate, QDate(2027, 1, 1), QTime(7, 0)),
         utc(2026, 12, 9, 0, 0), std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<QDateTime> previous = previousOccurrence(c.row, c.notAfter, kUtc);
        ASSERT_EQ(previous.has_value(), c.expected.has_value()) << c.situation;
        if (previous) {
            EXPECT_EQ(previous->toUTC(), *c.expected) << c.situation;
        }
    }
}

TEST(Scheduler, CatchUpAfterTheClockJumpsForward)
{
    const QDate day(2026, 12, 7);
    struct Case {
        const char* situation;
        QDateTime from, to;
        QList<QDateTime> ring;
        QList<QDateTime> missed;
    };
    // Rows: daily 07:00, daily 07:05, hourly at minute 30.
    const QList<AlarmEntry> rows = {alarm(Frequency::Daily, day, QTime(7, 0), "", 0),
                                    alarm(Frequency::Daily, day, QTime(7, 5), "", 1),
                                    alarm(Frequency::Hourly, day, QTime(0, 30), "", 2)};
    const Case cases[] = {
        {"a stall of a few seconds over 07:00: rings late",
         utc(2026, 12, 7, 6, 59, 58),
         utc(2026, 12, 7, 7, 0, 3),
         {utc(2026, 12, 7, 7, 0)},
         {}},
        {"a resume 8 minutes after 07:00: both ring, in due order",
         utc(2026, 12, 7, 6, 50),
         utc(2026, 12, 7, 7, 8),
         {utc(2026, 12, 7, 7, 0), utc(2026, 12, 7, 7, 5)},
         {}},
        {"a resume at 07:12: 07:00 is too late, 07:05 still rings",
         utc(2026, 12, 7, 6, 50),
         utc(2026, 12, 7, 7, 12),
         {utc(2026, 12, 7, 7, 5)},
         {utc(2026, 12, 7, 7, 0)}},
        {"asleep until 08:35: the hourly row's 07:30 is listed, its 08:30 still rings",
         utc(2026, 12, 7, 6, 0),
         utc(2026, 12, 7, 8, 35),
         {utc(2026, 12, 7, 8, 30)},
         {utc(2026, 12, 7, 7, 0), utc(2026, 12, 7, 7, 5), utc(2026, 12, 7, 7, 30)}},
        {"two days asleep: each row's latest missed occurrence is listed once",
         utc(2026, 12, 5, 6, 0),
         utc(2026, 12, 7, 9, 0),
         {},
         {utc(2026, 12, 7, 7, 0), utc(2026, 12, 7, 7, 5), utc(2026, 12, 7, 8, 30)}},
    };
    for (const Case& c : cases) {
        AlarmScheduler scheduler(kUtc);
        scheduler.startFrom(c.from);
        const CheckResult found = scheduler.check(rows, c.to);
        EXPECT_EQ(dues(found.ring), c.ring) << c.situation;
        EXPECT_EQ(dues(found.missed), c.missed) << c.situation;
        EXPECT_TRUE(scheduler.check(rows, c.to.addSecs(1)).ring.isEmpty())
            << c.situation << ": handed out twice";
    }
}

TEST(Scheduler, EachOccurrenceOnceWhateverTheClockDoes)
{
    const QDate day(2026, 12, 7);
    const QList<AlarmEntry> rows = {alarm(Frequency::Daily, day, QTime(7, 0), "", 3),
                                    alarm(Frequency::Daily, day, QTime(7, 0), "", 1)};
    AlarmScheduler scheduler(kUtc);
    QList<QPair<int, QDateTime>> rang;
    const auto runTo = [&](QDateTime from, QDateTime to) {
        for (QDateTime t = from; t <= to; t = t.addMSecs(250))
            for (const Occurrence& o : scheduler.check(rows, t).ring)
                rang.append({o.index, o.due.toUTC()});
    };
    runTo(utc(2026, 12, 7, 6, 59, 58), utc(2026, 12, 7, 7, 0, 5));
    // Two alarms of the same second: both, in list order.
    ASSERT_EQ(rang, (QList<QPair<int, QDateTime>>{{0, utc(2026, 12, 7, 7, 0)}, {1, utc(2026, 12, 7, 7, 0)}}));
    // The clock set back a minute over 07:00 rings nothing again; the next day rings again.
    runTo(utc(2026, 12, 7, 6, 59, 0), utc(2026, 12, 7, 7, 0, 30));
    EXPECT_EQ(rang.size(), 2);
    runTo(utc(2026, 12, 8, 6, 59, 58), utc(2026, 12, 8, 7, 0, 1));
    EXPECT_EQ(rang.size(), 4);
    // Set back a whole day: the occurrences not yet handed out in that day still ring.
    const QList<AlarmEntry> later = {alarm(Frequency::Daily, day, QTime(9, 0), "", 2)};
    AlarmScheduler back(kUtc);
    back.startFrom(utc(2026, 12, 8, 10, 0));
    EXPECT_TRUE(back.check(later, utc(2026, 12, 7, 8, 0)).ring.isEmpty());
    EXPECT_EQ(dues(back.check(later, utc(2026, 12, 7, 9, 0, 1)).ring),
              QList<QDateTime>{utc(2026, 12, 7, 9, 0)});
}

TEST(Scheduler, NextDueFollowsTheRowsAndTheInstantChecked)
{
    const QDate day(2026, 12, 7);
    QList<AlarmEntry> rows = {alarm(Frequency::Daily, day, QTime(9, 0), "", 0),
                              alarm(Frequency::FixedDate, QDate(2026, 1, 1), QTime(7, 0), "", 1)};
    AlarmScheduler scheduler(kUtc);
    EXPECT_FALSE(scheduler.nextDue(rows)) << "nothing is known before the first check";
    scheduler.check(rows, utc(2026, 12, 7, 8, 0));
    EXPECT_EQ(scheduler.nextDue(rows), utc(2026, 12, 7, 9, 0));
    EXPECT_FALSE(scheduler.nextDueOf(rows, 1)) << "a past fixed date will not ring again";
    rows[0] = alarm(Frequency::Daily, day, QTime(8, 30), "", 0); // edited in the list
    EXPECT_EQ(scheduler.nextDue(rows), utc(2026, 12, 7, 8, 30));
    scheduler.check(rows, utc(2026, 12, 7, 8, 30));
    EXPECT_EQ(scheduler.nextDue(rows), utc(2026, 12, 8, 8, 30));
    rows.removeFirst();
    EXPECT_FALSE(scheduler.nextDue(rows));

    // A row added for a time a moment ago is not caught up: it waits for tomorrow.
    rows.append(alarm(Frequency::Daily, day, QTime(8, 29, 50), "", 5));
    EXPECT_TRUE(scheduler.check(rows, utc(2026, 12, 7, 8, 30, 5)).ring.isEmpty());
    EXPECT_EQ(scheduler.nextDue(rows), utc(2026, 12, 8, 8, 29, 50));
    AlarmScheduler fresh(kUtc); // started without a stored instant, a row added in its first seconds
    fresh.check({}, utc(2026, 12, 7, 8, 29, 45));
    EXPECT_TRUE(fresh.check(rows, utc(2026, 12, 7, 8, 29, 55)).ring.isEmpty());
    AlarmScheduler launched(kUtc); // started from the launch, first checked within the same second
    launched.startFrom(utc(2026, 12, 7, 8, 29, 45));
    launched.check({}, utc(2026, 12, 7, 8, 29, 45).addMSecs(400));
    EXPECT_TRUE(launched.check(rows, utc(2026, 12, 7, 8, 29, 55)).ring.isEmpty())
        << "a row added later was caught up";
    EXPECT_EQ(nextChimeBoundary(utc(2026, 12, 7, 8, 14, 59)), utc(2026, 12, 7, 8, 15));
    EXPECT_EQ(nextChimeBoundary(utc(2026, 12, 7, 8, 15)), utc(2026, 12, 7, 8, 30));
}
