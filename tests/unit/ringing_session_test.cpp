#include <gtest/gtest.h>

#include <tuple>

#include "platform/errors.h"
#include "ringing/ringing_session.h"

namespace {

/// Records what the session asks for and plays each file for a set time.
class RecordingActions : public RingingActions {
public:
    bool playerIdle() const override { return !m_playing || m_now >= m_endsAt; }
    void playFile(const QString& path) override
    {
        played.append(path);
        if (path.contains("broken") || path.contains("missing") || path.endsWith('/'))
            throw BelvaneError("cannot play " + path);
        m_playing = true;
        m_endsAt = m_now.addMSecs(fileLengthMs);
    }
    bool fileExists(const QString& path) const override { return !path.contains("missing"); }
    void closePlayer() override
    {
        ++closes;
        m_playing = false;
    }
    void setDeviceVolume(quint32 packed) override { volumes.append(packed); }
    void requestClose() override { ++closeRequests; }
    void powerAction(int action) override { power.append(action); }
    void ringingUnanswered() override { ++unanswered; }

    void setNow(const QDateTime& now) { m_now = now; }
    QList<int> levels() const
    {
        QList<int> out;
        for (quint32 v : volumes)
            out.append(int((v >> 8) & 0xFF));
        return out;
    }

    qint64 fileLengthMs = 2500;
    QStringList played;
    QList<quint32> volumes;
    int closes = 0;
    int closeRequests = 0;
    int unanswered = 0;
    QList<int> power;

private:
    QDateTime m_now;
    QDateTime m_endsAt;
    bool m_playing = false;
};

AlarmSettings musicAlarm(QStringList list)
{
    AlarmSettings s;
    s.playMusic = true;
    s.playList = std::move(list);
    s.volume = 100;
    s.snoozeMinutes = 5;
    s.soundMinutes = 15; // what the editor gives every alarm
    s.closeNever = true;
    return s;
}

AlarmSettings soundAlarm()
{
    AlarmSettings s;
    s.playSound = true;
    s.soundIndex = 2;
    s.volume = 100;
    s.snoozeMinutes = 5;
    s.soundMinutes = 15;
    s.closeNever = true;
    return s;
}

/// A ringing window's life in 200 ms ticks from 07:00:00 on a controlled clock.
struct Ringing {
    explicit Ringing(const AlarmSettings& settings,
                     QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(7, 0), Qt::UTC),
                     const QString& programFolder = "/prog/")
        : now(start)
    {
        actions.setNow(now);
        session.start(now);
        session.load(settings, programFolder);
        session.show(actions);
    }
    void runFor(qint64 ms)
    {
        for (qint64 t = 0; t < ms; t += 200)
            tick();
    }
    void tick()
    {
        now = now.addMSecs(200);
        actions.setNow(now);
        session.tick(now, actions);
    }
    QDateTime now;
    RecordingActions actions;
    RingingSession session;
};

} // namespace

