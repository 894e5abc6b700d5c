#include "ringing/next_ring_watch.h"

#include <optional>

#include "alarms/alarm_list_file.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "ringing/alarm_dispatcher.h"
#include "ringing/next_ring_text.h"

NextRingWatch::NextRingWatch(AlarmDispatcher& dispatcher, const AlarmListStore& store, Clock& clock)
    : QObject(&dispatcher), m_dispatcher(dispatcher), m_store(store), m_clock(clock)
{
    m_midnight.setSingleShot(true);
    connect(&m_midnight, &QTimer::timeout, this, &NextRingWatch::refresh);
    connect(&dispatcher, &AlarmDispatcher::nextMoved, this, &NextRingWatch::refresh);
    connect(&dispatcher, &AlarmDispatcher::ringingStarted, this, [this](TAlarmRun* window) {
        connect(window, &TAlarmRun::snoozeChanged, this, &NextRingWatch::refresh);
        refresh();
    });
    // Queued: the window is still being destroyed when the ringing is said to have ended.
    connect(&dispatcher, &AlarmDispatcher::ringingEnded, this, &NextRingWatch::refresh, Qt::QueuedConnection);
}

void NextRingWatch::refresh()
{
    const QDateTime now = m_clock.now();
    const bool twelve = twelveHour && twelveHour();
    // The scheduler is shown only the rows that are on, so its row numbers count those alone.
    const QList<AlarmEntry> onRows = m_store.onRows();
    AlarmScheduler& scheduler = m_dispatcher.scheduler();
    QStringList texts;
    std::optional<QDateTime> earliest;
    QString earliestCaption;
    qsizetype onIndex = 0;
    for (const AlarmEntry& row : m_store.rows) {
        std::optional<QDateTime> next;
        if (!m_store.off.isOff(row))
            next = scheduler.nextDueOf(onRows, onIndex++);
        texts << nextRingText(next, now, twelve);
        if (next && (!earliest || *next < *earliest)) {
            earliest = next;
            earliestCaption = decodeText(row.caption);
        }
    }
    QString hint = nextRingHint(earliest ? nextRingText(earliest, now, twelve) : QString(), earliestCaption);
    if (TAlarmRun* window = m_dispatcher.ringingWindow())
        if (const std::optional<QDateTime> until = window->session().snoozedUntil())
            hint = snoozeHint(*until, decodeText(window->request().occurrence.row.caption), twelve);

    const qint64 toMidnight = now.msecsTo(nextMidnight(now));
    // A second past midnight, so the day has surely turned on the clock the texts are read from.
    m_midnight.start(int(std::clamp<qint64>(toMidnight + 1000, 0, 25LL * 3600 * 1000)));
    if (texts == m_rowTexts && hint == m_hint)
        return;
    m_rowTexts = texts;
    m_hint = hint;
    emit changed();
}
