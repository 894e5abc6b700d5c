#include "alarms/alarm_record.h"

#include "platform/errors.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"

#include <QCoreApplication>

namespace {

const std::array<QString, kFrequencyCount> kFrequencyTexts = {
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "固定的一天")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "每小时")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "每天 ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "每星期")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "每月   ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "每年  ")),
};

const std::array<const char*, kBuiltInSoundCount> kSoundFiles = {
    "Rooster.wav", "Cuckoo.wav", "Alarmrng.wav", "Clap.wav",     "Explode.wav", "Glass.wav",
    "Moo.wav",     "Ricochet.wav", "Carhorn.wav", "Doorbell.wav", "Drumroll.wav",
};

const std::array<QString, kBuiltInSoundCount> kSoundItems = {
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "鸡啼声 ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "布谷鸟")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "闹铃声    ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "掌声     ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "爆炸声 ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "玻璃 ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "牛 ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "跳弹声  ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "汽车喇叭")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "门铃    ")),
    QStringLiteral(QT_TRANSLATE_NOOP("AlarmRecord", "鼓声    ")),
};

struct CodeParts {
    int first, second, last;
};

// Characters 1-2, 3-4 and the last `lastLength`, each converted as a decimal integer.
CodeParts splitCode(const QByteArray& code, int lastLength)
{
    const QByteArrayView view(code);
    return {toInt(view.first(qMin<qsizetype>(2, view.size()))), toInt(view.sliced(qMin<qsizetype>(2, view.size())).first(qMin<qsizetype>(2, qMax<qsizetype>(0, view.size() - 2)))),
            toInt(view.last(qMin<qsizetype>(lastLength, view.size())))};
}

} // namespace

QString frequencyText(int index)
{
    return index >= 0 && index < kFrequencyCount ? kFrequencyTexts[index] : QString();
}

QByteArray frequencyBytes(int index)
{
    // The scheduler compares against these five times a second: encode them once.
    static const std::array<QByteArray, kFrequencyCount> kBytes = [] {
        std::array<QByteArray, kFrequencyCount> bytes;
        for (int i = 0; i < kFrequencyCount; ++i)
            bytes[i] = encodeText(kFrequencyTexts[i]);
        return bytes;
    }();
    return index >= 0 && index < kFrequencyCount ? kBytes[index] : QByteArray();
}

QString builtInSoundFile(int index)
{
    return index >= 0 && index < kBuiltInSoundCount ? QString::fromLatin1(kSoundFiles[index]) : QString();
}

QString BuiltInSoundPath(const QString& programFolder, int index)
{
    return programFolder + QStringLiteral("sounds/") + builtInSoundFile(index);
}

QString builtInSoundItem(int index)
{
    return index >= 0 && index < kBuiltInSoundCount ? kSoundItems[index] : QString();
}

QString frequencyCaption(int index)
{
    return QCoreApplication::translate("AlarmRecord", frequencyText(index).toUtf8().constData());
}

QString builtInSoundCaption(int index)
{
    return QCoreApplication::translate("AlarmRecord", builtInSoundItem(index).toUtf8().constData());
}

QByteArray& AlarmEntry::field(int i)
{
    switch (i) {
    case 0: return caption;
    case 1: return frequencyText;
    case 2: return timeDisplay;
    case 3: return dateDisplay;
    case 4: return timeCode;
    case 5: return dateCode;
    case 6: return weekdayMask;
    default: return alarmNumber;
    }
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

TimeOfDay decodeTimeCode(const QByteArray& code)
{
    auto [h, m, s] = splitCode(code, 2);
    if (h < 0 || h >= 24 || m < 0 || m >= 60 || s < 0 || s >= 60)
        throw ConversionError(
            QCoreApplication::translate("AlarmRecord", "\"%1\"不是一天中的时刻").arg(QString::fromLatin1(code)));
    return {h, m, s};
}

CalendarDate decodeDateCode(const QByteArray& code)
{
    auto [d, m, y] = splitCode(code, 4);
    if (!isValidDate(y, m, d))
        throw ConversionError(
            QCoreApplication::translate("AlarmRecord", "\"%1\"不是日期").arg(QString::fromLatin1(code)));
    return {y, m, d};
}

void UsedAlarmNumbers::mark(int number)
{
    if (number >= 0 && number < kAlarmNumberCount)
        m_used[number] = true;
}

void UsedAlarmNumbers::release(int number)
{
    if (number >= 0 && number < kAlarmNumberCount)
        m_used[number] = false;
}

bool UsedAlarmNumbers::isUsed(int number) const
{
    return number >= 0 && number < kAlarmNumberCount && m_used[number];
}

std::optional<int> UsedAlarmNumbers::AllocateAlarmNumber() const
{
    for (int n = 0; n < kAlarmNumberCount; ++n)
        if (!m_used[n])
            return n;
    return std::nullopt;
}

QString SettingsFileName(int number)
{
    return QString::number(number) + QStringLiteral(".ini");
}
