#include "alarms/alarm_settings_file.h"

#include <QCoreApplication>

#include <QFile>

#include "alarms/alarm_record.h"
#include "platform/errors.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"

namespace {
const QByteArray kMemoMarker = "***Memo***";
}

ClosingMethod AlarmSettings::closingMethod() const
{
    if (closeAfterMinutes)
        return ClosingMethod::AfterMinutes;
    if (closeWhenFinished)
        return ClosingMethod::WhenFinished;
    if (closeNever)
        return ClosingMethod::Never;
    return ClosingMethod::None;
}

QByteArray WriteAlarmSettings(const AlarmSettings& s)
{
    LineWriter out;
    out.line("***Frequency***");
    out.number(s.frequencyIndex);
    out.line("***Date time***");
    for (int v : {s.hour, s.minute, s.second, s.year, s.month, s.day})
        out.number(v);
    out.line("***Days of week***");
    for (bool day : s.weekdays)
        out.boolean(day);
    out.line("***SongList***");
    out.boolean(s.playMusic);
    out.number(int(s.playList.size()));
    for (const QString& entry : s.playList)
        out.line(entry);
    out.boolean(s.playSound);
    out.number(s.soundIndex);
    out.number(s.soundMinutes);
    out.line("***FadeIn FadeOut***");
    out.boolean(s.fadeIn);
    out.number(s.fadeInMinutes);
    out.boolean(s.fadeOut);
    out.number(s.fadeOutMinutes);
    out.line("***Snooze time***");
    out.number(s.snoozeMinutes);
    out.boolean(s.autoSnooze);
    out.number(s.autoSnoozeMinutes);
    out.line("***Alarm volum***");
    out.number(s.volume);
    out.line("***Closing method***");
    out.boolean(s.closeNever);
    out.boolean(s.closeWhenFinished);
    out.boolean(s.closeAfterMinutes);
    out.number(s.autoCloseMinutes);
    out.line("***Saving poweer***");
    out.number(s.powerAction);
    out.line(kMemoMarker);
    out.raw(encodeText(s.reminderText.join(QStringLiteral("\r\n"))));
    return out.bytes();
}

void ReadAlarmSettings(const QByteArray& bytes, SettingsReader reader, AlarmSettings& s)
{
    s = AlarmSettings{};
    LineReader in(bytes);
    auto done = [&](SettingsField f) { s.fieldsRead = int(f); };
    const bool editor = reader == SettingsReader::Editor;

    in.readLine();
    s.frequencyIndex = in.readInt();
    done(SettingsField::Frequency);

    in.readLine();
    // Each part is read before any is kept, so a bad line leaves the whole time (or date) unread.
    const int hour = in.readInt(), minute = in.readInt(), second = in.readInt();
    if (editor && (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60))
        throw ConversionError(QCoreApplication::translate("AlarmSettingsFile", "%1:%2:%3 不是一天中的时刻")
                                  .arg(hour)
                                  .arg(minute, 2, 10, QLatin1Char('0'))
                                  .arg(second, 2, 10, QLatin1Char('0')));
    s.hour = hour, s.minute = minute, s.second = second;
    done(SettingsField::Time);
    const int year = in.readInt(), month = in.readInt(), day = in.readInt();
    if (editor && !isValidDate(year, month, day))
        throw ConversionError(QCoreApplication::translate("AlarmSettingsFile", "%1 年 %2 月 %3 日不是日期")
                                  .arg(year)
                                  .arg(month)
                                  .arg(day));
    s.year = year, s.month = month, s.day = day;
    done(SettingsField::Date);

    in.readLine();
    for (bool& d : s.weekdays)
        d = in.readBool();
    done(SettingsField::Weekdays);

    in.readLine();
    s.playMusic = in.readBool();
    done(SettingsField::PlayMusic);
    const int entries = in.readInt();
    for (int i = 0; i < entries; ++i) {
        // Past the end of the file every line reads empty, so once the list is full there is nothing
        // left to read: a damaged count of two billion must not keep the reader going.
        if (in.atEnd() && s.playList.size() >= kMaxPlayListEntries)
            break;
        QString entry = in.readText();
        if (s.playList.size() < kMaxPlayListEntries)
            s.playList.append(entry);
    }
    done(SettingsField::PlayList);
    s.playSound = in.readBool();
    done(SettingsField::PlaySound);
    s.soundIndex = in.readInt();
    done(SettingsField::SoundIndex);
    s.soundMinutes = in.readInt();
    done(SettingsField::SoundMinutes);

    in.readLine();
    s.fadeIn = in.readBool();
    done(SettingsField::FadeIn);
    s.fadeInMinutes = in.readInt();
    done(SettingsField::FadeInMinutes);
    s.fadeOut = in.readBool();
    done(SettingsField::FadeOut);
    s.fadeOutMinutes = in.readInt();
    done(SettingsField::FadeOutMinutes);

    in.readLine();
    s.snoozeMinutes = in.readInt();
    done(SettingsField::SnoozeMinutes);
    s.autoSnooze = in.readBool();
    done(SettingsField::AutoSnooze);
    s.autoSnoozeMinutes = in.readInt();
    done(SettingsField::AutoSnoozeMinutes);

    in.readLine();
    s.volume = in.readInt();
    done(SettingsField::Volume);

    in.readLine();
    s.closeNever = in.readBool();
    s.closeWhenFinished = in.readBool();
    s.closeAfterMinutes = in.readBool();
    done(SettingsField::ClosingMethod);
    s.autoCloseMinutes = in.readInt();
    done(SettingsField::AutoCloseMinutes);

    in.readLine();
    s.powerAction = in.readInt();
    done(SettingsField::PowerAction);

    // Anything between the power action and the memo marker is skipped; no marker, no text.
    while (!in.atEnd() && in.readLine() != kMemoMarker) {
    }
    while (!in.atEnd())
        s.reminderText.append(in.readText());
    done(SettingsField::ReminderText);
}

void ReadAlarmSettingsFile(const QString& programFolder, const QString& fileName, SettingsReader reader,
                           AlarmSettings& out)
{
    out = AlarmSettings{};
    const QString path = programFolder + fileName;
    if (!QFile::exists(path))
        throw IoError(QCoreApplication::translate("AlarmSettingsFile", "找不到文件\"%1\"").arg(path));
    ReadAlarmSettings(readWholeFile(path), reader, out);
}

AlarmSettings fallbackAlarmSettings()
{
    AlarmSettings s;
    s.playSound = true;
    s.soundIndex = 0;
    s.volume = 100;
    s.soundMinutes = 15;
    s.snoozeMinutes = 15;
    s.autoSnoozeMinutes = 2;
    s.closeNever = true;
    s.fieldsRead = int(SettingsField::ReminderText);
    return s;
}
