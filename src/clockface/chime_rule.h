#pragma once

#include <optional>

#include <QDateTime>
#include <QTime>

#include "clockface/live_options.h"

/// Whether a chime is due at this time of day: at second 0 of minute 0 (hourly), 30 (half-hourly or
/// quarter-hourly) and 15 or 45 (quarter-hourly); milliseconds do not count. With the range in force the
/// minute must also lie within it, both ends included; a range whose end is not after its start wraps
/// past midnight, so a start equal to the end lets every chime through.
bool chimeDue(const ChimeOptions& options, QTime now);

/// Decides, at each step, whether to start a chime. A due second lasts several steps, and a chime
/// shorter than a second is over before the next one, so the minute that had its chime is remembered:
/// one chime per due minute, and a chime file that cannot be played is tried (and reported) once.
class ChimeMemory {
public:
    /// True when a chime is to start now: it is due, the player is not playing, and this minute has not
    /// had its chime. The minute is then taken as chimed, before the chime is started.
    bool startNow(const ChimeOptions& options, const QDateTime& now, bool playerPlaying);

private:
    /// The minute of the last chime (minutes since the start of the calendar, local time), forgotten at
    /// the first step outside it, so a clock set back chimes again when the minute comes round.
    std::optional<qint64> m_chimedMinute;
};