TEST(RingingSession, UnansweredRingingEndsThenClosesAndRunsThePowerAction)
{
    const auto twoFiles = [](int closing, int power) { // 2.5 s each
        AlarmSettings s = musicAlarm({"/m/a.mp3", "/m/b.mp3"});
        s.closeNever = closing == 1, s.closeWhenFinished = closing == 2, s.closeAfterMinutes = closing == 3;
        s.powerAction = power;
        return s;
    };
    AlarmSettings oneMinute = soundAlarm();
    oneMinute.soundMinutes = 1;
    oneMinute.closeNever = false, oneMinute.closeWhenFinished = true;
    oneMinute.powerAction = 2;
    AlarmSettings once = soundAlarm();
    once.soundMinutes = 0;
    AlarmSettings emptyList = musicAlarm({});
    emptyList.soundMinutes = 1;
    // Situation, settings, the tick that ends it, a snooze pressed then (-1: none), how it ends.
    const std::tuple<const char*, AlarmSettings, qint64, qint64, RingingEnd> cases[] = {
        {"a list through, close when finished, standby", twoFiles(2, 2), 5400, -1, RingingEnd::PlayListDone},
        {"a list through, never close, display off", twoFiles(1, 1), 5400, -1, RingingEnd::PlayListDone},
        {"a list through, closing method 3 closes nothing, shut down", twoFiles(3, 3), 5400, -1,
         RingingEnd::PlayListDone},
        {"a list through, nothing to do", twoFiles(2, 0), 5400, -1, RingingEnd::PlayListDone},
        {"one minute, closing when finished, then standby", oneMinute, 60000, -1,
         RingingEnd::SoundMinutesOver},
        {"0 minutes plays the sound once", once, 2800, -1, RingingEnd::SoundPlayedOnce},
        {"the sound standing in for an empty list keeps the minutes", emptyList, 60000, -1,
         RingingEnd::SoundMinutesOver},
        {"after a snooze the minutes count again", oneMinute, 6 * 60000, 30000, RingingEnd::SoundMinutesOver},
    };
    for (const auto& [situation, settings, endsAtMs, snoozeAtMs, end] : cases) {
        Ringing r(settings);
        if (snoozeAtMs >= 0) {
            r.runFor(snoozeAtMs);
            r.session.snoozePressed();
        }
        r.runFor(endsAtMs - 200 - std::max<qint64>(snoozeAtMs, 0));
        EXPECT_TRUE(r.session.timerEnabled() && !r.session.Silenced) << situation << ": rings a tick before";
        const int closes = r.actions.closes;
        r.tick();
        EXPECT_EQ(r.session.ended(), end) << situation;
        EXPECT_FALSE(r.session.timerEnabled()) << situation;
        EXPECT_EQ(r.actions.unanswered, 1) << situation;
        // A list ends when its last file has: there is nothing left to stop.
        EXPECT_EQ(r.actions.closes, closes + (end != RingingEnd::PlayListDone))
            << situation << ": the sound stops";
        EXPECT_EQ(r.actions.closeRequests, settings.closeWhenFinished ? 1 : 0) << situation;
        EXPECT_EQ(r.actions.power, settings.powerAction ? QList<int>{settings.powerAction} : QList<int>{})
            << situation;
        EXPECT_TRUE(end != RingingEnd::PlayListDone || r.actions.played == settings.playList)
            << situation << ": each file once, in order";
        const qsizetype played = r.actions.played.size();
        r.runFor(10 * 60000);
        EXPECT_EQ(r.actions.played.size(), played) << situation << ": silent for good";
        EXPECT_EQ(r.actions.power.size(), settings.powerAction ? 1 : 0) << situation;
    }
}

