#include "ringing/alarm_dispatcher.h"

#include <algorithm>
#include <utility>

#include <QFileInfo>
#include <QWidget>

#include "alarms/alarm_list_file.h"
#include "media/prerolled_sound.h"
#include "platform/clock.h"
#include "platform/heap_trim.h"
#include "platform/resume_watch.h"
#include "platform/text_codec.h"
#include "platform/wake_timer.h"
#include "platform/wall_clock_watch.h"
#include "ringing/alarm_run_window.h"
#include "ringing/ring_preroll.h"
#include "ui/error_report.h"
#include "ui/services.h"
#include <QCoreApplication>

AlarmDispatcher::AlarmDispatcher(Services& services, const AlarmListStore& store, QString dataFolder,
                                 QString programFolder, TFormRunPlay& player, QTimeZone zone)
    : m_services(services), m_store(store), m_dataFolder(std::move(dataFolder)),
      m_programFolder(std::move(programFolder)), m_player(player), m_scheduler(std::move(zone)),
      m_lastCheckedFile(m_dataFolder), m_wallClock(new WallClockWatch(this)), m_resume(new ResumeWatch(this)),
      m_preroll(new RingPreroll(services.clock, m_dataFolder, m_programFolder, this))
{
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer);
    connect(&m_wake, &QTimer::timeout, this, &AlarmDispatcher::checkNow);
    // A clock set or a resume moves what comes next as a list change does.
    connect(m_wallClock, &WallClockWatch::clockSet, this, &AlarmDispatcher::rearm);
    connect(m_resume, &ResumeWatch::resumed, this, &AlarmDispatcher::rearm);
}

AlarmDispatcher::~AlarmDispatcher()
{
    stop();
}

void AlarmDispatcher::setChimes(std::function<bool()> enabled, std::function<void()> step)
{
    m_chimesOn = std::move(enabled);
    m_chimeStep = std::move(step);
}

void AlarmDispatcher::setWakeTimer(WakeTimer* timer)
{
    m_wakeTimer = timer;
    m_wakeSent.reset();
    arm();
}

std::optional<QDateTime> AlarmDispatcher::firstAlarmMade() const
{
    // An alarm's settings file is written when it is made (and again when it is changed); a row
    // without one was written into the list, whose file is then as old at least.
    std::optional<QDateTime> first;
    for (const AlarmEntry& row : m_store.rows) {
        bool numbered = false;
        const int number = row.alarmNumber.toInt(&numbered);
        QFileInfo made(m_dataFolder + SettingsFileName(numbered ? number : -1));
        if (!numbered || !made.exists())
            made = QFileInfo(m_store.listPath());
        const QDateTime at = made.lastModified();
        if (at.isValid() && (!first || at < *first))
            first = at;
    }
    return first;
}

void AlarmDispatcher::start(const QDateTime& launchedAt)
{
    const QDateTime now = m_services.clock.now();
    if (std::optional<QDateTime> stored = m_lastCheckedFile.read(now)) {
        // Nothing was missed before the first alarm was made: an instant stored before then (a 0, a
        // file older than the list) would list occurrences of alarms that did not exist yet.
        // A file time after now says nothing (the clock was set back): the stored instant stands.
        if (const std::optional<QDateTime> made = firstAlarmMade(); made && *made > *stored && *made <= now)
            stored = made;
        m_scheduler.startFrom(*stored);
    } else if (launchedAt.isValid())
        // Checking covers the seconds after the one it starts from: the second of the launch itself
        // is included, so an alarm due in it (a moment before the process began) still rings.
        m_scheduler.startFrom(QDateTime::fromSecsSinceEpoch(launchedAt.toSecsSinceEpoch() - 1));
    m_running = true;
    check(true);
}

void AlarmDispatcher::stop()
{
    if (!m_running)
        return;
    m_wake.stop();
    m_preroll->clear();
    // Stored before anything is let go: what waits, and what rings unanswered, lies after the stored
    // instant and is rung late or listed at the next start.
    storeLastChecked(true);
    m_running = false;
    m_queue.clear();
    if (m_window)
        m_window->close();
}

void AlarmDispatcher::check(bool store)
{
    if (!m_running)
        return;
    // Alarms switched off are never shown to the scheduler; one switched on again starts from then.
    const CheckResult found = m_scheduler.check(m_store.onRows(), m_services.clock.now());
    m_queue += found.ring;
    std::stable_sort(m_queue.begin(), m_queue.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.due < b.due; });
    if (!found.missed.isEmpty())
        reportNotice(missedText(found.missed));
    if (m_chimeStep && m_chimesOn && m_chimesOn())
        guarded(m_chimeStep);
    ringNext();
    // An idle wake changes nothing that is stored or shown: the next occurrences stay where they were.
    const bool moved = store || !found.ring.isEmpty() || !found.missed.isEmpty();
    if (moved)
        storeLastChecked();
    arm();
    if (moved)
        emit nextMoved();
}

void AlarmDispatcher::ringNext()
{
    if (!m_running || m_window || m_queue.isEmpty())
        return;
    RingRequest request;
    request.occurrence = m_queue.takeFirst();
    m_ringingDue = request.occurrence.due;
    request.dataFolder = m_dataFolder;
    request.programFolder = m_programFolder;
    request.lateSeconds = std::max<qint64>(0, request.occurrence.due.secsTo(m_services.clock.now()));
    openWindow(request, m_preroll->take(request.occurrence));
}

