#pragma once

#include "clockface/chime_rule.h"

class Clock;
class LiveOptions;
class TFormRunPlay;

/// The chime step that ends every scheduler tick: plays the chime file through the ringing player when a
/// chime is due and the player is not playing (an alarm's sound or an earlier chime is never cut).
class HourlyChime {
public:
    /// All three must outlive the step.
    HourlyChime(const LiveOptions& options, const Clock& clock, TFormRunPlay& player);

    /// One step. A chime file that cannot be played raises the player's media error, once per due minute.
    void step();

private:
    const LiveOptions& m_options;
    const Clock& m_clock;
    TFormRunPlay& m_player;
    ChimeMemory m_memory;
};
