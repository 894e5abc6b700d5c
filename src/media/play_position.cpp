#include "media/play_position.h"

#include <algorithm>
#include <cmath>

void PlayPosition::known(std::int64_t ms, std::int64_t nowMs)
{
    m_ms = ms;
    m_since = nowMs;
}

void PlayPosition::play(std::int64_t nowMs, double rate)
{
    if (m_ms)
        m_ms = at(nowMs, std::nullopt);
    m_since = nowMs;
    m_playing = true;
    m_rate = rate;
}

void PlayPosition::hold(std::int64_t nowMs)
{
    if (m_ms)
        m_ms = at(nowMs, std::nullopt);
    m_since = nowMs;
    m_playing = false;
}

std::optional<std::int64_t> PlayPosition::at(std::int64_t nowMs, std::optional<std::int64_t> durationMs) const
{
    if (!m_ms)
        return std::nullopt;
    std::int64_t ms = *m_ms;
    if (m_playing && nowMs > m_since)
        ms += std::llround(double(nowMs - m_since) * m_rate);
    return durationMs ? std::min(ms, std::max(*durationMs, *m_ms)) : ms;
}
