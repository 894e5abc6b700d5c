#include "clockface/hourly_chime.h"

#include "media/run_play_window.h"
#include "platform/clock.h"

HourlyChime::HourlyChime(const LiveOptions& options, const Clock& clock, TFormRunPlay& player)
    : m_options(options), m_clock(clock), m_player(player)
{
}

void HourlyChime::step()
{
    const ChimeOptions chime = m_options.chimes();
    if (!m_memory.startNow(chime, m_clock.now(), m_player.Playing()))
        return;
    m_player.setMediaFile(chime.file);
    m_player.ButtonPlayClick();
}
