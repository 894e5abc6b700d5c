#include "alarms/alarm_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimeZone>

#include "alarms/alarm_editor_rules.h"
#include "alarms/alarm_list_file.h"
#include "alarms/new_alarm.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"
#include "ringing/next_ring_text.h"

namespace {

/// A text marked with QT_TRANSLATE_NOOP in the interface's language.
QString translated(const char* text)
{
    return QCoreApplication::translate("AlarmCommands", text);
}

CommandError badInput(const QString& text)
{
    return CommandError(CommandError::Kind::BadInput, text);
}

const char* const kKeywords[kFrequencyCount] = {"once", "hourly", "daily", "weekly", "monthly", "yearly"};

const struct {
    CommandError::Kind kind;
    const char* name;
} kBusNames[] = {
    {CommandError::Kind::BadInput, "BadInput"}, {CommandError::Kind::NoSuchAlarm, "NoSuchAlarm"},
    {CommandError::Kind::ListFull, "ListFull"}, {CommandError::Kind::NotRinging, "NotRinging"},
    {CommandError::Kind::Failed, "Failed"},
};
const QString kBusErrorPrefix = QStringLiteral("org.belvane.Alarms.Error.");

/// Options of `alarm add` that take one value; --play takes every value up to the next option.
const QStringList kValueOptions{QStringLiteral("--name"),  QStringLiteral("--repeat"),
                                QStringLiteral("--days"),  QStringLiteral("--date"),
                                QStringLiteral("--sound"), QStringLiteral("--volume"),
                                QStringLiteral("--snooze")};

int boundedNumber(const QString& option, const QString& value, int low, int high, const char* what)
{
    static const QRegularExpression kDigits(QStringLiteral("^[0-9]{1,3}$"));
    const int n = kDigits.match(value).hasMatch() ? value.toInt() : -1;
    if (n < low || n > high)
        throw badInput(QCoreApplication::translate("AlarmCommands", "%1 \"%2\" 不对：%3")
                           .arg(option, value, translated(what)));
    return n;
}

TimeOfDay parseTime(const QString& text)
{
    static const QRegularExpression kTime(QStringLiteral("^([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?$"));
    const QRegularExpressionMatch m = kTime.match(text);
    const TimeOfDay t{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
    if (!m.hasMatch() || t.hour > 23 || t.minute > 59 || t.second > 59)
        throw badInput(QCoreApplication::translate(
                           "AlarmCommands", "时间 \"%1\" 不对：应为 HH:MM 或 HH:MM:SS，从 00:00 到 23:59:59")
                           .arg(text));
    return t;
}

QDate parseDate(const QString& text)
{
    static const QRegularExpression kDate(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
    const QRegularExpressionMatch m = kDate.match(text);
    if (!m.hasMatch() || !isValidDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()))
        throw badInput(
            QCoreApplication::translate("AlarmCommands", "--date \"%1\" 不对：没有这一天（应为 YYYY-MM-DD）")
                .arg(text));
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

std::array<bool, 7> parseDays(const QString& text)
{
    // 1 = Monday ... 7 = Sunday; the settings file keeps Sunday first.
    std::array<bool, 7> days{};
    for (QChar c : text) {
        if (c < QLatin1Char('1') || c > QLatin1Char('7'))
            throw badInput(QCoreApplication::translate(
                               "AlarmCommands", "--days \"%1\" 不对：每一位是 1（星期一）到 7（星期日）")
                               .arg(text));
        days[(c.unicode() - '0') % 7] = true;
    }
    if (text.isEmpty())
        throw badInput(QCoreApplication::translate("AlarmCommands",
                                                   "--days \"%1\" 不对：每一位是 1（星期一）到 7（星期日）")
                           .arg(text));
    return days;
}

QString isoWithOffset(const QDateTime& when)
{
    return when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODate);
}

QString onOffText(bool enabled)
{
    return enabled ? QCoreApplication::translate("AlarmCommands", "开")
                   : QCoreApplication::translate("AlarmCommands", "关");
}

/// The "下次响铃" text of a listed alarm, as the list window shows it.
QString nextText(const QVariantMap& alarm, const QDateTime& now)
{
    std::optional<QDateTime> next;
    if (alarm.contains(QStringLiteral("next")))
        next = QDateTime::fromString(alarm.value(QStringLiteral("next")).toString(), Qt::ISODate);
    return nextRingText(next, now);
}

QString frequencyShown(const QVariantMap& alarm)
{
    const QString keyword = alarm.value(QStringLiteral("frequency")).toString();
    for (int i = 0; i < kFrequencyCount; ++i)
        if (keyword == QLatin1String(kKeywords[i]))
            return frequencyCaption(i);
    return QStringLiteral("?");
}

QJsonObject jsonOf(const QVariantMap& alarm)
{
    QJsonObject o = QJsonObject::fromVariantMap(alarm);
    // Stable keys: what is not known is null, not missing.
    for (const char* key : {"frequency", "time", "next"})
        if (!o.contains(QLatin1String(key)))
            o.insert(QLatin1String(key), QJsonValue::Null);
    return o;
}

void expectNoMore(const QStringList& rest, qsizetype count)
{
    if (rest.size() > count)
        throw badInput(QCoreApplication::translate("AlarmCommands", "多余的参数：%1")
                           .arg(rest.mid(count).join(QLatin1Char(' '))));
}

int numberArgument(const QStringList& rest, const QString& command)
{
    if (rest.isEmpty())
        throw badInput(
            QCoreApplication::translate("AlarmCommands", "alarm %1 需要一个闹钟编号").arg(command));
    expectNoMore(rest, 1);
    return parseAlarmNumber(rest[0]);
}

/// The row's alarm number; -1 for one that does not convert.
int numberOf(const AlarmEntry& row)
{
    try {
        return toInt(row.alarmNumber);
    } catch (const ConversionError&) {
        return -1;
    }
}

} // namespace

int CommandError::exitCode() const
{
    return m_kind == Kind::NotRinging || m_kind == Kind::Failed ? 1 : 2;
}

QString CommandError::busName() const
{
    for (const auto& entry : kBusNames)
        if (entry.kind == m_kind)
            return kBusErrorPrefix + QLatin1String(entry.name);
    return kBusErrorPrefix + QStringLiteral("Failed");
}

CommandError::Kind CommandError::kindOfBusName(const QString& name)
{
    for (const auto& entry : kBusNames)
        if (name == kBusErrorPrefix + QLatin1String(entry.name))
            return entry.kind;
    return Kind::Failed;
}

QString frequencyKeyword(int index)
{
    return index >= 0 && index < kFrequencyCount ? QString::fromLatin1(kKeywords[index]) : QString();
}

AlarmSettings parseAlarmAdd(const QStringList& arguments, const QDateTime& now, const QString& currentFolder)
{
    std::optional<TimeOfDay> time;
    std::optional<QString> name, repeat, days, date, sound, volume, snooze;
    std::optional<QStringList> play;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString option = arguments[i];
        std::optional<QString> inlineValue;
        if (option.startsWith(QLatin1String("--")) && option.contains(QLatin1Char('='))) {
            const qsizetype equals = option.indexOf(QLatin1Char('='));
            inlineValue = option.mid(equals + 1);
            option.truncate(equals);
        }
        if (option == QLatin1String("--play")) {
            QStringList files = play.value_or(QStringList());
            if (inlineValue)
                files << *inlineValue;
            while (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--")))
                files << arguments[++i];
            if (files.isEmpty())
                throw badInput(QCoreApplication::translate("AlarmCommands", "%1 后面缺少值").arg(option));
            play = files;
            continue;
        }
        if (kValueOptions.contains(option)) {
            if (!inlineValue && i + 1 >= arguments.size())
                throw badInput(QCoreApplication::translate("AlarmCommands", "%1 后面缺少值").arg(option));
            const QString value = inlineValue ? *inlineValue : arguments[++i];
            std::optional<QString>* given[] = {&name, &repeat, &days, &date, &sound, &volume, &snooze};
            *given[kValueOptions.indexOf(option)] = value;
            continue;
        }
        if (option.startsWith(QLatin1Char('-')) && option.size() > 1)
            throw badInput(QCoreApplication::translate("AlarmCommands", "未知选项：%1").arg(arguments[i]));
        if (time)
            throw badInput(QCoreApplication::translate("AlarmCommands", "多余的参数：%1").arg(arguments[i]));
        time = parseTime(option);
    }
    if (!time)
        throw badInput(QCoreApplication::translate("AlarmCommands", "alarm add 需要闹铃时间 HH:MM[:SS]"));

    AlarmSettings s = newAlarmSettings(now);
    s.hour = time->hour, s.minute = time->minute, s.second = time->second;
    if (repeat) {
        s.frequencyIndex = -1;
        for (int i = 0; i < kFrequencyCount; ++i)
            if (*repeat == QLatin1String(kKeywords[i]))
                s.frequencyIndex = i;
        if (s.frequencyIndex < 0)
            throw badInput(QCoreApplication::translate(
                               "AlarmCommands",
                               "--repeat \"%1\" 不对：应为 once、hourly、daily、weekly、monthly 或 yearly")
                               .arg(*repeat));
    }
    const auto frequency = Frequency(s.frequencyIndex);
    if (days) {
        if (frequency != Frequency::Weekly)
            throw badInput(QCoreApplication::translate("AlarmCommands", "--days 只用于 --repeat weekly"));
        s.weekdays = parseDays(*days);
    }
    if (date) {
        if (frequency != Frequency::FixedDate && frequency != Frequency::Monthly &&
            frequency != Frequency::Yearly)
            throw badInput(QCoreApplication::translate("AlarmCommands",
                                                       "--date 只用于 --repeat once、monthly 或 yearly"));
        const QDate d = parseDate(*date);
        s.year = d.year(), s.month = d.month(), s.day = d.day();
    }
    if (sound && play)
        throw badInput(QCoreApplication::translate("AlarmCommands", "--sound 和 --play 只能选一个"));
    if (sound) {
        s.soundIndex = boundedNumber(QStringLiteral("--sound"), *sound, 0, kBuiltInSoundCount - 1,
                                     QT_TRANSLATE_NOOP("AlarmCommands", "应为内置声音 0 到 10"));
        s.playSound = true;
        s.playMusic = false;
    }
    if (play) {
        if (play->size() > kMaxPlayListEntries)
            throw badInput(QCoreApplication::translate("AlarmCommands", "--play 最多 %1 个文件")
                               .arg(kMaxPlayListEntries));
        const QDir here(currentFolder.isEmpty() ? QDir::currentPath() : currentFolder);
        for (const QString& file : *play) {
            const QFileInfo info(here, file);
            if (!info.isFile())
                throw badInput(
                    QCoreApplication::translate("AlarmCommands", "--play \"%1\" 不对：没有这个文件")
                        .arg(file));
            s.playList << QDir::cleanPath(info.absoluteFilePath());
        }
    }
    if (volume)
        s.volume = boundedNumber(QStringLiteral("--volume"), *volume, 0, 100,
                                 QT_TRANSLATE_NOOP("AlarmCommands", "应为 0 到 100（百分比）"));
    if (snooze)
        s.snoozeMinutes = boundedNumber(QStringLiteral("--snooze"), *snooze, 0, 59,
                                        QT_TRANSLATE_NOOP("AlarmCommands", "应为 0 到 59 分钟"));
    if (name)
        s.reminderText = reminderLinesFromMemo(*name);
    return s;
}

QStringList addArgumentsFromFields(const QVariantMap& fields)
{
    QStringList arguments;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const QString& key = it.key();
        if (key == QLatin1String("time")) {
            arguments.prepend(it.value().toString());
        } else if (key == QLatin1String("play")) {
            const QStringList files = it.value().canConvert<QStringList>()
                                          ? it.value().toStringList()
                                          : QStringList{it.value().toString()};
            // Each file as its own --play=, so a name beginning with "--" is still a file.
            for (const QString& file : files)
                arguments << QStringLiteral("--play=") + file;
        } else if (kValueOptions.contains(QStringLiteral("--") + key)) {
            arguments << QStringLiteral("--") + key + QLatin1Char('=') + it.value().toString();
        } else {
            throw badInput(QCoreApplication::translate("AlarmCommands", "未知字段：%1").arg(key));
        }
    }
    return arguments;
}

