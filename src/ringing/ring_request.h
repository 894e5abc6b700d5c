#pragma once

#include <optional>

#include <QString>

#include "alarms/alarm_settings_file.h"

#include "ringing/alarm_schedule.h"

/// What a ringing window rings, handed to it when it is made: the occurrence, where its settings file
/// and the built-in sounds lie, and how late it rings.
struct RingRequest {
    Occurrence occurrence;
    /// The folder of the alarm's settings file, with its trailing separator.
    QString dataFolder;
    /// The program folder, with its trailing separator: the built-in sounds.
    QString programFolder;
    /// Seconds between the occurrence and the window opening; 0 when on time.
    qint64 lateSeconds = 0;
    /// A trial from the editor: these settings ring instead of a settings file's, with the fade-in
    /// compressed and no power action.
    std::optional<AlarmSettings> trial;

    QString settingsFileName() const { return QString::fromLatin1(occurrence.row.alarmNumber) + QStringLiteral(".ini"); }
};

/// The settings a ringing rings with: the trial's, else those of the alarm's settings file, and in
/// `memo` its reminder. A settings file that is missing or cannot be read does not silence the alarm:
/// it rings with the new-alarm defaults, and `memo` is the error, naming the file.
AlarmSettings ringingSettings(const RingRequest& request, QString& memo);

/// The line the ringing window shows under the time when an alarm rings late ("原定 07:00:00 响铃（晚了
/// 3 分钟）"); empty when it rings on time or a few seconds late.
QString lateRingingNote(const RingRequest& request);
