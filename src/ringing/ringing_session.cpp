#include "ringing/ringing_session.h"

#include <algorithm>

#include "alarms/alarm_record.h"

void RingingSession::start(const QDateTime& now)
{
    Silenced = false;
    RingStart = now;
    m_timerEnabled = true;
    PlayListPos = 0;
}

void RingingSession::load(const AlarmSettings& s, const QString& programFolder)
{
    m_programFolder = programFolder;
    MusicMode = s.playMusic;
    PlayList = s.playList.mid(0, kMaxPlayListEntries);
    PlayListCount = int(PlayList.size());
    SoundMode = s.playSound;
    SoundIndex = s.soundIndex;
    FadeInOn = s.fadeIn;
    FadeInMinutes = s.fadeInMinutes;
    SnoozeMinutes = s.snoozeMinutes;
    AutoSnoozeOn = s.autoSnooze;
    AutoSnoozeMinutes = s.autoSnoozeMinutes;
    VolumePercent = std::clamp(s.volume, 0, 100);
    CloseMethod = int(s.closingMethod());
    PowerAction = s.powerAction;
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
    m_soundFailed = false;
}

void RingingSession::tick(const QDateTime& now, RingingActions& actions)
{
    if (!m_timerEnabled)
        return;

    if (MusicMode && !Silenced && PlayListCount >= PlayListPos && actions.playerIdle()) {
        if (PlayListPos == PlayListCount) {
            m_timerEnabled = false;
            if (CloseMethod == int(ClosingMethod::WhenFinished))
                actions.requestClose();
            if (PowerAction >= 1 && PowerAction <= 3)
                actions.powerAction(PowerAction);
        } else {
            try {
                actions.playFile(PlayList[PlayListPos]);
            } catch (...) {
                // An entry that cannot be played is passed over; the next one starts at a later tick.
            }
            ++PlayListPos;
        }
    }

    if (SoundMode && !Silenced && !m_soundFailed && actions.playerIdle()) {
        try {
            actions.playFile(BuiltInSoundPath(m_programFolder, SoundIndex));
        } catch (...) {
            m_soundFailed = true;
            throw;
        }
    }

    if (FadeInOn && FadeInSecondsOverride && FadeInMinutes > 0) {
        const qint64 ms = qMax<qint64>(0, RingStart.msecsTo(now));
        if (ms < qint64(*FadeInSecondsOverride) * 1000)
            actions.setDeviceVolume(deviceVolume(int(ms * 100 / (qint64(*FadeInSecondsOverride) * 1000))));
    } else if (FadeInOn) {
        const Elapsed e = elapsedSince(now);
        if (FadeInMinutes > e.minutes)
            actions.setDeviceVolume(deviceVolume((e.minutes * 60 + e.seconds) * 100 / (FadeInMinutes * 60)));
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
        if (elapsedSince(now).minutes >= AutoSnoozeMinutes && !Silenced)
            silence(actions);
        if (AutoSnoozeMinutes + SnoozeMinutes <= elapsedSince(now).minutes && Silenced) {
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
    const int minutes = SnoozeRequested ? SnoozeMinutes : AutoSnoozeMinutes + SnoozeMinutes;
    if (minutes > 59)
        return std::nullopt;
    return RingStart.addSecs(qint64(minutes) * 60);
}
