#include "alarms/off_switches.h"

#include <QCoreApplication>

#include <algorithm>

#include <QFile>

#include "platform/errors.h"
#include "platform/line_file.h"

bool OffSwitches::isOff(const AlarmEntry& row) const
{
    // A row whose number does not convert cannot have been switched off.
    bool ok = false;
    const int number = row.alarmNumber.toInt(&ok);
    return ok && isOff(number);
}

void OffSwitches::set(int number, bool off)
{
    if (off)
        m_off.insert(number);
    else
        m_off.remove(number);
}

QList<AlarmEntry> OffSwitches::onRows(const QList<AlarmEntry>& rows) const
{
    if (m_off.isEmpty())
        return rows;
    QList<AlarmEntry> on;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(on),
                 [this](const AlarmEntry& row) { return !isOff(row); });
    return on;
}

void OffSwitches::parse(const QByteArray& bytes)
{
    QSet<int> off;
    LineReader in(bytes);
    while (!in.atEnd()) {
        const QByteArray line = in.readLine();
        int number = -1;
        try {
            number = toInt(line);
        } catch (const ConversionError&) {
        }
        if (number < 0 || number >= kAlarmNumberCount)
            throw ConversionError(
                QCoreApplication::translate("OffSwitches", "第 %1 行的\"%2\"不是 0 到 %3 的闹钟编号")
                    .arg(QString::number(in.lineNumber()), QString::fromLatin1(line),
                         QString::number(kAlarmNumberCount - 1)));
        off.insert(number);
    }
    m_off = off;
}

QByteArray OffSwitches::bytes() const
{
    QList<int> sorted(m_off.begin(), m_off.end());
    std::sort(sorted.begin(), sorted.end());
    LineWriter out;
    for (int number : sorted)
        out.number(number);
    return out.bytes();
}

void OffSwitchFile::load(OffSwitches& switches) const
{
    switches.clear();
    if (!QFile::exists(path()))
        return;
    const QByteArray bytes = readWholeFile(path());
    try {
        switches.parse(bytes);
    } catch (const ConversionError& e) {
        // The next switch rewrites "off.ini", so what the user had is kept first.
        writeFileAtomically(damagedCopyPath(), bytes);
        throw ConversionError(QCoreApplication::translate(
                                  "OffSwitches",
                                  "记录哪些闹钟已关闭的文件\"%1\"无法读取（%2），所以现在所有闹钟都是开着的。"
                                  "原文件已原样保存为\"%3\"。")
                                  .arg(path(), e.text(), damagedCopyPath()));
    }
}

void OffSwitchFile::save(const OffSwitches& switches) const
{
    writeFileAtomically(path(), switches.bytes());
}
