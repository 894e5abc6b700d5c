#include "ringing/ringing_session.h"

#include <algorithm>

#include "alarms/alarm_record.h"
#include "platform/errors.h"
#include <QCoreApplication>

QString soundFallbackNote(SoundFallback fallback)
{
    switch (fallback) {
    case SoundFallback::None: break;
    case SoundFallback::EmptyList:
        return QCoreApplication::translate("RingingSession", "播放列表是空的，改放闹铃声音");
    case SoundFallback::NothingPlayable:
        return QCoreApplication::translate("RingingSession", "播放列表中的文件都无法播放，改放闹铃声音");
    case SoundFallback::UnknownSound:
        return QCoreApplication::translate("RingingSession", "没有这个闹铃声音，改放默认闹铃声音");
    }
    return {};
}

QString ringingEndNote(RingingEnd end, int minutes)
{
    switch (end) {
    case RingingEnd::None: break;
    case RingingEnd::SoundMinutesOver:
        return QCoreApplication::translate("RingingSession", "无人应答：响了 %1 分钟后停止").arg(minutes);
    case RingingEnd::SoundPlayedOnce:
        return QCoreApplication::translate("RingingSession", "无人应答：声音播放一遍后停止");
    case RingingEnd::PlayListDone:
        return QCoreApplication::translate("RingingSession", "播放列表已放完");
    }
    return {};
}

void RingingSession::start(const QDateTime& now)
{
    Silenced = false;
    RingStart = now;
    m_timerEnabled = true;
    PlayListPos = 0;
    m_entryStarted = false;
    m_soundStarted = false;
    m_end = RingingEnd::None;
}

void RingingSession::load(const AlarmSettings& s, const QString& programFolder)
{
    m_programFolder = programFolder;
    MusicMode = s.playMusic;
    PlayList = s.playList.mid(0, kMaxPlayListEntries);
    PlayListCount = int(PlayList.size());
    SoundMode = s.playSound;
    SoundIndex = s.soundIndex;
    SoundMinutes = s.soundMinutes;
    FadeInOn = s.fadeIn;
    FadeInMinutes = s.fadeInMinutes;
    SnoozeMinutes = s.snoozeMinutes;
    AutoSnoozeOn = s.autoSnooze;
    AutoSnoozeMinutes = s.autoSnoozeMinutes;
    m_autoSilenceMinutes = AutoSnoozeMinutes;
    VolumePercent = std::clamp(s.volume, 0, 100);
    CloseMethod = int(s.closingMethod());
    PowerAction = s.powerAction;
    // With no sound of its own and no list to play the alarm would ring in silence.
    m_fallback =
        !SoundMode && (!MusicMode || PlayListCount == 0) ? SoundFallback::EmptyList : SoundFallback::None;
    // A sound number no built-in sound has would name the sounds folder itself: nothing to play.
    const bool soundPlays = SoundMode && (!MusicMode || PlayListCount == 0);
    if (soundPlays && fallbackSoundIndex() != SoundIndex)
        m_fallback = SoundFallback::UnknownSound;
}

int RingingSession::fallbackSoundIndex() const
{
    return SoundIndex >= 0 && SoundIndex < kBuiltInSoundCount ? SoundIndex : 0;
}

quint32 RingingSession::deviceVolume(int percent) const
{
    // Trunc(percent / 100 * 255 * VolumePercent / 100), in integers so no rounding creeps in.
    const qint64 level = std::clamp<qint64>(qint64(percent) * 255 * VolumePercent / 10000, 0, 255);
    return quint32(level << 8) | quint32(level << 24);
}

RingingSession::Elapsed RingingSession::elapsedSince(const QDateTime& now) const
{
    const qint64 ms = qMax<qint64>(0, RingStart.msecsTo(now));
    return {int(ms / 60000 % 60), int(ms / 1000 % 60)};
}

void RingingSession::silence(RingingActions& actions)
{
    actions.closePlayer();
    Silenced = true;
    PlayListPos = 0;
    m_entryStarted = false;
    m_soundStarted = false;
    m_soundFailed = false;
}