QStringList absolutePlayFiles(const QStringList& arguments, const QString& currentFolder)
{
    const QDir here(currentFolder.isEmpty() ? QDir::currentPath() : currentFolder);
    QStringList out;
    bool inPlay = false;
    for (const QString& a : arguments) {
        if (a.startsWith(QLatin1String("--play="))) {
            out << QStringLiteral("--play=") + QDir::cleanPath(here.absoluteFilePath(a.mid(7)));
            inPlay = false;
        } else if (a == QLatin1String("--play")) {
            inPlay = true;
        } else if (inPlay && !a.startsWith(QLatin1String("--"))) {
            out << QStringLiteral("--play=") + QDir::cleanPath(here.absoluteFilePath(a));
        } else {
            inPlay = false;
            out << a;
        }
    }
    return out;
}

int parseAlarmNumber(const QString& text)
{
    static const QRegularExpression kNumber(QStringLiteral("^[0-9]{1,3}$"));
    if (!kNumber.match(text).hasMatch() || text.toInt() >= kAlarmNumberCount)
        throw badInput(QCoreApplication::translate("AlarmCommands", "\"%1\" 不是闹钟编号（0 到 %2）")
                           .arg(text)
                           .arg(kAlarmNumberCount - 1));
    return text.toInt();
}

