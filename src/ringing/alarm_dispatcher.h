#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "ringing/alarm_run_window.h"
#include "ringing/alarm_schedule.h"
#include "ringing/last_checked_file.h"

class AlarmListStore;
class PrerolledSound;
class RingPreroll;
class QWidget;
class ResumeWatch;
class TFormRunPlay;
class WallClockWatch;
class WakeTimer;
struct Services;

/// The application's scheduler: it rings the alarms of the list whether or not any window is open.
/// One precise single-shot timer is armed for the next instant that matters (the earliest occurrence,
/// the next chime boundary when chimes are on), and never for more than a minute, so a lost signal
/// can cost an alarm at most a minute. It also looks at the clock when the wall clock is set and when
/// the machine resumes. Due occurrences open one ringing window at a time, in due order; those due
/// while a window is open wait for it to close. The next alarm's sound is made ready a few seconds
/// ahead (see `RingPreroll`), and at its second the sound starts before the window is drawn.
class AlarmDispatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kLongestSleepMs = 60 * 1000;

    AlarmDispatcher(Services& services, const AlarmListStore& store, QString dataFolder,
                    QString programFolder, TFormRunPlay& player,
                    QTimeZone zone = QTimeZone::systemTimeZone());
    ~AlarmDispatcher() override;

    /// Whether chimes are on, and the chime step run whenever the scheduler wakes.
    void setChimes(std::function<bool()> enabled, std::function<void()> step);
    /// The timer that wakes the machine for alarms: kept armed a minute before the next occurrence of
    /// the switched-on alarms, so the machine is up and the sound running when the second comes.
    void setWakeTimer(WakeTimer* timer);
    /// How long before an alarm the machine is woken.
    static constexpr int kWakeAheadSeconds = 60;
    /// The window ringing windows stack above.
    void setWindowParent(QWidget* parent) { m_windowParent = parent; }

    /// Starts from the instant stored when the program last ran, so what fell due since then rings or
    /// is reported, then checks now and arms the timer. With nothing stored (a first run), it starts
    /// from `launchedAt`, if given: an alarm due while the program was loading rings.
    void start(const QDateTime& launchedAt = {});
    /// The rows, the options or the wall clock changed, or the machine resumed: checks now, stores
    /// the instant checked (rows added from now on must not be caught up after a crash) and arms the
    /// timer again.
    void rearm() { check(true); }
    /// The orderly end of the run: a ringing window closes (putting the output device back as it
    /// found it), nothing more rings, and the instant last checked is stored.
    void stop();

    /// Rings these settings now, as a trial from the editor, in the one ringing window: an alarm that
    /// falls due meanwhile waits for it to close. Nothing when an alarm is ringing already.
    void ringTrial(const AlarmSettings& settings);

    /// Finds what is due and rings it, then arms the timer for the next instant that matters.
    void checkNow() { check(false); }

    TAlarmRun* ringingWindow() const { return m_window; }
    const QList<Occurrence>& waiting() const { return m_queue; }
    const QTimer& wakeTimer() const { return m_wake; }
    AlarmScheduler& scheduler() { return m_scheduler; }
    const RingPreroll& preroll() const { return *m_preroll; }

signals:
    void ringingStarted(TAlarmRun* window);
    void ringingEnded();
    /// An alarm's ringing ended by itself, nobody having answered it (its sound minutes passed or its
    /// play list was played through); the window may still be open, silent. `alarmNumber` names its
    /// settings file. A trial from the editor says nothing.
    void alarmUnanswered(int alarmNumber, const Occurrence& occurrence);
    /// The next occurrences may have moved: the rows, the options or the clock changed, or something
    /// was handed out. An idle wake says nothing.
    void nextMoved();

private:
    void letGoOfRinging();
    void ringNext();
    void openWindow(const RingRequest& request, std::unique_ptr<PrerolledSound> sound = nullptr);
    void arm();
    /// Tells the preroll the first occurrence of the next alarm second, when its lead begins before the
    /// timer wakes again; nothing otherwise.
    void followPreroll(const QList<AlarmEntry>& rows, const std::optional<QDateTime>& nextAlarm);
    /// Sends the wake timer the next alarm's instant, less the lead, when it moved.
    void armWake(const std::optional<QDateTime>& nextAlarm);
    /// The instant last checked is stored whenever an occurrence was handed out (so a crash never
    /// rings it again) and when `store` asks; an idle wake writes nothing.
    void check(bool store);
    /// `keepRinging`: the run ends under a ringing window, whose occurrence counts as not rung.
    void storeLastChecked(bool keepRinging = false);
    /// When the earliest alarm in the list was made, as its files tell; nothing for an empty list.
    std::optional<QDateTime> firstAlarmMade() const;
    static QString missedText(const QList<Occurrence>& missed);

    Services& m_services;
    const AlarmListStore& m_store;
    QString m_dataFolder;
    QString m_programFolder;
    TFormRunPlay& m_player;
    AlarmScheduler m_scheduler;
    LastCheckedFile m_lastCheckedFile;
    std::function<bool()> m_chimesOn;
    std::function<void()> m_chimeStep;
    QPointer<QWidget> m_windowParent;
    QPointer<TAlarmRun> m_window;
    /// The due instant of the occurrence the window rings; invalid for a trial.
    QDateTime m_ringingDue;
    QList<Occurrence> m_queue;
    QTimer m_wake;
    WakeTimer* m_wakeTimer = nullptr;
    std::optional<QDateTime> m_wakeSent; // what the wake timer was last given
    WallClockWatch* m_wallClock;
    ResumeWatch* m_resume;
    RingPreroll* m_preroll;
    bool m_running = false;
    bool m_storeErrorReported = false;
};