void RingingSession::setDeviceVolume(RingingActions& actions, quint32 packed)
{
    m_deviceVolume = packed;
    actions.setDeviceVolume(packed);
}

QString RingingSession::note() const
{
    return m_end != RingingEnd::None ? ringingEndNote(m_end, SoundMinutes) : soundFallbackNote(m_fallback);
}

bool RingingSession::soundRings() const
{
    return m_fallback != SoundFallback::None || (SoundMode && (!MusicMode || PlayListCount == 0));
}

bool RingingSession::soundPeriodOver(const QDateTime& now, const RingingActions& actions) const
{
    if (SoundMinutes > 0)
        return RingStart.msecsTo(now) >= qint64(SoundMinutes) * 60000;
    return m_soundStarted && actions.playerIdle();
}

void RingingSession::finish(RingingEnd end, RingingActions& actions)
{
    m_timerEnabled = false;
    m_end = end;
    if (end != RingingEnd::PlayListDone)
        actions.closePlayer();
    actions.ringingUnanswered();
    if (CloseMethod == int(ClosingMethod::WhenFinished))
        actions.requestClose();
    if (PowerAction >= 1 && PowerAction <= 3)
        actions.powerAction(PowerAction);
}

void RingingSession::soundServerChanged(RingingActions& actions)
{
    if (!m_timerEnabled)
        return;
    if (m_deviceVolume)
        actions.setDeviceVolume(*m_deviceVolume);
    if (Silenced || actions.playerIdle())
        return;
    actions.closePlayer();
    // The entry that was playing starts again rather than the list moving on past it.
    if (MusicMode && m_fallback == SoundFallback::None && PlayListPos > 0)
        --PlayListPos;
    m_soundStarted = false;
}

bool RingingSession::anyEntryExists(const RingingActions& actions) const
{
    return std::any_of(PlayList.cbegin(), PlayList.cend(),
                       [&](const QString& path) { return actions.fileExists(path); });
}

void RingingSession::playListStep(RingingActions& actions)
{
    // An empty list beside the built-in sound: the sound rings, and ends as a sound does.
    if (PlayListCount == 0 && SoundMode)
        return;
    // The built-in sound takes over when the list has nothing that plays; an alarm that also plays
    // its sound has that already.
    if (PlayListPos == 0 && !SoundMode && !anyEntryExists(actions)) {
        m_fallback = SoundFallback::NothingPlayable;
        return;
    }
    if (PlayListPos == PlayListCount) {
        if (!m_entryStarted && !SoundMode) {
            m_fallback = PlayListCount == 0 ? SoundFallback::EmptyList : SoundFallback::NothingPlayable;
            return;
        }
        finish(RingingEnd::PlayListDone, actions);
        return;
    }
    try {
        actions.playFile(PlayList[PlayListPos]);
        m_entryStarted = true;
    } catch (...) {
        // An entry that cannot be played is passed over; the next one starts at a later tick.
    }
    ++PlayListPos;
}

