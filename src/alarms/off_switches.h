#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include "alarms/alarm_record.h"

/// The alarms the user has switched off, by alarm number. They are kept in a file of their own,
/// "off.ini", so "al.ini" and the settings files keep their formats and an older copy of the program
/// still rings what the user left on. A missing file means every alarm is on.
class OffSwitches {
public:
    bool isOff(int number) const { return m_off.contains(number); }
    bool isOff(const AlarmEntry& row) const;
    void set(int number, bool off);
    const QSet<int>& numbers() const { return m_off; }
    void clear() { m_off.clear(); }

    /// The rows that may ring, in list order: the scheduler is only ever shown these.
    QList<AlarmEntry> onRows(const QList<AlarmEntry>& rows) const;

    /// Reads the bytes of "off.ini": one alarm number (0 to 255) a line, CR LF ended. A line that is
    /// not such a number raises a ConversionError and leaves the set as it was.
    void parse(const QByteArray& bytes);
    /// The bytes of "off.ini", numbers in rising order.
    QByteArray bytes() const;

private:
    QSet<int> m_off;
};

/// "off.ini" in the data folder, replaced atomically at every change.
class OffSwitchFile {
public:
    explicit OffSwitchFile(QString folder) : m_folder(std::move(folder)) {}

    QString path() const { return m_folder + QStringLiteral("off.ini"); }
    QString damagedCopyPath() const { return path() + QStringLiteral(".bad"); }

    /// The switches as stored; a missing file is all on. A damaged file is kept as "off.ini.bad" and
    /// raises a ConversionError naming it, leaving every alarm on: an alarm that rings unasked is
    /// better than one that stays silent.
    void load(OffSwitches& switches) const;
    void save(const OffSwitches& switches) const;

private:
    QString m_folder;
};
