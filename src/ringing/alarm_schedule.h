#pragma once

#include <functional>

#include <QDateTime>
#include <QList>
#include <QSet>

#include "alarms/alarm_record.h"

/// Whether a row's alarm is due at this local date and time, to the second. Hourly alarms match on
/// minute and second alone; the frequency text is compared byte for byte, trailing blanks included,
/// and an unknown text never matches. A code that does not decode raises ConversionError.
bool isAlarmDue(const AlarmEntry& row, const QDateTime& now);

/// The scheduler's tick: tests every row in list order and rings the first due alarm while no
/// ringing window is open. `ring` runs the ringing window to its end before the tick goes on, so
/// the time is read anew for each row.
class AlarmScheduler {
public:
    using NowFunction = std::function<QDateTime()>;
    using RingFunction = std::function<void(int row)>;

    /// `rows` is read at each step, since a nested ring may run for minutes. `ringing` is the guard
    /// that keeps a second ringing window from opening.
    void tick(const QList<AlarmEntry>& rows, const NowFunction& now, const bool& ringing, const RingFunction& ring);

private:
    void noteSecond(const QDateTime& t);

    // An occurrence rings once: a window closed within its second does not bring the same alarm
    // back at the next tick of that second.
    qint64 m_second = -1;
    QSet<QByteArray> m_rungThisSecond;
};
