// A month of alarms on a controlled clock: the scheduler, the ringing windows it opens (their ringing
// sessions, the shared player and a user who presses the buttons) and the chime step, run through
// December 2026. Every alarm occurrence must open exactly one window, on its second or, when another
// window is open then, as soon as that one closes; inside each window every ringing phase (sound
// starting, snooze, automatic snooze, the end of a play list) must happen once at its moment; nothing
// else may ring.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "alarms/alarm_display.h"
#include "alarms/alarm_settings_file.h"
#include "clockface/chime_rule.h"
#include "ringing/alarm_schedule.h"
#include "ringing/ringing_session.h"

namespace {

// UTC date-times: the same wall clock without a time zone's rules, fast enough for a month of ticks.
QDateTime utc(QDate d, QTime t)
{
    return QDateTime(d, t, Qt::UTC);
}
qint64 secondOf(const QDateTime& t)
{
    return t.toSecsSinceEpoch();
}

/// What the user does in a ringing window, in seconds after it opened; -1 never.
struct UserScript {
    int snoozeAt = -1;
    int okAt = -1;
};

/// One alarm of the month: its list row, its settings and the user's habit with it.
struct SoakAlarm {
    const char* name;
    Frequency frequency;
    QDate date;
    QTime time;
    const char* weekdays; // Sunday first
    AlarmSettings settings;
    UserScript user;
    /// Length of every file the alarm plays, in ms (built-in sound, or each play-list entry).
    qint64 fileMs = 2200;
};

AlarmSettings sound(int snooze)
{
    AlarmSettings s;
    s.playSound = true;
    s.soundIndex = 1;
    s.volume = 90;
    s.snoozeMinutes = snooze;
    s.soundMinutes = 15; // longer than any user here waits
    s.closeNever = true;
    return s;
}

AlarmSettings autoSnooze(int ringMinutes, int snooze)
{
    AlarmSettings s = sound(snooze);
    s.autoSnooze = true;
    s.autoSnoozeMinutes = ringMinutes;
    return s;
}

AlarmSettings fadeIn(int minutes)
{
    AlarmSettings s = sound(5);
    s.fadeIn = true;
    s.fadeInMinutes = minutes;
    return s;
}

AlarmSettings playList(int entries, int powerAction)
{
    AlarmSettings s;
    s.playMusic = true;
    for (int i = 0; i < entries; ++i)
        s.playList.append(QStringLiteral("/music/track%1.ogg").arg(i));
    s.volume = 70;
    s.snoozeMinutes = 5;
    s.closeWhenFinished = true;
    s.powerAction = powerAction;
    return s;
}

/// The alarms, in list order. Their times are chosen so that some meet: two daily alarms due in the
/// same second, an hourly alarm due while a monthly one rings, a ringing that runs across midnight.
QList<SoakAlarm> monthOfAlarms()
{
    const QDate any(2026, 12, 1);
    return {
        {"daily wake-up, snoozed once",
         Frequency::Daily,
         any,
         QTime(7, 0, 0),
         "1111111",
         sound(5),
         {40, 360}},
        {"weekdays Mon Wed Fri, automatic snooze",
         Frequency::Weekly,
         any,
         QTime(6, 30, 15),
         "0101010",
         autoSnooze(2, 3),
         {-1, 660}},
        {"every hour at :45:30", Frequency::Hourly, any, QTime(0, 45, 30), "1111111", sound(5), {-1, 20}},
        {"Christmas Eve play list, closes itself, display off",
         Frequency::FixedDate,
         QDate(2026, 12, 24),
         QTime(20, 0, 0),
         "1111111",
         playList(2, 1),
         {-1, -1},
         40000},
        {"monthly on the 31st, rings over the hourly alarm",
         Frequency::Monthly,
         QDate(2026, 1, 31),
         QTime(12, 45, 20),
         "1111111",
         sound(5),
         {-1, 60}},
        {"yearly on 25 December, fade-in",
         Frequency::Yearly,
         QDate(2020, 12, 25),
         QTime(9, 0, 0),
         "1111111",
         fadeIn(1),
         {-1, 90}},
        {"monthly on the 15th, across midnight",
         Frequency::Monthly,
         QDate(2026, 11, 15),
         QTime(23, 59, 50),
         "1111111",
         sound(5),
         {-1, 30}},
        {"daily at 13:00, dismissed within its second",
         Frequency::Daily,
         any,
         QTime(13, 0, 0),
         "1111111",
         sound(5),
         {-1, 0}},
        {"second daily alarm in the same second as the first",
         Frequency::Daily,
         any,
         QTime(7, 0, 0),
         "1111111",
         sound(5),
         {-1, 10}},
    };
}

/// A ringing phase: the sound starting (`ring`), falling silent (`silence`), the window closing, a
/// power action. Times in seconds after the window opened.
struct Phase {
    enum Kind { Ring, Silence, Close, Power } kind;
    int second;
    bool operator==(const Phase&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Phase& p)
{
    static const char* const kinds[] = {"ring", "silence", "close", "power"};
    return out << kinds[p.kind] << "@" << p.second;
}

/// The ringing window's life as the alarm's settings and its user make it, worked out from the rules
/// of snooze and automatic snooze rather than by running them: the snooze period is counted from the
/// start of the current ringing, and an automatic snooze rings for its minutes, then is silent for
/// the snooze minutes, again and again.
QList<Phase> expectedPhases(const SoakAlarm& a)
{
    const AlarmSettings& s = a.settings;
    QList<Phase> out{{Phase::Ring, 0}};
    if (s.playMusic) {
        const int end = int(s.playList.size() * a.fileMs / 1000);
        out.append({Phase::Power, end});
        out.append({Phase::Close, end});
        return out;
    }
    if (s.autoSnooze) {
        for (int start = 0;; start += (s.autoSnoozeMinutes + s.snoozeMinutes) * 60) {
            const int silent = start + s.autoSnoozeMinutes * 60;
            if (silent >= a.user.okAt)
                break;
            out.append({Phase::Silence, silent});
            const int again = silent + s.snoozeMinutes * 60;
            if (again >= a.user.okAt)
                break;
            out.append({Phase::Ring, again});
        }
    } else if (a.user.snoozeAt >= 0 && a.user.snoozeAt < a.user.okAt) {
        out.append({Phase::Silence, a.user.snoozeAt});
        const int again = std::max(a.user.snoozeAt, s.snoozeMinutes * 60);
        if (again < a.user.okAt)
            out.append({Phase::Ring, again});
    }
    if (out.last().kind == Phase::Ring)
        out.append({Phase::Silence, a.user.okAt});
    out.append({Phase::Close, a.user.okAt});
    return out;
}

bool occursOn(const SoakAlarm& a, QDate d)
{
    switch (a.frequency) {
    case Frequency::FixedDate:
        return d == a.date;
    case Frequency::Hourly:
    case Frequency::Daily:
        return true;
    case Frequency::Weekly:
        return a.weekdays[d.dayOfWeek() % 7] == '1';
    case Frequency::Monthly:
        return d.day() == a.date.day();
    case Frequency::Yearly:
        return d.month() == a.date.month() && d.day() == a.date.day();
    }
    return false;
}

struct Window {
    int alarm;
    qint64 opened; // second
    bool operator==(const Window&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Window& w)
{
    return out << "alarm " << w.alarm << " at "
               << QDateTime::fromSecsSinceEpoch(w.opened, Qt::UTC).toString(Qt::ISODate).toStdString();
}

/// The windows that should open in [from, to): every occurrence in time order (list order within a
/// second); one due while an earlier window is still open opens when that one closes.
QList<Window> expectedWindows(const QList<SoakAlarm>& alarms, const QDateTime& from, const QDateTime& to)
{
    QList<Window> due;
    for (QDate d = from.date().addDays(-1); d <= to.date(); d = d.addDays(1))
        for (int i = 0; i < alarms.size(); ++i) {
            if (!occursOn(alarms[i], d))
                continue;
            const QTime t = alarms[i].time;
            for (int h = 0; h < 24; ++h) {
                if (alarms[i].frequency != Frequency::Hourly && h != t.hour())
                    continue;
                const QDateTime at = utc(d, QTime(h, t.minute(), t.second()));
                if (at >= from && at < to)
                    due.append({i, secondOf(at)});
            }
        }
    std::stable_sort(due.begin(), due.end(), [](const Window& a, const Window& b) {
        return a.opened != b.opened ? a.opened < b.opened : a.alarm < b.alarm;
    });
    QList<Window> out;
    qint64 busyUntil = 0;
    for (Window w : due) {
        w.opened = std::max(w.opened, busyUntil);
        out.append(w);
        busyUntil = w.opened + expectedPhases(alarms[w.alarm]).last().second;
    }
    return out;
}

/// The ringing player, shared by the ringing windows and the chimes: a file plays for its length,
/// then the player is idle again.
class SoakPlayer : public RingingActions {
public:
    bool playerIdle() const override { return !m_playing || *m_now >= m_endsAt; }
    void playFile(const QString& path) override
    {
        ++starts;
        lastFile = path;
        m_playing = true;
        m_endsAt = m_now->addMSecs(fileMs);
    }
    bool fileExists(const QString&) const override { return true; }
    void closePlayer() override { m_playing = false, ++closes; }
    void setDeviceVolume(quint32 packed) override { volumes.append(packed); }
    void requestClose() override { closeRequested = true; }
    void powerAction(int action) override { power.append(action); }
    void ringingUnanswered() override {}

