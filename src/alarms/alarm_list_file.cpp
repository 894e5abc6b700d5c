#include "alarms/alarm_list_file.h"

#include <QFile>

#include "platform/errors.h"
#include "platform/line_file.h"

void LoadAlarmList(const QByteArray& bytes, QList<AlarmEntry>& rows, UsedAlarmNumbers& used)
{
    rows.clear();
    used.clear();
    LineReader in(bytes);
    const int count = in.readInt();
    // A count out of range is no list at all: read as empty, the next save would drop every alarm.
    if (count < 0 || count > kAlarmNumberCount)
        throw ConversionError(QStringLiteral("The alarm count \"%1\" is not a number from 0 to %2")
                                  .arg(count)
                                  .arg(kAlarmNumberCount));
    for (int i = 0; i < count; ++i) {
        // A row joins the list only when all of it has read cleanly: a half-read row would carry
        // codes the scheduler cannot decode at every tick.
        AlarmEntry row;
        for (int f = 0; f < AlarmEntry::kFieldCount; ++f)
            row.field(f) = in.readLine();
        decodeTimeCode(row.timeCode);
        decodeDateCode(row.dateCode);
        used.mark(toInt(row.alarmNumber));
        rows.append(row);
    }
}

QByteArray SaveAlarmList(const QList<AlarmEntry>& rows)
{
    LineWriter out;
    out.number(int(rows.size()));
    for (const AlarmEntry& row : rows)
        for (int f = 0; f < AlarmEntry::kFieldCount; ++f)
            out.line(row.field(f));
    return out.bytes();
}

void AlarmListStore::load()
{
    rows.clear();
    used.clear();
    if (!QFile::exists(listPath()))
        return;
    const QByteArray bytes = readWholeFile(listPath());
    try {
        LoadAlarmList(bytes, rows, used);
    } catch (const ConversionError& e) {
        // The next change rewrites "al.ini" from the rows that did load, so the original is kept first.
        writeFileAtomically(damagedCopyPath(), bytes);
        m_damageUnseen = true;
        throw ConversionError(QStringLiteral("%1\n\nThe alarm list \"%2\" could not be read completely: "
                                             "%3 alarm(s) were loaded. The original file was kept "
                                             "unchanged as \"%4\".")
                                  .arg(e.text(), listPath())
                                  .arg(rows.size())
                                  .arg(damagedCopyPath()));
    }
}

void AlarmListStore::ensureWritable() const
{
    if (m_damageUnseen)
        throw IoError(QStringLiteral("The alarm list \"%1\" is damaged. Nothing is changed until its report "
                                     "has been closed.")
                          .arg(listPath()));
}

void AlarmListStore::save() const
{
    ensureWritable();
    writeFileAtomically(listPath(), SaveAlarmList(rows));
}

void AlarmListStore::setOff(int number, bool isOff)
{
    if (off.isOff(number) == isOff)
        return;
    OffSwitches changed = off;
    changed.set(number, isOff);
    OffSwitchFile(m_folder).save(changed);
    off = changed;
}

std::optional<int> AlarmListStore::allocateNumber() const
{
    for (int number = 0; number < kAlarmNumberCount; ++number)
        if (!used.isUsed(number) && !QFile::exists(m_folder + SettingsFileName(number)))
            return number;
    return std::nullopt;
}