TEST(RingingSession, RestartedSoundServerGetsTheLevelAndTheSoundAgain)
{
    AlarmSettings fading = soundAlarm();
    fading.fadeIn = true;
    fading.fadeInMinutes = 1;
    fading.volume = 40;
    AlarmSettings list = musicAlarm({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    // Situation, settings, when the server restarts, snoozed then, what starts in the next two ticks.
    const std::tuple<const char*, AlarmSettings, qint64, bool, QStringList> cases[] = {
        {"the sound half way through its fade", fading, 30000, false, {"/prog/sounds/Alarmrng.wav"}},
        {"the second entry of a list starts again, not the third", list, 150000, false, {"/m/b.mp3"}},
        {"snoozed: the level comes back, the sound waits", fading, 30000, true, {}},
    };
    for (const auto& [situation, settings, restartAtMs, snoozed, playedAfter] : cases) {
        Ringing r(settings);
        r.actions.fileLengthMs = 120000;
        r.runFor(restartAtMs);
        if (snoozed) {
            r.session.snoozePressed();
            r.tick();
        }
        const quint32 level = r.actions.volumes.last();
        const qsizetype played = r.actions.played.size();
        r.actions.volumes.clear();
        r.session.soundServerChanged(r.actions);
        EXPECT_EQ(r.actions.volumes, QList<quint32>{level}) << situation << ": the level last set, again";
        r.runFor(400);
        EXPECT_EQ(r.actions.played.mid(played), playedAfter) << situation;
    }
}

TEST(RingingSession, NothingToPlayRingsTheBuiltInSoundInstead)
{
    struct Case {
        const char* situation;
        bool playMusic;
        bool playSound;
        QStringList list;
        int soundIndex;
        SoundFallback reason;
        QStringList firstPlayed; // the play commands of the first ticks, the sound's first start last
    };
    const Case cases[] = {
        {"play music with an empty list", true, false, {}, 2, SoundFallback::EmptyList,
         {"/prog/sounds/Alarmrng.wav"}},
        {"neither box set", false, false, {"/m/a.mp3"}, 5, SoundFallback::EmptyList, {"/prog/sounds/Glass.wav"}},
        {"no such sound: the first", true, false, {}, 11, SoundFallback::EmptyList, {"/prog/sounds/Rooster.wav"}},
        {"negative sound: the first", false, false, {}, -1, SoundFallback::EmptyList, {"/prog/sounds/Rooster.wav"}},
        {"every file missing: found before playing", true, false, {"/m/missing1.mp3", "/m/missing2.mp3"}, 9,
         SoundFallback::NothingPlayable, {"/prog/sounds/Doorbell.wav"}},
        {"every entry fails to play, one after another", true, false,
         {"/m/broken1.mp3", "/m/missing.mp3", "/m/broken2.mp3"}, 11, SoundFallback::NothingPlayable,
         {"/m/broken1.mp3", "/m/missing.mp3", "/m/broken2.mp3", "/prog/sounds/Rooster.wav"}},
        {"a sound number beyond the eleven: the first", false, true, {}, 11, SoundFallback::UnknownSound,
         {"/prog/sounds/Rooster.wav"}},
        {"a negative sound number: the first", false, true, {}, -3, SoundFallback::UnknownSound,
         {"/prog/sounds/Rooster.wav"}},
    };
    for (const Case& c : cases) {
        AlarmSettings s = musicAlarm(c.list);
        s.playMusic = c.playMusic;
        s.playSound = c.playSound;
        s.soundIndex = c.soundIndex;
        // What a played-through list would do must not happen: the sound has not been played through.
        s.closeNever = false, s.closeWhenFinished = true;
        s.powerAction = 3;
        Ringing r(s);
        r.actions.fileLengthMs = 1000;
        r.runFor(200 * c.firstPlayed.size() + 200);
        EXPECT_EQ(r.actions.played, c.firstPlayed) << c.situation;
        EXPECT_EQ(r.session.fallback(), c.reason) << c.situation;
        r.runFor(10000);
        EXPECT_EQ(r.actions.played.size(), c.firstPlayed.size() + 10)
            << c.situation << ": repeats as a built-in sound does";
        EXPECT_EQ(r.actions.played.last(), c.firstPlayed.last()) << c.situation;
        EXPECT_TRUE(r.session.timerEnabled()) << c.situation << ": the clock keeps ticking";
        EXPECT_EQ(r.actions.closeRequests, 0) << c.situation;
        EXPECT_TRUE(r.actions.power.isEmpty()) << c.situation;

        // After a snooze the sound comes back, not the list that failed.
        const qsizetype before = r.actions.played.size();
        r.session.snoozePressed();
        r.session.SnoozeMinutes = 0;
        r.runFor(400);
        const QStringList after = r.actions.played.mid(before);
        EXPECT_FALSE(after.isEmpty()) << c.situation << ": rings again after a snooze";
        EXPECT_EQ(after, QStringList(after.size(), c.firstPlayed.last()))
            << c.situation << ": the sound, not the list";
        EXPECT_EQ(r.session.fallback(), c.reason) << c.situation << ": after a snooze";
    }
}

TEST(RingingSession, ListWithOneEntryThatPlaysKeepsItsWay)
{
    for (const QStringList& list :
         {QStringList{"/m/broken.mp3", "/m/missing.mp3", "/m/b.mp3"}, QStringList{"/m/b.mp3", "/m/broken.mp3"},
          QStringList{"/m/missing.mp3", "/m/b.mp3"}}) {
        const std::string situation = list.join(' ').toStdString();
        AlarmSettings s = musicAlarm(list);
        s.closeNever = false, s.closeWhenFinished = true;
        Ringing r(s);
        r.runFor(10000);
        EXPECT_EQ(r.actions.played, list) << situation;
        EXPECT_EQ(r.session.fallback(), SoundFallback::None) << situation;
        EXPECT_FALSE(r.session.timerEnabled()) << situation << ": played through";
        EXPECT_EQ(r.actions.closeRequests, 1) << situation;
    }
}

TEST(RingingSession, SoundAndEmptyListTogetherAreNoFallback)
{
    AlarmSettings s = musicAlarm({});
    s.playSound = true;
    s.soundIndex = 2;
    Ringing r(s);
    r.tick();
    EXPECT_EQ(r.session.fallback(), SoundFallback::None);
    EXPECT_EQ(r.actions.played, QStringList{"/prog/sounds/Alarmrng.wav"});
}

TEST(RingingSession, UnplayableEntryIsPassedOver)
{
    Ringing r(musicAlarm({"/m/broken.mp3", "/m/b.mp3"}));
    r.runFor(1000);
    EXPECT_EQ(r.actions.played, (QStringList{"/m/broken.mp3", "/m/b.mp3"}));
}

TEST(RingingSession, BuiltInSoundRepeatsAndAFailureIsReportedOnce)
{
    Ringing r(soundAlarm());
    r.actions.fileLengthMs = 1000;
    r.runFor(10000);
    EXPECT_EQ(r.actions.played.size(), 10); // restarted at the first idle tick, without end
    EXPECT_EQ(r.actions.played.first(), "/prog/sounds/Alarmrng.wav");

    // A sounds folder whose files cannot be played.
    Ringing broken(soundAlarm(), QDateTime(QDate(2026, 12, 7), QTime(7, 0), Qt::UTC), "/broken/");
    int errors = 0;
    for (int i = 0; i < 25; ++i) {
        try {
            broken.tick();
        } catch (const BelvaneError&) {
            ++errors;
        }
    }
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(broken.actions.played, QStringList{"/broken/sounds/Alarmrng.wav"});
    broken.session.snoozePressed(); // closing the player allows one more try
    broken.session.SnoozeMinutes = 0;
    try {
        broken.runFor(400);
    } catch (const BelvaneError&) {
        ++errors;
    }
    EXPECT_EQ(errors, 2);
}
TEST(RingingSession, FadeInRaisesTheDeviceVolume)
{
    AlarmSettings s = soundAlarm();
    s.volume = 50;
    s.fadeIn = true;
    s.fadeInMinutes = 1;
    Ringing r(s);
    EXPECT_EQ(r.actions.levels(), QList<int>{127}); // shown at the alarm's volume
    r.runFor(200);
    EXPECT_EQ(r.actions.levels().last(), 0);
    r.runFor(59800); // the rest of the first minute and the first tick of the second
    const QList<int> levels = r.actions.levels();
    EXPECT_EQ(levels.last(), 124); // the fade's last second: percent 98
    EXPECT_TRUE(std::is_sorted(levels.begin() + 1, levels.end()));
    const qsizetype calls = r.actions.volumes.size();
    r.runFor(120000);
    EXPECT_EQ(r.actions.volumes.size(), calls); // after the fade nothing changes the level

    s.fadeInMinutes = 0;
    Ringing none(s);
    none.runFor(60000);
    EXPECT_EQ(none.actions.levels(), QList<int>{127});
}

TEST(RingingSession, DeviceVolumePacksBothChannels)
{
    RingingSession s;
    for (auto [volume, percent, packed] : {std::tuple{40, 100, 0x66006600u},
                                           {100, 100, 0xFF00FF00u},
                                           {100, 98, 0xF900F900u},
                                           {0, 100, 0u},
                                           {50, 0, 0u}}) {
        s.VolumePercent = volume;
        EXPECT_EQ(s.deviceVolume(percent), packed) << volume << " " << percent;
    }
}

TEST(RingingSession, SnoozeIsMeasuredFromRingStart)
{
    Ringing r(soundAlarm()); // snooze 5 minutes
    r.actions.fileLengthMs = 1000;
    r.runFor(2 * 60000);
    r.session.snoozePressed();
    r.tick();
    EXPECT_TRUE(r.session.Silenced);
    EXPECT_EQ(r.actions.closes, 1);
    const qsizetype played = r.actions.played.size();
    r.runFor(3 * 60000 - 400); // silent until five minutes after the ringing started
    EXPECT_TRUE(r.session.Silenced);
    EXPECT_EQ(r.actions.played.size(), played);
    r.runFor(400);
    EXPECT_FALSE(r.session.Silenced);
    EXPECT_FALSE(r.session.SnoozeRequested);
    r.runFor(400);
    EXPECT_GT(r.actions.played.size(), played);
}

TEST(RingingSession, SnoozeOfZeroMinutesRestartsInTheSameTick)
{
    AlarmSettings s = musicAlarm({"/m/a.mp3", "/m/b.mp3"});
    s.snoozeMinutes = 0;
    Ringing r(s);
    r.runFor(3000); // into the second entry
    r.session.snoozePressed();
    r.tick();
    EXPECT_FALSE(r.session.Silenced);
    EXPECT_EQ(r.session.PlayListPos, 0);
    EXPECT_EQ(r.session.RingStart, r.now);
    r.tick();
    EXPECT_EQ(r.actions.played.last(), "/m/a.mp3");
}

TEST(RingingSession, AutomaticSnoozeCycles)
{
    // Silent or not at the end of minutes 1..15; the ringing never ends by itself.
    const bool T = true, F = false;
    const std::tuple<const char*, int, int, int, QList<bool>> cases[] = {
        {"rings 2 minutes, silent 3", 2, 3, 15, {F, T, T, T, F, F, T, T, T, F, F, T, T, T, F}},
        {"sound minutes shorter: rings 1, silent 3", 2, 3, 1, {T, T, T, F, T, T, T, F, T, T, T, F, T, T, T}},
        {"a sound played once, then silent 2", 5, 2, 0, {T, F, T, F, T, F, T, F, T, F, T, F, T, F, T}},
    };
    for (const auto& [situation, autoMinutes, snoozeMinutes, soundMinutes, expected] : cases) {
        AlarmSettings s = soundAlarm();
        s.autoSnooze = true;
        s.autoSnoozeMinutes = autoMinutes;
        s.snoozeMinutes = snoozeMinutes;
        s.soundMinutes = soundMinutes;
        Ringing r(s);
        r.actions.fileLengthMs = 1000;
        QList<bool> silent;
        for (int minute = 0; minute < 15; ++minute) {
            r.runFor(60000);
            silent.append(r.session.Silenced);
        }
        EXPECT_EQ(silent, expected) << situation;
        EXPECT_TRUE(r.session.timerEnabled()) << situation;
        EXPECT_EQ(r.actions.unanswered, 0) << situation;
    }

    AlarmSettings s = soundAlarm();
    s.autoSnooze = true;
    // A sum above 59 minutes is never reached: silent until the user acts.
    s.autoSnoozeMinutes = 30;
    s.snoozeMinutes = 30;
    s.soundMinutes = 45;
    Ringing never(s);
    never.runFor(31 * 60000);
    EXPECT_TRUE(never.session.Silenced);
    never.runFor(120 * 60000);
    EXPECT_TRUE(never.session.Silenced);
    never.session.snoozePressed(); // pressing snooze ends automatic snooze; M is past 30 so it rings again
    never.runFor(400);
    EXPECT_FALSE(never.session.Silenced);
    EXPECT_FALSE(never.session.AutoSnoozeOn);
}

TEST(RingingSession, RingingAcrossMidnightKeepsCounting)
{
    AlarmSettings s = soundAlarm();
    s.fadeIn = true;
    s.fadeInMinutes = 2;
    Ringing r(s, QDateTime(QDate(2026, 12, 7), QTime(23, 59, 30), Qt::UTC));
    r.runFor(60000);                           // past midnight
    EXPECT_EQ(r.actions.levels().last(), 127); // a minute into a two-minute fade: percent 50
    r.session.snoozePressed();
    r.runFor(3 * 60000);
    EXPECT_TRUE(r.session.Silenced); // snooze of 5 minutes from 23:59:30 still running at 00:03:30
    r.runFor(2 * 60000);
    EXPECT_FALSE(r.session.Silenced);
}

TEST(RingingSession, PartlyReadSettingsLeaveLaterFieldsAtZero)
{
    AlarmSettings partial = musicAlarm({"/m/a.mp3"});
    partial.volume = 0; // the reader stopped before the volume line
    partial.snoozeMinutes = 0;
    Ringing r(partial);
    EXPECT_EQ(r.actions.volumes, QList<quint32>{0});
    AlarmSettings nothing; // nothing read: no kind of sound, so the first built-in sound
    Ringing fallback(nothing);
    fallback.runFor(5000);
    EXPECT_EQ(fallback.actions.played, QStringList{"/prog/sounds/Rooster.wav"}); // 0 minutes: once
    EXPECT_EQ(fallback.session.ended(), RingingEnd::SoundPlayedOnce);
}

TEST(RingingSession, FirstFileIsWhatTheRingingStartsWith)
{
    AlarmSettings musicAndSound = musicAlarm({"/m/missing-a.mp3", "/m/b.mp3"});
    musicAndSound.playSound = true;
    musicAndSound.soundIndex = 3;
    AlarmSettings unknownSound = musicAlarm({"/m/missing-a.mp3", "/m/missing-b.mp3"});
    unknownSound.soundIndex = 14;
    AlarmSettings emptyList = musicAlarm({});
    emptyList.soundIndex = 5;
    AlarmSettings soundGone = soundAlarm();
    soundGone.soundIndex = 4; // Explode.wav, not there
    const std::tuple<const char*, AlarmSettings, const char*> cases[] = {
        {"a play list whose first entry is gone", musicAlarm({"/m/missing-a.mp3", "/m/b.mp3"}), "/m/b.mp3"},
        {"nothing of the list there, a sound number naming none", unknownSound, "/prog/sounds/Rooster.wav"},
        {"play music with an empty list", emptyList, "/prog/sounds/Glass.wav"},
        {"music and sound, the first entry gone", musicAndSound, "/prog/sounds/Clap.wav"},
        {"a built-in sound whose file is gone", soundGone, ""},
    };
    const auto exists = [](const QString& path) {
        return !path.contains("missing") && !path.endsWith("Explode.wav");
    };
    for (const auto& [situation, settings, first] : cases)
        EXPECT_EQ(firstRingingFile(settings, "/prog/", exists), QString::fromUtf8(first)) << situation;
}