    void attach(const QDateTime* now) { m_now = now; }

    qint64 fileMs = 2200;
    int starts = 0, closes = 0;
    QString lastFile;
    bool closeRequested = false;
    QList<quint32> volumes;
    QList<int> power;

private:
    const QDateTime* m_now = nullptr;
    QDateTime m_endsAt;
    bool m_playing = false;
};

/// The program over a month: the scheduler checking once a second, each ring running a ringing window to
/// its end in 200 ms ticks with the scheduler checking meanwhile and queueing what falls due.
class Month {
public:
    explicit Month(QList<SoakAlarm> alarms) : m_alarms(std::move(alarms))
    {
        for (int i = 0; i < m_alarms.size(); ++i) {
            const SoakAlarm& a = m_alarms[i];
            m_rows.append(makeAlarmEntry({QString::fromLatin1(a.name), int(a.frequency), a.date, a.time,
                                          QString::fromLatin1(a.weekdays)},
                                         i, RowOrigin::Add, DateTimeLocale::neutral()));
            // Through the file format, as the ringing window reads it.
            AlarmSettings s = a.settings;
            s.frequencyIndex = int(a.frequency);
            m_settings.append(QByteArray(WriteAlarmSettings(s)));
        }
        m_player.attach(&m_now);
    }

    /// Runs from `from` to `to`, checking at `phaseMs` into each second, and in 200 ms steps for two
    /// seconds after a window closes.
    void run(const QDateTime& from, const QDateTime& to, int phaseMs)
    {
        m_now = from.addMSecs(phaseMs);
        m_scheduler.startFrom(m_now.addMSecs(-1));
        QDateTime fineUntil = m_now;
        while (m_now < to) {
            bool rang = false;
            schedulerTick();
            while (!m_queue.isEmpty()) {
                rang = true;
                ringWindow(m_queue.takeFirst().index);
            }
            if (rang)
                fineUntil = m_now.addSecs(2);
            if (m_now < fineUntil) {
                m_now = m_now.addMSecs(200);
            } else {
                const QDateTime second = m_now.addMSecs(-m_now.time().msec());
                m_now = second.addMSecs(1000 + phaseMs);
            }
        }
    }

