#pragma once

#include <QDateTime>
#include <QString>

#include "alarms/alarm_display.h"
#include "alarms/alarm_settings_file.h"

/// The reminder text a new alarm starts with, in the interface's language.
QString defaultReminderText();

/// The settings a new alarm starts with, wherever it is made (the editor, a command, D-Bus): weekly
/// on Monday to Friday at `now` (its date kept for the frequencies that use one), the play list
/// chosen and empty, built-in sound 0 for 15 minutes, fade-in 5 and fade-out 30 minutes (both off),
/// snooze 15 minutes, automatic snooze after 2 (off), volume 100, closed by the user (automatic
/// close after 2), no power action, the default reminder text.
AlarmSettings newAlarmSettings(const QDateTime& now);

/// What the list row of an alarm is made from: its caption, frequency, date, time and weekdays.
EditedAlarmInfo editedAlarmInfo(const AlarmSettings& settings, const QString& caption);
