#include "alarms/alarm_list_file.h"

#include <QCoreApplication>
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include "platform/errors.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"

void LoadAlarmList(const QByteArray& bytes, QList<AlarmEntry>& rows, UsedAlarmNumbers& used)
{
    rows.clear();
    used.clear();
    LineReader in(bytes);
    const QByteArray countLine = in.readLine();
    int count = -1;
    try {
        count = toInt(countLine);
    } catch (const ConversionError&) {
    }
    // A count out of range is no list at all: read as empty, the next save would drop every alarm.
    if (count < 0 || count > kAlarmNumberCount)
        throw ConversionError(
            QCoreApplication::translate("AlarmListFile", "第 1 行应是闹钟的个数（0 到 %1），却是\"%2\"")
                .arg(QString::number(kAlarmNumberCount), decodeText(countLine)));
    for (int i = 0; i < count; ++i) {
        const int first = in.lineNumber() + 1;
        if (in.atEnd())
            throw ConversionError(
                QCoreApplication::translate("AlarmListFile",
                                            "第 1 行说有 %1 个闹钟，文件却在第 %2 个闹钟之前就结束了")
                    .arg(count)
                    .arg(i + 1));
        // A row joins the list only when all of it has read cleanly: a half-read row would carry
        // codes the scheduler cannot decode at every tick.
        AlarmEntry row;
        for (int f = 0; f < AlarmEntry::kFieldCount; ++f)
            row.field(f) = in.readLine();
        try {
            decodeTimeCode(row.timeCode);
            decodeDateCode(row.dateCode);
            used.mark(toInt(row.alarmNumber));
        } catch (const ConversionError& e) {
            throw ConversionError(
                QCoreApplication::translate("AlarmListFile", "第 %1 个闹钟（第 %2 到 %3 行）：%4")
                    .arg(QString::number(i + 1), QString::number(first),
                         QString::number(first + AlarmEntry::kFieldCount - 1), e.text()));
        }
        rows.append(row);
    }
    // More rows than the count says is damage too: the next save would drop the rows past the count.
    while (!in.atEnd())
        if (!in.readLine().isEmpty())
            throw ConversionError(
                QCoreApplication::translate("AlarmListFile", "第 1 行说有 %1 个闹钟，后面却还有更多的闹钟")
                    .arg(count));
}