    QList<Window> windows;
    std::map<int, QList<QList<Phase>>> phases; // per alarm, per window

    /// Chime hook: the chime step, run at every scheduler check, those during a ringing window included. Set
    /// it to the chime rule plus the player's play command when the player is idle, record each chime
    /// started, and compare those with the quarters of the month (none starts while the player is busy with
    /// an alarm) in the test below.
    std::function<void(const QDateTime& now, SoakPlayer& player)> chimeStep;

private:
    void schedulerTick()
    {
        m_queue += m_scheduler.check(m_rows, m_now).ring;
        if (chimeStep)
            chimeStep(m_now, m_player);
    }

    void ringWindow(int row)
    {
        const SoakAlarm& a = m_alarms[row];
        const QDateTime opened = m_now;
        windows.append({row, secondOf(opened)});
        QList<Phase> log;
        auto at = [&] { return int(opened.secsTo(m_now)); };

        RingingSession session;
        session.start(m_now);
        AlarmSettings s;
        ReadAlarmSettings(m_settings[row], SettingsReader::Ringing, s);
        session.load(s, QStringLiteral("/prog/"));
        m_player.fileMs = a.fileMs;
        m_player.closeRequested = false;
        session.show(m_player);

        bool sounding = false, snoozed = false;
        const int powerBefore = int(m_player.power.size());
        for (bool first = true;; first = false) {
            if (!first)
                m_now = m_now.addMSecs(200);
            // The window's tick, then the scheduler's nested tick, then the user.
            const int starts = m_player.starts, closes = m_player.closes;
            if (session.timerEnabled())
                session.tick(m_now, m_player);
            if (m_player.starts > starts && !sounding)
                log.append({Phase::Ring, at()}), sounding = true;
            if (m_player.closes > closes && sounding)
                log.append({Phase::Silence, at()}), sounding = false;
            if (int(m_player.power.size()) > powerBefore &&
                (log.isEmpty() || log.last().kind != Phase::Power))
                log.append({Phase::Power, at()});
            if (m_player.closeRequested)
                break;
            schedulerTick();
            if (at() == a.user.snoozeAt && !snoozed)
                session.snoozePressed(), snoozed = true;
            if (at() == a.user.okAt)
                break;
            if (at() > 3 * 3600) {
                ADD_FAILURE() << a.name << ": the window never closed";
                break;
            }
        }
        // Closing stops the player, whatever it was doing.
        if (sounding && !m_player.playerIdle())
            log.append({Phase::Silence, at()});
        m_player.closePlayer();
        log.append({Phase::Close, at()});
        phases[row].append(log);
    }

