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
    /// The ringing has ended by itself, nobody having answered: the device goes back as it was and the
    /// screen may sleep. Comes before the close request and the power action.
    virtual void ringingUnanswered() = 0;
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

/// How a ringing ended by itself, nobody having answered it.
enum class RingingEnd {
    /// Still ringing, snoozed, or answered.
    None,
    /// The built-in sound rang for its minutes.
    SoundMinutesOver,
    /// The built-in sound, set to 0 minutes, was played once.
    SoundPlayedOnce,
    /// The play list was played through.
    PlayListDone,
};

/// The line the ringing window shows once the ringing has ended unanswered; `minutes` is how long
/// the sound was set to ring.
QString ringingEndNote(RingingEnd end, int minutes);

/// The ringing of one alarm, from the moment its window opens until it closes: which file plays
/// next, fade-in, snooze and automatic snooze, and what happens when a play list has been played
/// through. Driven by ticks that carry the time, so hours of ringing run in milliseconds in tests.
///
/// A built-in sound rings for its sound minutes (0: it is played once), a play list once through;
/// then the ringing ends unanswered: the player stops, the ticks stop for good, and the closing and
/// the power action follow as after a play list. With automatic snooze the ringing instead falls
/// silent at the end of each ringing period (the shorter of the two) and rings again after the snooze
/// minutes, until the user answers.
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
    void show(RingingActions& actions) { setDeviceVolume(actions, deviceVolume(100)); }
    /// One 200 ms tick: the play list or sound, fade-in, snooze and automatic snooze, in that order.
    void tick(const QDateTime& now, RingingActions& actions);
    /// The snooze button: switches automatic snooze off and silences at the next tick.
    void snoozePressed();

    /// While snoozed, when the ringing starts again; nothing while ringing, or when a snooze that runs
    /// past the hour's 59 minutes lasts until the window closes.
    std::optional<QDateTime> snoozedUntil() const;

    /// False once the ringing has ended by itself: the ticks stop for good.
    bool timerEnabled() const { return m_timerEnabled; }
    /// How the ringing ended by itself; None while it goes on.
    RingingEnd ended() const { return m_end; }
    /// The line the window shows under the reminder: how the ringing ended, else why the built-in
    /// sound stands in; empty for neither.
    QString note() const;
    /// The sound server was replaced while ringing: the device gets the level last set again, and the
    /// sound starts again (a play list's entry from its beginning) on the new server.
    void soundServerChanged(RingingActions& actions);
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
    /// How long the built-in sound rings, 1 to 59 minutes; 0 plays it once.
    int SoundMinutes = 0;
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
    /// The built-in sound rings, of itself or in place of the list.
    bool soundRings() const;
    /// The built-in sound's ringing period is over: its minutes have passed since `RingStart`, or,
    /// set to 0 minutes, it has been played once.
    bool soundPeriodOver(const QDateTime& now, const RingingActions& actions) const;
    /// Ends the ringing unanswered, then closes and runs the power action as the alarm says.
    void finish(RingingEnd end, RingingActions& actions);
    void setDeviceVolume(RingingActions& actions, quint32 packed);

    QString m_programFolder;
    bool m_timerEnabled = false;
    // A built-in sound that failed to start is not tried again until the player has been closed,
    // so a missing sound file is reported once, not five times a second.
    bool m_soundFailed = false;
    // An entry of the current pass through the list has started.
    bool m_entryStarted = false;
    // The built-in sound has started in this ringing period.
    bool m_soundStarted = false;
    // The minute, counted from `RingStart`, at which the automatic snooze's silence began: it rings
    // again this many minutes plus the snooze minutes after the ringing started.
    int m_autoSilenceMinutes = 0;
    // The packed volume last given to the device.
    std::optional<quint32> m_deviceVolume;
    RingingEnd m_end = RingingEnd::None;
    SoundFallback m_fallback = SoundFallback::None;
};

/// The file a ringing of these settings starts with: what the first ticks of its session play when
/// every file that is there plays (the first play-list entry there, or the built-in sound that rings
/// with or in place of the list). `exists` says whether a file is there. Empty when it would start
/// with nothing it can find (a built-in sound file that is gone).
QString firstRingingFile(const AlarmSettings& settings, const QString& programFolder,
                         const std::function<bool(const QString&)>& exists);