void RingingSession::tick(const QDateTime& now, RingingActions& actions)
{
    if (!m_timerEnabled)
        return;

    if (MusicMode && m_fallback == SoundFallback::None && !Silenced && PlayListCount >= PlayListPos &&
        actions.playerIdle())
        playListStep(actions);
    if (!m_timerEnabled)
        return;

    if (soundRings() && !Silenced && soundPeriodOver(now, actions)) {
        if (!AutoSnoozeOn) {
            finish(SoundMinutes > 0 ? RingingEnd::SoundMinutesOver : RingingEnd::SoundPlayedOnce, actions);
            return;
        }
        // The automatic snooze's cycle goes on, its ringing period cut short by the sound's.
        m_autoSilenceMinutes = std::min(AutoSnoozeMinutes, elapsedSince(now).minutes);
        silence(actions);
    }

    const bool fallingBack = m_fallback != SoundFallback::None;
    if ((SoundMode || fallingBack) && !Silenced && !m_soundFailed && actions.playerIdle()) {
        try {
            const int sound = fallbackSoundIndex();
            actions.playFile(BuiltInSoundPath(m_programFolder, sound));
            m_soundStarted = true;
        } catch (...) {
            m_soundFailed = true;
            throw;
        }
    }

    if (FadeInOn && FadeInSecondsOverride && FadeInMinutes > 0) {
        const qint64 ms = qMax<qint64>(0, RingStart.msecsTo(now));
        if (ms < qint64(*FadeInSecondsOverride) * 1000)
            setDeviceVolume(actions, deviceVolume(int(ms * 100 / (qint64(*FadeInSecondsOverride) * 1000))));
    } else if (FadeInOn) {
        const Elapsed e = elapsedSince(now);
        if (FadeInMinutes > e.minutes)
            setDeviceVolume(actions, deviceVolume((e.minutes * 60 + e.seconds) * 100 / (FadeInMinutes * 60)));
    }

    if (SnoozeRequested) {
        if (!Silenced)
            silence(actions);
        if (elapsedSince(now).minutes >= SnoozeMinutes && Silenced) {
            Silenced = false;
            SnoozeRequested = false;
            RingStart = now;
        }
    }

    if (AutoSnoozeOn) {
        if (elapsedSince(now).minutes >= AutoSnoozeMinutes && !Silenced) {
            m_autoSilenceMinutes = AutoSnoozeMinutes;
            silence(actions);
        }
        if (m_autoSilenceMinutes + SnoozeMinutes <= elapsedSince(now).minutes && Silenced) {
            Silenced = false;
            SnoozeRequested = false;
            RingStart = now;
        }
    }
}

void RingingSession::snoozePressed()
{
    AutoSnoozeOn = false;
    SnoozeRequested = true;
}

std::optional<QDateTime> RingingSession::snoozedUntil() const
{
    if (!Silenced || !m_timerEnabled)
        return std::nullopt;
    // The snooze is measured from the start of the ringing, as the ticks measure it.
    const int minutes = SnoozeRequested ? SnoozeMinutes : m_autoSilenceMinutes + SnoozeMinutes;
    if (minutes > 59)
        return std::nullopt;
    return RingStart.addSecs(qint64(minutes) * 60);
}

namespace {

/// Carries out the ticks of a session as a player would that plays every file it finds, and notes the
/// first file played.
class FirstFileProbe final : public RingingActions {
public:
    explicit FirstFileProbe(const std::function<bool(const QString&)>& exists) : m_exists(exists) {}
    bool playerIdle() const override { return played.isEmpty(); }
    void playFile(const QString& path) override
    {
        if (!m_exists(path))
            throw BelvaneError(path);
        played = path;
    }
    bool fileExists(const QString& path) const override { return m_exists(path); }
    void closePlayer() override {}
    void setDeviceVolume(quint32) override {}
    void requestClose() override {}
    void powerAction(int) override {}
    void ringingUnanswered() override {}

    QString played;

private:
    const std::function<bool(const QString&)>& m_exists;
};

} // namespace

QString firstRingingFile(const AlarmSettings& settings, const QString& programFolder,
                         const std::function<bool(const QString&)>& exists)
{
    RingingSession session;
    session.load(settings, programFolder);
    // The ticks only look at the time for the fade-in and snoozes, which choose no file.
    const QDateTime now = QDateTime::fromSecsSinceEpoch(0);
    session.start(now);
    FirstFileProbe probe(exists);
    // An entry that is not there is passed over at one tick, the next tried at the following one; the
    // built-in sound starts at the latest in the tick after the last entry.
    for (qsizetype tick = 0; tick <= session.PlayListCount + 1 && probe.played.isEmpty(); ++tick) {
        try {
            session.tick(now, probe);
        } catch (const BelvaneError&) {
            break; // the built-in sound is gone: nothing to make ready
        }
        if (!session.timerEnabled())
            break;
    }
    return probe.played;
}
