#include "ringing/alarm_schedule.h"

#include <algorithm>

#include "platform/errors.h"
#include "ringing/alarm_occurrence.h"

namespace {
constexpr qint64 kForgetHandedOutAfter = 2 * 86400;
}

AlarmScheduler::AlarmScheduler(QTimeZone zone) : m_zone(std::move(zone)) {}

std::optional<qint64> AlarmScheduler::safeNext(const AlarmEntry& row, qint64 after) const
{
    // Rows are checked when they are read and made well formed by the editor; one that still fails
    // to decode never rings, and does not stop the others.
    try {
        const std::optional<QDateTime> next =
            nextOccurrence(row, QDateTime::fromSecsSinceEpoch(after, QTimeZone::utc()), m_zone);
        return next ? std::optional(next->toSecsSinceEpoch()) : std::nullopt;
    } catch (const BelvaneError&) {
        return std::nullopt;
    }
}

namespace {
QByteArray keyOf(const AlarmEntry& row)
{
    QByteArray key;
    for (int f = 0; f < AlarmEntry::kFieldCount; ++f)
        key += row.field(f) + '\n';
    return key;
}
} // namespace

std::optional<qint64> AlarmScheduler::keptNext(const AlarmEntry& row, qint64 last, qint64 newRowsFrom)
{
    const QByteArray key = keyOf(row);
    auto it = m_kept.find(key);
    if (it == m_kept.end()) {
        const qint64 from = m_rowsSeen ? std::max(last, newRowsFrom) : last;
        it = m_kept.insert(key, Kept{from, safeNext(row, from)});
    }
    // A kept value holds while its occurrence still lies ahead and the instant last checked has not
    // gone back before the one it was found after; a row first seen in this check starts later on purpose.
    const bool checkedBefore = it->from > last && !(m_rowsSeen && it->from == newRowsFrom);
    if (checkedBefore || (it->next && *it->next <= last)) {
        it->from = last;
        it->next = safeNext(row, last);
    }
    return it->next;
}

bool AlarmScheduler::firstHandOut(const AlarmEntry& row, qint64 due)
{
    const QPair<QByteArray, qint64> key{row.alarmNumber, due};
    if (m_handedOut.contains(key))
        return false;
    m_handedOut.insert(key);
    return true;
}

CheckResult AlarmScheduler::check(const QList<AlarmEntry>& rows, const QDateTime& now)
{
    CheckResult result;
    if (!m_lastChecked.isValid()) {
        m_lastChecked = now;
        m_rowsSeen = true;
        return result;
    }
    const qint64 nowSeconds = now.toSecsSinceEpoch();
    if (nowSeconds <= m_lastChecked.toSecsSinceEpoch()) {
        // Set back, or within the second last checked: check on from here; what was handed out is not
        // handed out again. The rows there are now go on from here, and one added later starts from
        // when it is seen.
        m_lastChecked = now;
        for (const AlarmEntry& row : rows)
            keptNext(row, nowSeconds, nowSeconds);
        m_rowsSeen = true;
        return result;
    }
    const qint64 graceStart = nowSeconds - kGraceSeconds;
    const qint64 last = m_lastChecked.toSecsSinceEpoch();
    const auto occurrence = [&](qsizetype i, qint64 due) {
        return Occurrence{rows[i], int(i), QDateTime::fromSecsSinceEpoch(due, m_zone)};
    };
    for (qsizetype i = 0; i < rows.size(); ++i) {
        std::optional<qint64> due = keptNext(rows[i], last, nowSeconds);
        if (!due || *due > nowSeconds)
            continue;
        if (*due < graceStart) {
            // Too late to ring (more than the grace period late): the latest of these is reported, and
            // ringing goes on from the grace period, whose first second still rings.
            try {
                const std::optional<QDateTime> latest = previousOccurrence(
                    rows[i], QDateTime::fromSecsSinceEpoch(graceStart - 1, QTimeZone::utc()), m_zone);
                if (latest && firstHandOut(rows[i], latest->toSecsSinceEpoch()))
                    result.missed.append(occurrence(i, latest->toSecsSinceEpoch()));
            } catch (const BelvaneError&) {
            }
            due = safeNext(rows[i], graceStart - 1);
        }
        for (; due && *due <= nowSeconds; due = safeNext(rows[i], *due))
            if (firstHandOut(rows[i], *due))
                result.ring.append(occurrence(i, *due));
    }
    std::stable_sort(result.ring.begin(), result.ring.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.due < b.due; });
    m_lastChecked = now;
    m_rowsSeen = true;
    m_handedOut.removeIf([&](const QPair<QByteArray, qint64>& key) {
        return key.second < nowSeconds - kForgetHandedOutAfter;
    });
    return result;
}

std::optional<QDateTime> AlarmScheduler::nextDueOf(const QList<AlarmEntry>& rows, qsizetype index)
{
    if (!m_lastChecked.isValid() || index < 0 || index >= rows.size())
        return std::nullopt;
    const qint64 last = m_lastChecked.toSecsSinceEpoch();
    const std::optional<qint64> next = keptNext(rows[index], last, last);
    return next ? std::optional(QDateTime::fromSecsSinceEpoch(*next, m_zone)) : std::nullopt;
}

std::optional<QDateTime> AlarmScheduler::nextDue(const QList<AlarmEntry>& rows)
{
    if (!m_lastChecked.isValid())
        return std::nullopt;
    std::optional<qint64> earliest;
    const qint64 last = m_lastChecked.toSecsSinceEpoch();
    for (const AlarmEntry& row : rows)
        if (const std::optional<qint64> next = keptNext(row, last, last);
            next && (!earliest || *next < *earliest))
            earliest = next;
    // Rows gone from the list are forgotten, so the kept values stay as many as the rows.
    if (m_kept.size() > rows.size()) {
        QSet<QByteArray> keys;
        for (const AlarmEntry& row : rows)
            keys.insert(keyOf(row));
        m_kept.removeIf(
            [&](const QHash<QByteArray, Kept>::iterator& it) { return !keys.contains(it.key()); });
    }
    return earliest ? std::optional(QDateTime::fromSecsSinceEpoch(*earliest, m_zone)) : std::nullopt;
}

QDateTime nextChimeBoundary(const QDateTime& after)
{
    // Every zone's offset is a whole number of quarter hours, so local quarter hours fall on UTC ones.
    constexpr qint64 kQuarter = 15 * 60;
    const qint64 seconds = after.toSecsSinceEpoch();
    const qint64 floored = seconds >= 0 ? seconds / kQuarter : (seconds - kQuarter + 1) / kQuarter;
    return QDateTime::fromSecsSinceEpoch((floored + 1) * kQuarter, after.timeZone());
}