    QList<SoakAlarm> m_alarms;
    QList<AlarmEntry> m_rows;
    QList<QByteArray> m_settings;
    AlarmScheduler m_scheduler{QTimeZone::utc()};
    QList<Occurrence> m_queue;
    SoakPlayer m_player;
    QDateTime m_now;
};

} // namespace

TEST(MonthSoak, EveryAlarmRingsOnceAtItsSecondWithItsSnoozesAndNothingElseRings)
{
    const QList<SoakAlarm> alarms = monthOfAlarms();
    const QDateTime from = utc(QDate(2026, 12, 1), QTime(0, 0));
    const QDateTime to = utc(QDate(2027, 1, 1), QTime(0, 0));
    Month month(alarms);
    month.run(from, to, 137);

    const QList<Window> expected = expectedWindows(alarms, from, to);
    ASSERT_EQ(month.windows.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        ASSERT_EQ(month.windows[i], expected[i]) << "window " << i;

    // The month's shape, so the expectations above are the ones meant: the hourly alarm rings every
    // hour, once after the monthly alarm of the 31st; the two 7:00 alarms share a second, and the
    // second in the list rings when the first one's window closes.
    std::map<int, int> perAlarm;
    for (const Window& w : month.windows)
        ++perAlarm[w.alarm];
    EXPECT_EQ(perAlarm[0], 31);
    EXPECT_EQ(perAlarm[1], 13); // Mondays, Wednesdays and Fridays of December 2026
    EXPECT_EQ(perAlarm[2], 31 * 24);
    EXPECT_EQ(perAlarm[3], 1);
    EXPECT_EQ(perAlarm[4], 1);
    EXPECT_EQ(perAlarm[5], 1);
    EXPECT_EQ(perAlarm[6], 1);
    EXPECT_EQ(perAlarm[7], 31);
    EXPECT_EQ(perAlarm[8], 31);

    // Inside every window: each phase once, on its second or in the second after (the tick that acts
    // comes up to 200 ms after the moment, and a sound starts at the tick after a snooze ends).
    for (const auto& [alarm, windowsOfAlarm] : month.phases) {
        const QList<Phase> want = expectedPhases(alarms[alarm]);
        for (const QList<Phase>& got : windowsOfAlarm) {
            ASSERT_EQ(got.size(), want.size()) << alarms[alarm].name << ": " << testing::PrintToString(got);
            for (qsizetype i = 0; i < want.size(); ++i) {
                EXPECT_EQ(got[i].kind, want[i].kind) << alarms[alarm].name << " phase " << i;
                EXPECT_GE(got[i].second, want[i].second) << alarms[alarm].name << " phase " << i;
                EXPECT_LE(got[i].second, want[i].second + 1) << alarms[alarm].name << " phase " << i;
            }
        }
    }
}

TEST(MonthSoak, EveryQuarterHourChimesOnceAndNothingElseChimes)
{
    // The chime step runs at every scheduler check, inside ringing windows too. The chime
    // here is a file shorter than a second, the case that could chime twice in a due second.
    const QDateTime from = utc(QDate(2026, 12, 1), QTime(0, 0));
    const QDateTime to = utc(QDate(2027, 1, 1), QTime(0, 0));
    Month month(monthOfAlarms());
    ChimeOptions options;
    options.file = QStringLiteral("/prog/sounds/Cuckoo.wav");
    ChimeMemory memory;
    QDateTime chimeEnds;
    QList<QDateTime> chimes;
    month.chimeStep = [&](const QDateTime& now, SoakPlayer&) {
        const bool playing = chimeEnds.isValid() && now < chimeEnds;
        if (memory.startNow(options, now, playing)) {
            chimes.append(now.addMSecs(-now.time().msec()));
            chimeEnds = now.addMSecs(300);
        }
    };
    month.run(from, to, 137);

    QList<QDateTime> quarters;
    for (QDateTime t = from; t < to; t = t.addSecs(15 * 60))
        quarters.append(t);
    ASSERT_EQ(chimes.size(), quarters.size());
    EXPECT_EQ(chimes, quarters);
}
