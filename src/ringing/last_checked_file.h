#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

/// "lastcheck.ini" beside the alarm list: the instant the scheduler last checked the alarms, so the
/// occurrences that fell while the program was not running are found at its next start. One line,
/// seconds since the epoch, CR LF ended.
class LastCheckedFile {
public:
    explicit LastCheckedFile(const QString& folder);

    /// The instant to check from: the stored one; when the file does not hold one (garbled, cut short)
    /// the file's modification time, when it was last written; when the stored one lies after `now`
    /// (the clock was set back, or the file is damaged) the earlier of the modification time and
    /// `now`. Nothing when there is no file (a first run).
    std::optional<QDateTime> read(const QDateTime& now) const;
    /// Replaces the file atomically; raises an I/O error naming the file.
    void write(const QDateTime& instant) const;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};