StoreAlarmTarget::StoreAlarmTarget(AlarmListStore& store, Now now, NextRing nextRing, DateTimeLocale locale)
    : m_store(store), m_now(std::move(now)), m_nextRing(std::move(nextRing)), m_locale(std::move(locale))
{
}

qsizetype StoreAlarmTarget::indexOf(int number) const
{
    const qsizetype index = m_store.indexOfNumber(number);
    if (index < 0)
        throw CommandError(CommandError::Kind::NoSuchAlarm,
                           QCoreApplication::translate("AlarmCommands", "没有编号为 %1 的闹钟").arg(number));
    return index;
}

int StoreAlarmTarget::add(const QStringList& arguments)
{
    return addSettings(parseAlarmAdd(arguments, m_now()));
}

int StoreAlarmTarget::addSettings(const AlarmSettings& settings)
{
    const std::optional<int> number = m_store.allocateNumber();
    if (!number)
        throw CommandError(CommandError::Kind::ListFull,
                           QCoreApplication::translate("AlarmCommands", "已有 %1 个闹钟，不能再添加")
                               .arg(kAlarmNumberCount));
    const AlarmEntry row = makeAlarmEntry(editedAlarmInfo(settings, settings.reminderText.value(0)), *number,
                                          RowOrigin::Add, m_locale);
    m_store.addAlarm(row, WriteAlarmSettings(settings));
    return *number;
}

