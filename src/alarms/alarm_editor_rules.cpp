#include "alarms/alarm_editor_rules.h"

#include <algorithm>

#include <QRegularExpression>

const QString kMediaFileFilter = QStringLiteral(
    "所有支持的文件|*.mp3;*.mp2;*.mpeg;*.mpg;*.dat;*.mpe;*.m1v;*.mp2;*.mpv2;*.mp2v;*.mpa;*.dat;*.vob;*.avi;*."
    "wma;"
    "*.wax;*.wmv;*.wvx;*.asf;*.asx;*.wpl;*.wm;*.wmx;*.wmd;*.wmz;*.wav;*.mid;*.midi;*.rmi;*.au;*.snd"
    "|音频文件|*.mp3;*.mp2;*.wma;*.wax;*.wav;*.mid;*.midi;*.rmi;*.au;*.snd"
    "|视频文件|*.mpeg;*.mpg;*.avi;*.dat;*.mpe;*.m1v;*.mp2;*.mpv2;*.mp2v;*.mpa;*.dat;*.vob;*.wmv;*.wvx;*.asf;*"
    ".asx;"
    "*.wpl;*.wm;*.wmx;*.wmd;*.wmz"
    "|所有文件 (*.*)|*.*;");

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
