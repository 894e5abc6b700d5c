#include "alarms/new_alarm.h"

#include <QCoreApplication>

#include "alarms/alarm_record.h"

QString defaultReminderText()
{
    return QCoreApplication::translate("TAlarmOptions", "时间到了，该做计划好的事情了！");
}

AlarmSettings newAlarmSettings(const QDateTime& now)
{
    AlarmSettings s;
    s.frequencyIndex = int(Frequency::Weekly);
    const QTime t = now.time();
    s.hour = t.hour(), s.minute = t.minute(), s.second = t.second();
    const QDate d = now.date();
    s.year = d.year(), s.month = d.month(), s.day = d.day();
    for (int i = 0; i < 7; ++i)
        s.weekdays[i] = i != 0 && i != 6;
    s.playMusic = true;
    s.playSound = false;
    s.soundIndex = 0;
    s.soundMinutes = 15;
    s.fadeInMinutes = 5;
    s.fadeOutMinutes = 30;
    s.snoozeMinutes = 15;
    s.autoSnoozeMinutes = 2;
    s.volume = 100;
    s.closeNever = true;
    s.autoCloseMinutes = 2;
    s.powerAction = 0;
    s.reminderText = QStringList{defaultReminderText()};
    s.fieldsRead = int(SettingsField::ReminderText);
    return s;
}

EditedAlarmInfo editedAlarmInfo(const AlarmSettings& s, const QString& caption)
{
    QString mask;
    for (bool day : s.weekdays)
        mask += day ? QLatin1Char('1') : QLatin1Char('0');
    return EditedAlarmInfo{caption, s.frequencyIndex, QDate(s.year, s.month, s.day),
                           QTime(s.hour, s.minute, s.second), mask};
}