QList<QVariantMap> StoreAlarmTarget::list()
{
    QList<QVariantMap> alarms;
    for (const AlarmEntry& row : m_store.rows) {
        QVariantMap alarm;
        alarm.insert(QStringLiteral("number"), numberOf(row));
        alarm.insert(QStringLiteral("name"), decodeText(row.caption));
        for (int i = 0; i < kFrequencyCount; ++i)
            if (row.frequencyText == frequencyBytes(i))
                alarm.insert(QStringLiteral("frequency"), frequencyKeyword(i));
        try {
            const TimeOfDay t = decodeTimeCode(row.timeCode);
            alarm.insert(QStringLiteral("time"),
                         QTime(t.hour, t.minute, t.second).toString(QStringLiteral("HH:mm:ss")));
        } catch (const ConversionError&) {
        }
        const bool enabled = !m_store.off.isOff(row);
        alarm.insert(QStringLiteral("enabled"), enabled);
        std::optional<QDateTime> next;
        try {
            if (enabled)
                next = m_nextRing(row);
        } catch (const ConversionError&) {
        }
        if (next)
            alarm.insert(QStringLiteral("next"), isoWithOffset(*next));
        alarms << alarm;
    }
    return alarms;
}

void StoreAlarmTarget::remove(int number)
{
    m_store.removeAlarm(indexOf(number));
}

void StoreAlarmTarget::setEnabled(int number, bool enabled)
{
    indexOf(number);
    m_store.setOff(number, !enabled);
}

QVariantMap StoreAlarmTarget::next()
{
    QVariantMap first;
    for (const QVariantMap& alarm : list())
        if (alarm.contains(QStringLiteral("next")) &&
            (first.isEmpty() ||
             QDateTime::fromString(alarm[QStringLiteral("next")].toString(), Qt::ISODate) <
                 QDateTime::fromString(first[QStringLiteral("next")].toString(), Qt::ISODate)))
            first = alarm;
    return first;
}

CommandError nothingRings()
{
    return CommandError(CommandError::Kind::NotRinging,
                        QCoreApplication::translate("AlarmCommands", "没有正在响的闹钟"));
}

bool isAlarmCommand(const QStringList& arguments)
{
    return !arguments.isEmpty() &&
           (arguments[0] == QLatin1String("alarm") || arguments[0] == QLatin1String("ringing"));
}