QStringList unreadAlarms(const QByteArray& bytes, qsizetype loadedRows)
{
    // The count line, then the rows that loaded; what follows is read as rows as far as it goes.
    LineReader in(bytes);
    for (qsizetype i = 0; i < 1 + loadedRows * AlarmEntry::kFieldCount; ++i)
        in.readLine();
    QStringList named;
    while (!in.atEnd()) {
        AlarmEntry row;
        for (int f = 0; f < AlarmEntry::kFieldCount; ++f)
            row.field(f) = in.readLine();
        const QString caption = decodeText(row.caption).simplified();
        const QString time = decodeText(row.timeDisplay).simplified();
        if (!caption.isEmpty() || !time.isEmpty())
            named << QStringLiteral("\"%1\" %2").arg(caption, time);
    }
    return named;
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

namespace {

const QString kBegun = QStringLiteral(".new");
const QString kDropped = QStringLiteral(".old");

/// Replaces `to` by `from` in one step, as rename(2) does.
bool replaceFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

void AlarmListStore::recover() const
{
    const QDir folder(m_folder);
    const QStringList begun = folder.entryList({QStringLiteral("*.ini") + kBegun}, QDir::Files);
    const QStringList dropped = folder.entryList({QStringLiteral("*.ini") + kDropped}, QDir::Files);
    const bool committed = !begun.contains(QStringLiteral("al.ini") + kBegun);
    for (const QString& name : begun) {
        const QString path = m_folder + name;
        const QString target = path.chopped(kBegun.size());
        // Before the list was replaced the change never happened; after it, it is finished.
        if (!committed || name.startsWith(QStringLiteral("al.ini")) || !replaceFile(path, target))
            QFile::remove(path);
    }
    for (const QString& name : dropped) {
        const QString path = m_folder + name;
        const QString original = path.chopped(kDropped.size());
        if (committed || QFile::exists(original) || !replaceFile(path, original))
            QFile::remove(path);
    }
    // A crash while a file was written leaves the temporary file it was written to ("al.ini.cWYflh").
    static const QRegularExpression kTemporary(QStringLiteral(
        "^(al\\.ini|\\d+\\.ini|alarm\\.ini|Options\\.ini|skinname\\.ini|lastcheck\\.ini|off\\.ini)"
        "(\\.new|\\.bad)?\\.[A-Za-z0-9]{6}$"));
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        if (kTemporary.match(name).hasMatch())
            QFile::remove(m_folder + name);
}

void AlarmListStore::commit(const QList<AlarmEntry>& changed, int number, const QByteArray* settings)
{
    const auto tell = qScopeGuard([this] { emit this->changed(); });
    ensureWritable();
    const QString list = listPath();
    const QString settingsPath = m_folder + SettingsFileName(number);
    const auto undo = [&] {
        QFile::remove(list + kBegun);
        QFile::remove(settingsPath + kBegun);
        if (QFile::exists(settingsPath + kDropped))
            replaceFile(settingsPath + kDropped, settingsPath);
    };
    try {
        writeFileAtomically(list + kBegun, SaveAlarmList(changed));
        if (settings)
            writeFileAtomically(settingsPath + kBegun, *settings);
        else if (QFile::exists(settingsPath) && !replaceFile(settingsPath, settingsPath + kDropped))
            throw IoError(
                QCoreApplication::translate("AlarmListFile", "无法删除文件\"%1\"").arg(settingsPath));
        if (!replaceFile(list + kBegun, list))
            throw IoError(QCoreApplication::translate("AlarmListFile", "无法写入文件\"%1\"").arg(list));
    } catch (const BelvaneError&) {
        undo();
        throw;
    }
    // The change has taken place: what is left is finished here, or at the next load after a crash.
    if (settings && !replaceFile(settingsPath + kBegun, settingsPath)) {
        // The settings file cannot take its place (something else stands there): the list goes back
        // to the rows as they were, so no row names a file it does not have.
        try {
            writeFileAtomically(list, SaveAlarmList(rows));
            QFile::remove(settingsPath + kBegun);
        } catch (const BelvaneError&) {
        }
        throw IoError(QCoreApplication::translate("AlarmListFile", "无法写入文件\"%1\"").arg(settingsPath));
    }
    if (!settings)
        QFile::remove(settingsPath + kDropped);
    rows = changed;
    used.clear();
    for (const AlarmEntry& row : rows)
        used.mark(toInt(row.alarmNumber));
}

void AlarmListStore::addRow(const AlarmEntry& row, const QByteArray& settings)
{
    QList<AlarmEntry> changed = rows;
    changed.append(row);
    commit(changed, toInt(row.alarmNumber), &settings);
}

void AlarmListStore::replaceRow(qsizetype index, const AlarmEntry& row, const QByteArray& settings)
{
    QList<AlarmEntry> changed = rows;
    changed[index] = row;
    commit(changed, toInt(row.alarmNumber), &settings);
}

void AlarmListStore::removeRow(qsizetype index)
{
    QList<AlarmEntry> changed = rows;
    const int number = toInt(changed.takeAt(index).alarmNumber);
    commit(changed, number, nullptr);
}

void AlarmListStore::load()
{
    rows.clear();
    used.clear();
    recover();
    if (!QFile::exists(listPath()))
        return;
    const QByteArray bytes = readWholeFile(listPath());
    try {
        LoadAlarmList(bytes, rows, used);
    } catch (const ConversionError& e) {
        // The next change rewrites "al.ini" from the rows that did load, so the original is kept first.
        writeFileAtomically(damagedCopyPath(), bytes);
        m_damageUnseen = true;
        QString text = QCoreApplication::translate("AlarmListFile",
                                                   "闹钟列表文件\"%1\"已损坏：%2。\n"
                                                   "读出并保留了其中 %3 个闹钟。原文件已原样保存为\"%4\"。")
                           .arg(listPath(), e.text(), QString::number(rows.size()), damagedCopyPath());
        const QStringList unread = unreadAlarms(bytes, rows.size());
        if (!unread.isEmpty())
            text += QLatin1Char('\n') + QCoreApplication::translate("AlarmListFile", "没有读出的闹钟：") +
                    QStringLiteral("\n  ") + unread.join(QStringLiteral("\n  "));
        throw ConversionError(text);
    }
}

void AlarmListStore::ensureWritable() const
{
    if (m_damageUnseen)
        throw IoError(QCoreApplication::translate("AlarmListFile",
                                                  "闹钟列表文件\"%1\"已损坏，关于它的报告还开着。"
                                                  "请先读完并关闭那份报告（它在最前面），再修改闹钟。")
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
    const auto tell = qScopeGuard([this] { emit changed(); });
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

void AlarmListStore::addAlarm(const AlarmEntry& row, const QByteArray& settings)
{
    ensureWritable();
    // A number an older copy of the program freed without knowing of "off.ini" starts on.
    setOff(toInt(row.alarmNumber), false);
    addRow(row, settings);
}

void AlarmListStore::removeAlarm(qsizetype index)
{
    ensureWritable();
    // Dropped first: a number left switched off would silence the next alarm given it.
    setOff(toInt(rows[index].alarmNumber), false);
    removeRow(index);
}

void AlarmListStore::setCaption(qsizetype index, const QByteArray& caption)
{
    ensureWritable();
    const auto tell = qScopeGuard([this] { emit changed(); });
    rows[index].caption = caption;
    save();
}

qsizetype AlarmListStore::indexOfNumber(int number) const
{
    for (qsizetype i = 0; i < rows.size(); ++i) {
        try {
            if (toInt(rows[i].alarmNumber) == number)
                return i;
        } catch (const ConversionError&) {
        }
    }
    return -1;
}
