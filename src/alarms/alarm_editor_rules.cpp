#include "alarms/alarm_editor_rules.h"

#include <algorithm>

#include <QRegularExpression>

PlayListEntry splitPlayListPath(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/')) + 1;
    return {path.mid(cut), path.left(cut)};
}

quint32 alarmVolumeValue(int percent)
{
    const quint32 level = quint32(std::clamp(percent, 0, 100)) * 255 / 100;
    return (level << 8) | (level << 24);
}

QStringList reminderLinesFromMemo(const QString& memoText)
{
    return memoText.isEmpty() ? QStringList() : memoText.split(QLatin1Char('\n'));
}

QString memoTextFromReminder(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('\n');
    return text;
}
