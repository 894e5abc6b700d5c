#pragma once

class Autostart;
class Clock;
class OutputVolume;
class PowerControl;

/// What the composition root hands to the windows: the platform services and the clock they use.
/// Tests build one from fakes and a clock they control.
struct Services {
    Clock& clock;
    Autostart& autostart;
    OutputVolume& volume;
    PowerControl& power;
};
