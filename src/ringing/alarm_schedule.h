#pragma once

#include <optional>

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTimeZone>

#include "alarms/alarm_record.h"

/// One occurrence of an alarm: the row as it was when the occurrence was found (it may be edited or
/// deleted before its window opens), its place in the list then, and the instant it was due.
struct Occurrence {
    AlarmEntry row;
    int index = 0;
    QDateTime due;
    bool operator==(const Occurrence&) const = default;
};

/// What one check found between the instant last checked and now.
struct CheckResult {
    /// Occurrences to ring now: due at most the grace period ago, earliest first, list order within
    /// the same instant.
    QList<Occurrence> ring;
    /// Occurrences too old to ring: the latest of each row, in list order.
    QList<Occurrence> missed;
};

/// Decides which alarms ring, from the rows and the wall clock. It remembers the instant it last
/// checked, so occurrences it did not see happen (a resume, a forward clock step, a stall, the time
/// since the program last ran) are found at the next check: those at most ten minutes late still
/// ring, older ones are reported as missed. An occurrence is handed out once, also when the clock
/// is set back over it. A row added or changed after the first check starts from the moment it is
/// first seen: an alarm set for a minute ago does not ring at once. Between checks it keeps each
/// row's next occurrence, so asking for the next instant that matters costs a lookup per row.
class AlarmScheduler {
public:
    static constexpr qint64 kGraceSeconds = 10 * 60;

    explicit AlarmScheduler(QTimeZone zone = QTimeZone::systemTimeZone());

    /// Where checking starts: the instant stored when the program last ran. Without one the first
    /// check only sets the starting point.
    void startFrom(const QDateTime& lastChecked) { m_lastChecked = lastChecked; }
    const QDateTime& lastChecked() const { return m_lastChecked; }

    /// The occurrences in (last checked, now]; `now` becomes the instant last checked. A clock set back
    /// finds nothing and checks on from the earlier instant.
    CheckResult check(const QList<AlarmEntry>& rows, const QDateTime& now);

    /// The earliest occurrence of any row after the instant last checked; nothing when none will ring.
    std::optional<QDateTime> nextDue(const QList<AlarmEntry>& rows);

    /// The next occurrence of one row after the instant last checked, from the kept values.
    std::optional<QDateTime> nextDueOf(const QList<AlarmEntry>& rows, qsizetype index);

    const QTimeZone& zone() const { return m_zone; }

private:
    struct Kept {
        qint64 from = 0;             // the instant the value was found after
        std::optional<qint64> next;  // seconds since the epoch
    };
    /// `last`: the instant last checked; `newRowsFrom`: where a row not seen before starts (both in
    /// seconds since the epoch, read once by the caller: a local date-time is slow to convert).
    std::optional<qint64> keptNext(const AlarmEntry& row, qint64 last, qint64 newRowsFrom);
    std::optional<qint64> safeNext(const AlarmEntry& row, qint64 after) const;
    bool firstHandOut(const AlarmEntry& row, qint64 due);

    QTimeZone m_zone;
    QDateTime m_lastChecked;
    // By the row's whole content, so rows moving up when one above is deleted keep theirs.
    QHash<QByteArray, Kept> m_kept;
    // False until the first check from a stored instant: until then every row catches up.
    bool m_rowsSeen = false;
    // Occurrences handed out (alarm number, due second), for the clock set back over them.
    QSet<QPair<QByteArray, qint64>> m_handedOut;
};

/// The next quarter-hour boundary strictly after `after`: the instants a chime can be due at.
QDateTime nextChimeBoundary(const QDateTime& after);
