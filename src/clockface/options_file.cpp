#include "clockface/options_file.h"

#include <QCoreApplication>

#include <QFile>

#include "platform/errors.h"
#include "platform/line_file.h"

namespace {

constexpr const char* kGeneralMarker = "***General***";
constexpr const char* kChimesMarker = "***Hourly Chimes***";

/// The error of a reading stopped at `lines` of `fileName`, the conversion's own text first.
ConversionError stoppedAt(const ConversionError& e, const QString& fileName, const QString& lines)
{
    return ConversionError(QCoreApplication::translate("OptionsFile",
                                                       "选项文件\"%1\"%2有误（%3）：此前的选项已读出，"
                                                       "此后的选项保持初始值。")
                               .arg(fileName, lines, e.text()));
}

/// Three lines (hour, minute, second) as a time of day; none is kept unless all three make one.
QTime readTimeOfDay(LineReader& in, const QString& fileName)
{
    int parts[3];
    for (int& part : parts) {
        try {
            part = in.readInt();
        } catch (const ConversionError& e) {
            throw stoppedAt(e, fileName,
                            QCoreApplication::translate("OptionsFile", "第 %1 行").arg(in.lineNumber()));
        }
    }
    const auto [hour, minute, second] = parts;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        throw stoppedAt(
            ConversionError(QCoreApplication::translate("OptionsFile", "%1:%2:%3 不是一天中的时刻")
                                .arg(hour)
                                .arg(minute, 2, 10, QLatin1Char('0'))
                                .arg(second, 2, 10, QLatin1Char('0'))),
            fileName,
            QCoreApplication::translate("OptionsFile", "第 %1 到 %2 行")
                .arg(in.lineNumber() - 2)
                .arg(in.lineNumber()));
    return QTime(hour, minute, second);
}

} // namespace

OptionsSettings defaultOptions(const QString& programFolder)
{
    OptionsSettings s;
    s.startup = true;
    s.systemTray = true;
    s.fullScreen = true;
    s.timeFormat = TimeFormat::Standard;
    s.chime = ChimeOptions{programFolder + QStringLiteral("sounds/Cuckoo.wav"),
                           true,
                           true,
                           true,
                           false,
                           QTime(8, 0),
                           QTime(22, 0)};
    return s;
}

void readOptions(const QByteArray& bytes, OptionsSettings& s, const QString& fileName)
{
    LineReader in(bytes);
    in.readLine();
    s.startup = in.readBool();
    s.systemTray = in.readBool();
    s.fullScreen = in.readBool();
    const QByteArray format = in.readLine();
    s.timeFormat = format == "TRUE"    ? TimeFormat::Standard
                   : format == "FALSE" ? TimeFormat::Military
                                       : TimeFormat::Neither;

    in.readLine();
    s.chime.file = in.readText();
    s.chime.hourly = in.readBool();
    s.chime.halfHourly = in.readBool();
    s.chime.quarterHourly = in.readBool();
    s.chime.onlyBetween = in.readBool();
    s.chime.from = readTimeOfDay(in, fileName);
    s.chime.to = readTimeOfDay(in, fileName);
}

QByteArray writeOptions(const OptionsSettings& s)
{
    LineWriter out;
    out.line(kGeneralMarker);
    out.boolean(s.startup);
    out.boolean(s.systemTray);
    out.boolean(s.fullScreen);
    out.boolean(s.timeFormat == TimeFormat::Standard);
    out.line(kChimesMarker);
    out.line(s.chime.file);
    out.boolean(s.chime.hourly);
    out.boolean(s.chime.halfHourly);
    out.boolean(s.chime.quarterHourly);
    out.boolean(s.chime.onlyBetween);
    for (const QTime& t : {s.chime.from, s.chime.to}) {
        out.number(t.hour());
        out.number(t.minute());
        out.number(t.second());
    }
    return out.bytes();
}

bool loadOptions(const QString& path, OptionsSettings& settings)
{
    if (!QFile::exists(path))
        return false;
    readOptions(readWholeFile(path), settings, path);
    return true;
}

void saveOptions(const QString& path, const OptionsSettings& settings)
{
    writeFileAtomically(path, writeOptions(settings));
}
