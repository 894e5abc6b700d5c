#include "ringing/alarm_occurrence.h"

#include <algorithm>
#include <limits>

#include <QList>

namespace {

enum class Rule { FixedDate, Hourly, Daily, Weekly, Monthly, Yearly };

struct RowRule {
    Rule rule;
    TimeOfDay time;
    CalendarDate date;
    QByteArray weekdayMask;
};

std::optional<RowRule> ruleOf(const AlarmEntry& row)
{
    static const std::pair<Frequency, Rule> kRules[] = {
        {Frequency::FixedDate, Rule::FixedDate}, {Frequency::Hourly, Rule::Hourly},
        {Frequency::Daily, Rule::Daily},         {Frequency::Weekly, Rule::Weekly},
        {Frequency::Monthly, Rule::Monthly},     {Frequency::Yearly, Rule::Yearly},
    };
    // Both codes are decoded whatever the frequency, so a damaged row is found as soon as it is looked at.
    const TimeOfDay time = decodeTimeCode(row.timeCode);
    const CalendarDate date = decodeDateCode(row.dateCode);
    for (auto [frequency, rule] : kRules)
        if (row.frequencyText == frequencyBytes(int(frequency)))
            return RowRule{rule, time, date, row.weekdayMask};
    return std::nullopt;
}

bool weekdayMarked(const QByteArray& mask, const QDate& date)
{
    const int weekday = date.dayOfWeek() % 7 + 1; // 1 = Sunday ... 7 = Saturday
    return mask.size() >= weekday && mask[weekday - 1] == '1';
}

/// The first date on or after `from` (direction +1) or on or before it (-1) on which the rule
/// matches. Monthly and yearly rules step by month and by year; 29 February recurs within 8 years.
std::optional<QDate> matchingDate(const RowRule& r, const QDate& from, int direction)
{
    const auto inDirection = [&](const QDate& d) { return direction > 0 ? d >= from : d <= from; };
    switch (r.rule) {
    case Rule::Hourly:
    case Rule::Daily:
        return from;
    case Rule::FixedDate: {
        const QDate d(r.date.year, r.date.month, r.date.day);
        return inDirection(d) ? std::optional(d) : std::nullopt;
    }
    case Rule::Weekly:
        for (int i = 0; i < 7; ++i)
            if (const QDate d = from.addDays(i * direction); weekdayMarked(r.weekdayMask, d))
                return d;
        return std::nullopt;
    case Rule::Monthly:
        for (int i = 0; i < 14; ++i) {
            const QDate month = QDate(from.year(), from.month(), 1).addMonths(i * direction);
            if (!month.isValid() || !isValidDate(month.year(), month.month(), r.date.day))
                continue;
            if (const QDate d(month.year(), month.month(), r.date.day); inDirection(d))
                return d;
        }
        return std::nullopt;
    case Rule::Yearly:
        for (int i = 0; i <= 8; ++i) {
            const int year = from.year() + i * direction;
            if (!isValidDate(year, r.date.month, r.date.day))
                continue;
            if (const QDate d(year, r.date.month, r.date.day); inDirection(d))
                return d;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

qint64 offsetAt(const QTimeZone& zone, qint64 utcSeconds)
{
    return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(utcSeconds, QTimeZone::utc()));
}

/// The first instant (seconds since the epoch) at which the zone's clocks show this date and time.
qint64 firstInstantOf(const QDate& date, const QTime& time, const QTimeZone& zone)
{
    // The local reading as if it were UTC; the true instant lies within a day of it.
    const qint64 naive = QDateTime(date, time, QTimeZone::utc()).toSecsSinceEpoch();
    const qint64 offsetBefore = offsetAt(zone, naive - 86400);
    const qint64 offsetAfter = offsetAt(zone, naive + 86400);
    qint64 first = std::numeric_limits<qint64>::max();
    for (const qint64 offset : {offsetBefore, offsetAfter})
        if (offsetAt(zone, naive - offset) == offset)
            first = std::min(first, naive - offset);
    if (first != std::numeric_limits<qint64>::max())
        return first;
    // The clocks went forward over this time: the first instant after the gap is the transition.
    const QTimeZone::OffsetData transition = zone.nextTransition(
        QDateTime::fromSecsSinceEpoch(naive - std::max(offsetBefore, offsetAfter) - 1, QTimeZone::utc()));
    return transition.atUtc.isValid() ? transition.atUtc.toSecsSinceEpoch() : naive - offsetBefore;
}

/// Every instant at which the zone's clocks show this date and time: none inside a gap, two in an
/// hour the clocks repeat.
QList<qint64> everyInstantOf(const QDate& date, const QTime& time, const QTimeZone& zone)
{
    const qint64 naive = QDateTime(date, time, QTimeZone::utc()).toSecsSinceEpoch();
    QList<qint64> instants;
    for (const qint64 offset : {offsetAt(zone, naive - 86400), offsetAt(zone, naive + 86400)})
        if (offsetAt(zone, naive - offset) == offset && !instants.contains(naive - offset))
            instants.append(naive - offset);
    return instants;
}

/// The row's instants on a date it matches, earliest first.
QList<qint64> instantsOn(const RowRule& r, const QDate& date, const QTimeZone& zone)
{
    QList<qint64> instants;
    if (r.rule == Rule::Hourly) {
        // By the clock: whenever it shows the row's minute and second, so both passes of a repeated
        // hour ring and a reading the clocks skip does not.
        for (int hour = 0; hour < 24; ++hour)
            instants.append(everyInstantOf(date, QTime(hour, r.time.minute, r.time.second), zone));
        std::sort(instants.begin(), instants.end());
    } else {
        instants.append(firstInstantOf(date, QTime(r.time.hour, r.time.minute, r.time.second), zone));
    }
    return instants;
}

QDate localDate(const QDateTime& t, const QTimeZone& zone)
{
    return t.toTimeZone(zone).date();
}

} // namespace

bool isKnownFrequency(const QByteArray& frequencyText)
{
    for (int i = 0; i < kFrequencyCount; ++i)
        if (frequencyText == frequencyBytes(i))
            return true;
    return false;
}

std::optional<QDateTime> nextOccurrence(const AlarmEntry& row, const QDateTime& after, const QTimeZone& zone)
{
    const std::optional<RowRule> rule = ruleOf(row);
    if (!rule)
        return std::nullopt;
    const qint64 afterSeconds = after.toSecsSinceEpoch();
    // A day early: an occurrence of yesterday's date may still lie ahead when the zone changed.
    QDate from = localDate(after, zone).addDays(-1);
    for (int step = 0; step < 16 && from.isValid(); ++step) {
        const std::optional<QDate> date = matchingDate(*rule, from, +1);
        if (!date)
            return std::nullopt;
        for (const qint64 instant : instantsOn(*rule, *date, zone))
            if (instant > afterSeconds)
                return QDateTime::fromSecsSinceEpoch(instant, zone);
        from = date->addDays(1);
    }
    return std::nullopt;
}

std::optional<QDateTime> previousOccurrence(const AlarmEntry& row, const QDateTime& notAfter,
                                            const QTimeZone& zone)
{
    const std::optional<RowRule> rule = ruleOf(row);
    if (!rule)
        return std::nullopt;
    const qint64 limit = notAfter.toSecsSinceEpoch();
    QDate from = localDate(notAfter, zone).addDays(1);
    for (int step = 0; step < 16 && from.isValid(); ++step) {
        const std::optional<QDate> date = matchingDate(*rule, from, -1);
        if (!date)
            return std::nullopt;
        const QList<qint64> instants = instantsOn(*rule, *date, zone);
        for (auto it = instants.rbegin(); it != instants.rend(); ++it)
            if (*it <= limit)
                return QDateTime::fromSecsSinceEpoch(*it, zone);
        from = date->addDays(-1);
    }
    return std::nullopt;
}
