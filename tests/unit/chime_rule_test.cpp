#include <gtest/gtest.h>

#include <QList>
#include <QStringList>

#include "clockface/chime_rule.h"
#include "platform/clock.h"

namespace {

const QDate kDay(2026, 12, 7);

ChimeOptions chimeOptions(bool hourly, bool halfHourly, bool quarterHourly)
{
    ChimeOptions o;
    o.hourly = hourly, o.halfHourly = halfHourly, o.quarterHourly = quarterHourly;
    return o;
}

ChimeOptions inRange(ChimeOptions o, QTime from, QTime to)
{
    o.onlyBetween = true, o.from = from, o.to = to;
    return o;
}

/// Runs the step every 200 ms over a whole day, starting at `offsetMs` past midnight, with a player that is
/// never busy (a chime over before the next step); the times at which a chime started, as "H:mm:ss.zzz".
/// The day is counted in UTC, which has the same clock readings and is much quicker to step through.
QStringList chimesOverADay(const ChimeOptions& options, int offsetMs = 0)
{
    ManualClock clock(QDateTime(kDay, QTime(0, 0), Qt::UTC).addMSecs(offsetMs));
    ChimeMemory memory;
    QStringList started;
    while (clock.now().date() == kDay) {
        if (memory.startNow(options, clock.now(), false))
            started << clock.now().time().toString("H:mm:ss.zzz");
        clock.advanceMs(200);
    }
    return started;
}

} // namespace

TEST(ChimeRule, OneChimePerDueMinuteOverASimulatedDay)
{
    struct Case {
        const char* situation;
        ChimeOptions options;
        int chimes;
        QStringList sounding;
        QStringList silent;
    };
    const ChimeOptions all = chimeOptions(true, true, true);
    const Case cases[] = {
        {"all three kinds, no range", all, 96, {"0:00", "9:15", "12:30", "23:45"}, {"9:05", "9:20"}},
        {"range 8:00:00-22:00:00",
         inRange(all, QTime(8, 0), QTime(22, 0)),
         57,
         {"8:00", "21:45", "22:00"},
         {"7:45", "22:15", "0:00"}},
        {"range 22:00:00-06:00:00 wraps past midnight",
         inRange(all, QTime(22, 0), QTime(6, 0)),
         33,
         {"22:00", "23:00", "0:00", "5:45", "6:00"},
         {"12:00", "6:15", "21:45"}},
        {"range start equal to end",
         inRange(all, QTime(13, 7, 9), QTime(13, 7, 9)),
         96,
         {"0:00", "13:00", "13:15"},
         {}},
        {"range 8:00:01-22:00:00 leaves 8:00 out",
         inRange(all, QTime(8, 0, 1), QTime(22, 0)),
         56,
         {"8:15"},
         {"8:00"}},
        {"half-hourly off, quarter-hourly on", chimeOptions(true, false, true), 96, {"10:30"}, {}},
        {"half-hourly alone", chimeOptions(false, true, false), 24, {"10:30"}, {"10:00", "10:15", "10:45"}},
        {"hourly alone in a range",
         inRange(chimeOptions(true, false, false), QTime(9, 0), QTime(11, 0)),
         3,
         {"9:00", "10:00", "11:00"},
         {"12:00"}},
        {"all off", chimeOptions(false, false, false), 0, {}, {}},
    };
    for (const Case& c : cases) {
        for (int offset : {0, 130}) {
            const QStringList started = chimesOverADay(c.options, offset);
            EXPECT_EQ(started.size(), c.chimes) << c.situation << " offset " << offset;
            const QString first = QTime(0, 0).addMSecs(offset).toString(".zzz");
            for (const QString& t : c.sounding)
                EXPECT_TRUE(started.contains(t + ":00" + first)) << c.situation << ": " << t.toStdString();
            for (const QString& t : c.silent)
                EXPECT_FALSE(started.contains(t + ":00" + first)) << c.situation << ": " << t.toStdString();
        }
    }
}

TEST(ChimeRule, ABusyPlayerHoldsTheChimeBackWithinItsSecondOnly)
{
    const ChimeOptions all = chimeOptions(true, true, true);
    ChimeMemory memory;
    const QDateTime due(kDay, QTime(10, 0));
    // An alarm plays through the first steps of the due second, then ends; the chime follows in that second.
    EXPECT_FALSE(memory.startNow(all, due, true));
    EXPECT_FALSE(memory.startNow(all, due.addMSecs(200), true));
    EXPECT_TRUE(memory.startNow(all, due.addMSecs(400), false));
    EXPECT_FALSE(memory.startNow(all, due.addMSecs(600), false));
    // An alarm that plays through the whole second takes the chime's place.
    EXPECT_FALSE(memory.startNow(all, due.addSecs(900), true));
    EXPECT_FALSE(memory.startNow(all, due.addSecs(901), false));
}

TEST(ChimeRule, AClockSetBackChimesAgainWhenTheMinuteComesRound)
{
    const ChimeOptions hourly = chimeOptions(true, false, false);
    ChimeMemory memory;
    const QDateTime due(kDay, QTime(10, 0));
    EXPECT_TRUE(memory.startNow(hourly, due, false));
    EXPECT_FALSE(memory.startNow(hourly, due.addMSecs(800), false));
    EXPECT_FALSE(memory.startNow(hourly, due.addSecs(-5), false)); // set back a few seconds
    EXPECT_TRUE(memory.startNow(hourly, due, false));
    EXPECT_TRUE(memory.startNow(hourly, due.addDays(1), false)); // the same minute the next day
}
