#pragma once

#include <functional>
#include <optional>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "alarms/alarm_settings_file.h"

/// What a ringing tick asks of the world: the ringing player, the output device and the machine.
/// The ringing window carries these out; tests record them.
class RingingActions {
public:
    virtual ~RingingActions() = default;
    /// The player has nothing loaded: its media graph is not active.
    virtual bool playerIdle() const = 0;
    /// Loads a file into the player and starts it; raises when the file cannot be played.
    virtual void playFile(const QString& path) = 0;
    /// The file is there to be played (it may still fail to play).
    virtual bool fileExists(const QString& path) const = 0;
    /// Stops the player and closes its window.
    virtual void closePlayer() = 0;
    /// Sets the output device to a packed volume: left level in the low 16 bits, right in the high.
    virtual void setDeviceVolume(quint32 packed) = 0;
    /// Asks the ringing window to close once the tick has returned.
    virtual void requestClose() = 0;
    /// 1 turns the display off, 2 puts the machine on standby, 3 shuts it down.
    virtual void powerAction(int action) = 0;
};

/// Why an alarm rings its built-in sound instead of what it was set to play: an alarm never rings in
/// silence.
enum class SoundFallback {
    None,
    /// Play music with an empty play list, or neither play music nor play sound.
    EmptyList,
    /// The play list has entries, but every one is missing or failed to play.
    NothingPlayable,
    /// The alarm plays a built-in sound, but its number names none (outside 0 to 10).
    UnknownSound,
};

/// The line the ringing window shows for a fallback; empty for none.
QString soundFallbackNote(SoundFallback fallback);

/// The ringing of one alarm, from the moment its window opens until it closes: which file plays
/// next, fade-in, snooze and automatic snooze, and what happens when a play list has been played
/// through. Driven by ticks that carry the time, so hours of ringing run in milliseconds in tests.
///
/// An alarm that has nothing it can play rings its built-in sound instead (its sound index when it
/// names one, else the first), repeated as a built-in sound is: when it is loaded with an empty play
/// list or with neither kind of sound, at the first tick of a pass when none of the list's files is
/// there, or when a pass through the list ends without any entry having started. From then on it
/// stays on the sound until the window closes, snoozes included, and the ticks never stop for it.
class RingingSession {
public:
    /// The window opens: the ringing starts now, from the first entry.
    void start(const QDateTime& now);
    /// Takes the settings the ringing reader read; fields it did not reach stay at zero.
    void load(const AlarmSettings& settings, const QString& programFolder);

    /// The packed device volume for `percent` of this alarm's volume.
    quint32 deviceVolume(int percent) const;
    /// The window is shown: the device goes to the alarm's full volume.
    void show(RingingActions& actions) const { actions.setDeviceVolume(deviceVolume(100)); }
    /// One 200 ms tick: the play list or sound, fade-in, snooze and automatic snooze, in that order.
    void tick(const QDateTime& now, RingingActions& actions);
    /// The snooze button: switches automatic snooze off and silences at the next tick.
    void snoozePressed();

    /// While snoozed, when the ringing starts again; nothing while ringing, or when a snooze that runs
    /// past the hour's 59 minutes lasts until the window closes.
    std::optional<QDateTime> snoozedUntil() const;

    /// False once a play list has been played through: the ticks stop for good.
    bool timerEnabled() const { return m_timerEnabled; }
    /// Whether, and why, the alarm rings its built-in sound in place of what it was set to play.
    SoundFallback fallback() const { return m_fallback; }
    /// The built-in sound a fallback plays: the alarm's own when it names one, else the first.
    int fallbackSoundIndex() const;

    // The state, as the window and its tests see it.
    QStringList PlayList;
    bool MusicMode = false;
    bool SoundMode = false;
    bool FadeInOn = false;
    bool AutoSnoozeOn = false;
    bool Silenced = false;
    int FadeInMinutes = 0;
    int SnoozeMinutes = 0;
    int AutoSnoozeMinutes = 0;
    int VolumePercent = 0;
    int PlayListPos = 0;
    int PlayListCount = 0;
    int SoundIndex = 0;
    int CloseMethod = 0;
    int PowerAction = 0;
    QDateTime RingStart;
    bool SnoozeRequested = false;
    /// When set, the fade-in lasts this many seconds whatever its minutes, so a trial is heard whole.
    std::optional<int> FadeInSecondsOverride;

private:
    struct Elapsed {
        int minutes, seconds;
    };
    /// Minutes and seconds since `RingStart`, the hours dropped. Measured between full date-times,
    /// so a ringing that runs across midnight counts on instead of going negative.
    Elapsed elapsedSince(const QDateTime& now) const;
    void silence(RingingActions& actions);
    /// Tick step 2: starts the next entry of the list, finds a list that cannot be played, or ends it.
    void playListStep(RingingActions& actions);
    bool anyEntryExists(const RingingActions& actions) const;

    QString m_programFolder;
    bool m_timerEnabled = false;
    // A built-in sound that failed to start is not tried again until the player has been closed,
    // so a missing sound file is reported once, not five times a second.
    bool m_soundFailed = false;
    // An entry of the current pass through the list has started.
    bool m_entryStarted = false;
    SoundFallback m_fallback = SoundFallback::None;
};

/// The file a ringing of these settings starts with: what the first ticks of its session play when
/// every file that is there plays (the first play-list entry there, or the built-in sound that rings
/// with or in place of the list). `exists` says whether a file is there. Empty when it would start
/// with nothing it can find (a built-in sound file that is gone).
QString firstRingingFile(const AlarmSettings& settings, const QString& programFolder,
                         const std::function<bool(const QString&)>& exists);