void AlarmDispatcher::ringTrial(const AlarmSettings& settings)
{
    if (!m_running)
        return;
    if (m_window) {
        m_window->raise();
        return;
    }
    RingRequest request;
    request.occurrence.row.caption = encodeText(settings.reminderText.value(0));
    request.occurrence.due = m_services.clock.now();
    request.dataFolder = m_dataFolder;
    request.programFolder = m_programFolder;
    request.trial = settings;
    m_ringingDue = {};
    openWindow(request);
}

void AlarmDispatcher::openWindow(const RingRequest& request, std::unique_ptr<PrerolledSound> sound)
{
    auto* window = new TAlarmRun(request, m_services, m_player, m_windowParent);
    window->setPrerolledSound(std::move(sound));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    m_window = window;
    // The next waiting occurrence rings once this window is gone, from the event loop, not from
    // inside the window's own closing.
    connect(window, &QObject::destroyed, this, [this] {
        m_ringingDue = {};
        emit ringingEnded();
        QTimer::singleShot(0, this, [this] {
            ringNext();
            storeLastChecked(); // a waiting occurrence that now rings is not rung again after a restart
            if (!m_window)
                letGoOfRinging();
        });
    });
    if (!request.trial)
        connect(window, &TAlarmRun::unanswered, this, [this, occurrence = request.occurrence] {
            emit alarmUnanswered(occurrence.row.alarmNumber.toInt(), occurrence);
        });
    // The sound first: drawing the window takes longer than starting a sound made ready.
    window->startRinging();
    // A first tick that ended the ringing (a play list with nothing in it, closing when finished)
    // has closed the window already.
    if (!window->closed())
        window->show();
    emit ringingStarted(window);
}

void AlarmDispatcher::letGoOfRinging()
{
    // The window, its sound and its player's pipeline are gone; what they left behind goes back too:
    // the sound server's connection, the fonts opened for the window, the heap they all used and, until
    // next used, the pages of code and files that ringing drew in.
    m_services.volume.release();
    const bool nextReady = m_preroll->sound() != nullptr; // the next alarm, due within seconds, keeps them
    if (!nextReady)
        TAlarmRun::releaseFonts();
    returnFreeHeap();
    if (!nextReady)
        returnPagesUsedForSound();
}

void AlarmDispatcher::arm()
{
    if (!m_running)
        return;
    const QDateTime last = m_scheduler.lastChecked();
    const QList<AlarmEntry> rows = m_store.onRows();
    std::optional<QDateTime> next = m_scheduler.nextDue(rows);
    // Alarms only: a chime does not wake the machine, and has no sound made ready.
    armWake(next);
    followPreroll(rows, next);
    if (m_chimesOn && m_chimesOn()) {
        const QDateTime chime = nextChimeBoundary(last);
        if (!next || chime < *next)
            next = chime;
    }
    qint64 waitMs = kLongestSleepMs;
    if (next)
        waitMs =
            std::clamp<qint64>(next->toMSecsSinceEpoch() - m_services.clock.epochMs(), 0, kLongestSleepMs);
    m_wake.start(int(waitMs));
}

void AlarmDispatcher::followPreroll(const QList<AlarmEntry>& rows, const std::optional<QDateTime>& nextAlarm)
{
    std::optional<Occurrence> first;
    const qint64 leadBegins =
        nextAlarm ? nextAlarm->toMSecsSinceEpoch() - qint64(RingPreroll::kLeadSeconds) * 1000 : 0;
    // Further away the timer wakes again before the lead begins, and this is asked again then.
    if (nextAlarm && leadBegins - m_services.clock.epochMs() <= kLongestSleepMs) {
        // Rows due in the same second ring in list order: the first one's sound is made ready.
        for (qsizetype i = 0; i < rows.size() && !first; ++i)
            if (m_scheduler.nextDueOf(rows, i) == nextAlarm)
                first = Occurrence{rows[i], int(i), *nextAlarm};
    }
    m_preroll->follow(first);
}

void AlarmDispatcher::armWake(const std::optional<QDateTime>& nextAlarm)
{
    if (!m_wakeTimer)
        return;
    const QDateTime instant = nextAlarm ? nextAlarm->addSecs(-kWakeAheadSeconds) : QDateTime();
    if (m_wakeSent && *m_wakeSent == instant)
        return;
    m_wakeSent = instant;
    m_wakeTimer->arm(instant);
}

void AlarmDispatcher::storeLastChecked(bool keepRinging)
{
    QDateTime instant = m_scheduler.lastChecked();
    // After the end of the run nothing is stored: a window closed by the end must not move it on.
    if (!m_running || !instant.isValid())
        return;
    // Occurrences still waiting for a window have not rung: the stored instant stays before them, so
    // a program ended now finds them again at its next start. The one ringing counts too when the run
    // ends under it; while it rings, a crash must not ring it twice.
    QList<QDateTime> unrung;
    if (!m_queue.isEmpty())
        unrung << m_queue.first().due;
    if (keepRinging && m_window && m_ringingDue.isValid())
        unrung << m_ringingDue;
    for (const QDateTime& due : unrung)
        if (due <= instant)
            instant = due.addSecs(-1);
    try {
        m_lastCheckedFile.write(instant);
    } catch (const BelvaneError& e) {
        // Reported once: catch-up after a restart is lost, the alarms themselves are not.
        if (!std::exchange(m_storeErrorReported, true))
            reportError(e.text());
    }
}

QString AlarmDispatcher::missedText(const QList<Occurrence>& missed)
{
    QStringList lines{tr("错过的闹钟：")};
    for (const Occurrence& o : missed)
        lines << QStringLiteral("%1  %2").arg(decodeText(o.row.caption),
                                              o.due.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    return lines.join(QLatin1Char('\n'));
}
