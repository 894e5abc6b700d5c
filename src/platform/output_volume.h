#pragma once

#include <optional>

#include <QtGlobal>

/// The output device's volume as the program packs it: the left channel's level (0..65535) in the
/// low 16 bits, the right channel's in the high 16 bits.
struct DeviceVolume {
    quint32 packed = 0;
    bool muted = false;
    bool operator==(const DeviceVolume&) const = default;
};

/// The volume of the default output device.
class OutputVolume {
public:
    virtual ~OutputVolume() = default;
    /// The current volume and mute state; nothing when there is no sound server.
    virtual std::optional<DeviceVolume> read() = 0;
    /// Sets both channels from a packed value. Without a server nothing happens.
    virtual void setVolume(quint32 packed) = 0;
    virtual void setMuted(bool muted) = 0;
    /// The sound server the calls reach, as a number that differs for a server restarted meanwhile;
    /// 0 when none answers.
    virtual quint64 server() = 0;
    /// Lets go of the connection to the sound server until the next call needs it again.
    virtual void release() {}
};

/// The default sink of the PulseAudio server (PipeWire desktops serve the same protocol). Every call
/// gives up after a moment, so a hung server never freezes the clock; failures are silent.
class PulseOutputVolume final : public OutputVolume {
public:
    PulseOutputVolume();
    ~PulseOutputVolume() override;
    std::optional<DeviceVolume> read() override;
    void setVolume(quint32 packed) override;
    void setMuted(bool muted) override;
    /// The server's own random cookie, which a restarted server draws anew. While none answers it
    /// is looked for at most once a second.
    quint64 server() override;
    void release() override;

    class Connection;

private:
    Connection* connection();

    Connection* m_connection = nullptr;
    qint64 m_lastMissedMs = -1; // when a look for a server last found none, by the monotonic clock
};

/// A 16-bit channel level (65535 = full) as a PulseAudio volume (65536 = 100 %), and back.
quint32 pulseFromLevel(quint32 level16);
quint32 levelFromPulse(quint32 pulse);
