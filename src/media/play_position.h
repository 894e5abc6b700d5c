#pragma once

#include <cstdint>
#include <optional>

/// The playing position to report when the media framework cannot tell it: the last position it did
/// tell (or the file was moved to), moved on by the time played since, at the playing rate, and never
/// past the end. Held still while the file is paused or stopped. Times are milliseconds of a steady
/// clock, given by the caller.
///
/// The framework reads the position off its pipeline clock. A sound server's clock can leap past half
/// its range just as playing resumes after a pause; from then on the framework answers the start of the
/// file for as long as the file plays, though the sound goes on from where it was paused.
class PlayPosition {
public:
    /// The file is at `ms` at `nowMs`: as the framework answered, or as it was loaded or moved to.
    void known(std::int64_t ms, std::int64_t nowMs);
    /// The file plays from `nowMs` on, `rate` milliseconds of the file in each millisecond.
    void play(std::int64_t nowMs, double rate);
    /// The file is paused or stopped at `nowMs`.
    void hold(std::int64_t nowMs);
    /// Nothing is loaded any more.
    void forget() { *this = PlayPosition(); }

    /// Where the file is at `nowMs`; none when no position was ever known.
    std::optional<std::int64_t> at(std::int64_t nowMs, std::optional<std::int64_t> durationMs) const;

private:
    std::optional<std::int64_t> m_ms;
    std::int64_t m_since = 0;
    bool m_playing = false;
    double m_rate = 1.0;
};
