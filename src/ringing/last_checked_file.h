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

    /// The stored instant; nothing when there is no file or it does not hold one (the program then
    /// starts checking from now, as it did before it kept the file).
    std::optional<QDateTime> read() const;
    /// Replaces the file atomically; raises an I/O error naming the file.
    void write(const QDateTime& instant) const;

    const QString& path() const { return m_path; }

private:
    QString m_path;
};
