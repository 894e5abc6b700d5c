#include "ringing/alarm_schedule.h"

namespace {

bool dateMatches(const AlarmEntry& row, const QDate& today)
{
    const CalendarDate code = decodeDateCode(row.dateCode);
    const QByteArray& text = row.frequencyText;
    if (text == frequencyBytes(int(Frequency::Hourly)) || text == frequencyBytes(int(Frequency::Daily)))
        return true;
    if (text == frequencyBytes(int(Frequency::FixedDate)))
        return today.year() == code.year && today.month() == code.month && today.day() == code.day;
    if (text == frequencyBytes(int(Frequency::Monthly)))
        return today.day() == code.day;
    if (text == frequencyBytes(int(Frequency::Yearly)))
        return today.month() == code.month && today.day() == code.day;
    if (text == frequencyBytes(int(Frequency::Weekly))) {
        const int weekday = today.dayOfWeek() % 7 + 1; // 1 = Sunday ... 7 = Saturday
        return row.weekdayMask.size() >= weekday && row.weekdayMask[weekday - 1] == '1';
    }
    return false;
}

} // namespace

bool isAlarmDue(const AlarmEntry& row, const QDateTime& now)
{
    const TimeOfDay code = decodeTimeCode(row.timeCode);
    const QTime t = now.time();
    bool timeMatches = t.minute() == code.minute && t.second() == code.second &&
                       (row.frequencyText == frequencyBytes(int(Frequency::Hourly)) || t.hour() == code.hour);
    // The date is decoded whatever the time, so a damaged code is found at the first tick.
    const bool date = dateMatches(row, now.date());
    return timeMatches && date;
}

void AlarmScheduler::tick(const QList<AlarmEntry>& rows, const NowFunction& now, const bool& ringing,
                          const RingFunction& ring)
{
    // The time is read once per tick and again after each ringing window, which may have run for
    // minutes: the rows after it are compared with the time at that later moment.
    QDateTime t = now();
    noteSecond(t);
    const qsizetype count = rows.size();
    for (qsizetype i = 0; i < count && i < rows.size(); ++i) {
        if (!isAlarmDue(rows[i], t) || ringing || m_rungThisSecond.contains(rows[i].alarmNumber))
            continue;
        m_rungThisSecond.insert(rows[i].alarmNumber);
        ring(int(i));
        t = now();
        noteSecond(t);
    }
}

void AlarmScheduler::noteSecond(const QDateTime& t)
{
    // Wall-clock seconds: a clock set back to a second already rung makes it a new occurrence,
    // because the ticks in between saw other seconds.
    const qint64 second = t.date().toJulianDay() * 86400 + t.time().msecsSinceStartOfDay() / 1000;
    if (second != m_second) {
        m_second = second;
        m_rungThisSecond.clear();
    }
}
