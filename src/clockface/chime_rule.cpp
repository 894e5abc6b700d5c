#include "clockface/chime_rule.h"

bool chimeDue(const ChimeOptions& options, QTime now)
{
    if (now.second() != 0)
        return false;
    const int m = now.minute();
    const bool quarter = m == 15 || m == 30 || m == 45;
    const bool due =
        (m == 0 && options.hourly) || (m == 30 && options.halfHourly) || (quarter && options.quarterHourly);
    if (!due || !options.onlyBetween)
        return due;
    const QTime at(now.hour(), m, 0);
    const QTime start(options.from.hour(), options.from.minute(), options.from.second());
    const QTime end(options.to.hour(), options.to.minute(), options.to.second());
    if (end > start)
        return start <= at && at <= end;
    return at >= start || at <= end;
}

bool ChimeMemory::startNow(const ChimeOptions& options, const QDateTime& now, bool playerPlaying)
{
    const QTime time = now.time();
    const qint64 minute = now.date().toJulianDay() * 1440 + time.hour() * 60 + time.minute();
    if (m_chimedMinute && *m_chimedMinute != minute)
        m_chimedMinute.reset();
    if (m_chimedMinute || playerPlaying || !chimeDue(options, time))
        return false;
    m_chimedMinute = minute;
    return true;
}
