#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include "alarms/alarm_record.h"
#include "platform/date_time_format.h"

/// What the editor hands back on OK: the summary the list row is made from.
struct EditedAlarmInfo {
    QString caption;
    int frequencyIndex = 0;
    QDate date;
    QTime time;
    QString weekdayMask; // seven "1"/"0", Sunday first
};

enum class RowOrigin { Add, Edit };

/// The list row for an alarm: its caption, frequency text, the time and date columns as they read
/// after an add or after an edit, the codes and the alarm number.
AlarmEntry makeAlarmEntry(const EditedAlarmInfo& alarm, int number, RowOrigin origin, const DateTimeLocale& locale);