QStringList checkCommand(const QStringList& arguments, const QDateTime& now, const QString& currentFolder)
{
    const QString group = arguments.value(0);
    const QString command = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    const auto is = [&](const char* g, std::initializer_list<const char*> commands) {
        if (group != QLatin1String(g))
            return false;
        for (const char* c : commands)
            if (command == QLatin1String(c))
                return true;
        return false;
    };
    if (is("alarm", {"add"})) {
        parseAlarmAdd(rest, now, currentFolder);
        return arguments.mid(0, 2) + absolutePlayFiles(rest, currentFolder);
    }
    if (is("alarm", {"list"}))
        expectNoMore(rest, rest.value(0) == QLatin1String("--json") ? 1 : 0);
    else if (is("alarm", {"remove", "on", "off"}))
        numberArgument(rest, command);
    else if (is("alarm", {"next"}) || is("ringing", {"stop", "snooze"}))
        expectNoMore(rest, 0);
    else
        throw badInput(QCoreApplication::translate("AlarmCommands", "未知命令：%1")
                           .arg(arguments.mid(0, 2).join(QLatin1Char(' '))));
    return arguments;
}

QVariantMap addFieldsFromArguments(const QStringList& arguments)
{
    QVariantMap fields;
    QStringList play;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!a.startsWith(QLatin1String("--"))) {
            fields.insert(QStringLiteral("time"), a);
            continue;
        }
        const qsizetype equals = a.indexOf(QLatin1Char('='));
        const QString key = a.mid(2, equals < 0 ? -1 : equals - 2);
        const QString value = equals < 0 ? arguments.value(++i) : a.mid(equals + 1);
        if (key == QLatin1String("play"))
            play << value;
        else
            fields.insert(key, value);
    }
    if (!play.isEmpty())
        fields.insert(QStringLiteral("play"), play);
    return fields;
}

int runAlarmCommand(const QStringList& given, AlarmTarget& target, const QDateTime& now,
                    const QString& currentFolder, QTextStream& out, QTextStream& err)
{
    try {
        // Checked whole first, so bad input never reaches the running copy or the files.
        const QStringList arguments = checkCommand(given, now, currentFolder);
        const QString group = arguments.value(0);
        const QString command = arguments.value(1);
        const QStringList rest = arguments.mid(2);
        if (command == QLatin1String("add")) {
            out << target.add(rest) << '\n';
        } else if (command == QLatin1String("list")) {
            const bool json = rest.value(0) == QLatin1String("--json");
            const QList<QVariantMap> alarms = target.list();
            if (json) {
                QJsonArray array;
                for (const QVariantMap& alarm : alarms)
                    array << jsonOf(alarm);
                out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
            }
            for (const QVariantMap& alarm : json ? QList<QVariantMap>() : alarms)
                out << QStringList{alarm[QStringLiteral("number")].toString(),
                                   alarm[QStringLiteral("name")].toString(),
                                   frequencyShown(alarm),
                                   alarm.value(QStringLiteral("time")).toString(),
                                   onOffText(alarm[QStringLiteral("enabled")].toBool()),
                                   nextText(alarm, now)}
                           .join(QLatin1Char('\t'))
                    << '\n';
        } else if (command == QLatin1String("remove")) {
            target.remove(parseAlarmNumber(rest[0]));
        } else if (command == QLatin1String("on") || command == QLatin1String("off")) {
            target.setEnabled(parseAlarmNumber(rest[0]), command == QLatin1String("on"));
        } else if (command == QLatin1String("next")) {
            const QVariantMap alarm = target.next();
            if (alarm.isEmpty())
                return 1;
            out << QStringList{alarm[QStringLiteral("number")].toString(),
                               alarm[QStringLiteral("name")].toString(), nextText(alarm, now),
                               alarm[QStringLiteral("next")].toString()}
                       .join(QLatin1Char('\t'))
                << '\n';
        } else if (command == QLatin1String("stop")) {
            target.stopRinging();
        } else {
            target.snoozeRinging();
        }
        return 0;
    } catch (const CommandError& e) {
        err << QStringLiteral("belvane: ") << e.text() << '\n';
        return e.exitCode();
    } catch (const BelvaneError& e) {
        err << QStringLiteral("belvane: ") << QString(e.text()).replace(QLatin1Char('\n'), QLatin1Char(' '))
            << '\n';
        return 1;
    }
}
