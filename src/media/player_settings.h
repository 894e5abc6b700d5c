#pragma once

/// The options the ringing player reads at each play command. The options dialog provides the live
/// values; until it does, `FixedPlayerSettings` stands in.
class PlayerSettings {
public:
    virtual ~PlayerSettings() = default;

    /// "Play alarm videos full screen": a video that opens the player's window goes full screen about
    /// one second after it starts.
    virtual bool fullScreenVideo() const = 0;
};

/// Settings held in memory, false unless set.
class FixedPlayerSettings : public PlayerSettings {
public:
    explicit FixedPlayerSettings(bool fullScreenVideo = false) : m_fullScreenVideo(fullScreenVideo) {}

    bool fullScreenVideo() const override { return m_fullScreenVideo; }
    void setFullScreenVideo(bool on) { m_fullScreenVideo = on; }

private:
    bool m_fullScreenVideo;
};

/// The settings the program uses while no options dialog supplies them: no full screen.
inline const PlayerSettings& defaultPlayerSettings()
{
    static const FixedPlayerSettings settings;
    return settings;
}
