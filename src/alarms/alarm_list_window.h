#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

#include "alarms/alarm_list_file.h"

struct Services;

/// The alarm list window. It owns the alarm rows and the scheduler timer, which runs whether the
/// window is shown or not.
class TFormAlarmList : public QWidget {
    Q_OBJECT
public:
    TFormAlarmList(Services& services, const QString& programFolder, QWidget* parent = nullptr);

    /// Loads "al.ini" and starts the scheduler. A damaged list is reported, and the scheduler still
    /// starts for the alarms that did load: an alarm clock that silently stops ringing is worse than
    /// one that rings what it could read.
    void FormCreate();

    const QString& ProgramFolder() const { return m_programFolder; }
    AlarmListStore& store() { return m_store; }
    QTimer& schedulerTimer() { return m_timer; }

    bool AlarmRinging = false;
    QString CurrentAlarmFile;

private:
    void TimerTimer();

    Services& m_services;
    QString m_programFolder;
    AlarmListStore m_store;
    QTimer m_timer;
};
