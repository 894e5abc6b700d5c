#pragma once

/// Turning the display off, standby and shutting down. Results are not reported: an alarm that
/// could not put the machine to sleep has still rung.
class PowerControl {
public:
    virtual ~PowerControl() = default;
    virtual void displayOff() = 0;
    virtual void standby() = 0;
    virtual void shutDown() = 0;
};

/// systemd-logind over the system bus for standby and shutdown; on X11, DPMS for the display
/// where the server has it, else the X screen saver.
class LinuxPowerControl final : public PowerControl {
public:
    void displayOff() override;
    void standby() override;
    void shutDown() override;
};
