#pragma once

#include <optional>

#include <QDateTime>
#include <QTimeZone>

#include "alarms/alarm_record.h"

/// Whether the frequency text is one the scheduler knows, byte for byte, trailing blanks included.
/// A row with any other text never rings.
bool isKnownFrequency(const QByteArray& frequencyText);

/// The first instant strictly after `after` at which the row is due: the local date and time of day
/// (in `zone`) match the row as the frequency text says. Weekly rows match on the marked weekdays
/// (Sunday first); monthly rows on day dd of the months that have it; yearly rows on mm-dd, so 29
/// February only in leap years; a fixed date once.
///
/// Daylight saving: hourly rows go by the clock, at every instant whose local reading has the row's
/// minute and second, so an hour the clocks repeat rings on both passes and a reading inside a gap is
/// not due. For every other frequency a time of day that does not exist on a date (the clocks go
/// forward over it) occurs at the first instant after the gap, and one that occurs twice (the clocks
/// go back) occurs only the first time.
///
/// Nothing for an unknown frequency text or a rule that will not match again. A code that does not
/// decode raises ConversionError.
std::optional<QDateTime> nextOccurrence(const AlarmEntry& row, const QDateTime& after,
                                        const QTimeZone& zone = QTimeZone::systemTimeZone());

/// The last instant at or before `notAfter` at which the row was due, by the same rules.
std::optional<QDateTime> previousOccurrence(const AlarmEntry& row, const QDateTime& notAfter,
                                            const QTimeZone& zone = QTimeZone::systemTimeZone());
