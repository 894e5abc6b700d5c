#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "alarms/alarm_record.h"
#include "alarms/off_switches.h"

/// Reads the bytes of "al.ini" into `rows` and marks the numbers in `used`. A count that is not a
/// number from 0 to 256, a number or code that does not convert, fewer rows than the count (the file
/// ends early) or more (lines after the last counted row) stops reading with a ConversionError that
/// says in the interface's language which line or alarm was wrong; the complete rows read before it
/// stay in `rows`.
void LoadAlarmList(const QByteArray& bytes, QList<AlarmEntry>& rows, UsedAlarmNumbers& used);
/// The alarms of a damaged "al.ini" that did not load, as "caption" and time, one each: the rows
/// after the first `loadedRows`, read eight lines at a time as far as the file goes (past the count
/// too). Rows with neither a caption nor a time are left out.
QStringList unreadAlarms(const QByteArray& bytes, qsizetype loadedRows);
/// The bytes of "al.ini" for these rows: the count, then eight lines per row, CR LF ended.
QByteArray SaveAlarmList(const QList<AlarmEntry>& rows);

/// The alarm list as it lives in the data folder: "al.ini" read at start-up and rewritten whole
/// after every change. The application's one list: every change, from the windows, a command or
/// D-Bus, goes through it, and whoever shows or schedules the rows follows `changed`.
class AlarmListStore : public QObject {
    Q_OBJECT
public:
    explicit AlarmListStore(QString programFolder) : m_folder(std::move(programFolder)) {}

    QString listPath() const { return m_folder + QStringLiteral("al.ini"); }
    QString damagedCopyPath() const { return listPath() + QStringLiteral(".bad"); }

    /// Loads "al.ini"; a missing file is an empty list. A change that a crash interrupted is first
    /// finished or rolled back (see `addRow`), and the temporary files of interrupted writes go. A damaged
    /// file is copied unchanged to "al.ini.bad" before anything can save over it, the rows that read cleanly
    /// stay, and a ConversionError is raised that names the file, what was wrong, how many alarms were
    /// kept, where the copy is, and the alarms that did not load. Until the
    /// damage has been acknowledged nothing is written over "al.ini" or a numbered settings file.
    void load();
    /// Rewrites "al.ini" atomically from the rows; raises while damage is unacknowledged.
    void save() const;

    /// Changes of a row together with its settings file. After a crash at any point, the next load
    /// finds the list row and its settings file both as they were or both as they became, and no
    /// settings file that no row names. The new list is written first as "al.ini.new" (the change
    /// begun), the new settings file as "N.ini.new" and a deleted one moved to "N.ini.old"; replacing
    /// "al.ini" by "al.ini.new" is the moment the change takes place, after which the settings file
    /// is moved into place or the old one removed. A failure before that moment undoes everything
    /// and raises. Each raises while damage is unacknowledged.
    void addRow(const AlarmEntry& row, const QByteArray& settings);
    void replaceRow(qsizetype index, const AlarmEntry& row, const QByteArray& settings);
    void removeRow(qsizetype index);

    /// A new alarm, switched on, with its row and its settings file, as one change.
    void addAlarm(const AlarmEntry& row, const QByteArray& settings);
    /// Removes an alarm with its settings file; its number is switched on again for the next alarm.
    void removeAlarm(qsizetype index);
    /// A caption edited in place; the settings file keeps its reminder text.
    void setCaption(qsizetype index, const QByteArray& caption);
    /// The row of an alarm number; -1 when no row has it.
    qsizetype indexOfNumber(int number) const;

    /// The user has seen the report of a damaged list: changes may be written again.
    void acknowledgeDamage() { m_damageUnseen = false; }
    bool writable() const { return !m_damageUnseen; }
    /// Raises an IoError while a damaged list has not been acknowledged.
    void ensureWritable() const;

    /// The lowest number that neither a listed alarm nor a settings file on disk uses: a file that is
    /// not in the list may belong to a row that failed to load.
    std::optional<int> allocateNumber() const;

    /// Loads "off.ini" (OffSwitchFile::load): a damaged file raises, and every alarm is on.
    void loadOffSwitches() { OffSwitchFile(m_folder).load(off); }
    /// Switches an alarm off or back on and rewrites "off.ini"; a failed write changes nothing.
    void setOff(int number, bool isOff);
    /// The rows that may ring: those not switched off.
    QList<AlarmEntry> onRows() const { return off.onRows(rows); }

signals:
    /// The rows or the switches changed, or a change was tried and failed: the files hold what the
    /// store holds.
    void changed();

public:
    QList<AlarmEntry> rows;
    UsedAlarmNumbers used;
    // Kept beside the rows, not in them, so "al.ini" keeps its format.
    OffSwitches off;

private:
    void commit(const QList<AlarmEntry>& changed, int number, const QByteArray* settings);
    /// Finishes or rolls back an interrupted change; removes temporary files left by a crash.
    void recover() const;

    QString m_folder;
    bool m_damageUnseen = false;
};
