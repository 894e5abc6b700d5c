#include "shell/tray_ringing_entries.h"

#include <QAction>
#include <QMenu>

#include "ringing/alarm_dispatcher.h"
#include "ringing/alarm_run_window.h"
#include "ui/error_report.h"

TrayRingingEntries::TrayRingingEntries(QMenu& menu, AlarmDispatcher& dispatcher) : QObject(&menu)
{
    QAction* first = menu.actions().value(0);
    m_stop = new QAction(tr("停止闹铃"), &menu);
    m_stop->setObjectName(QStringLiteral("TrayStopAlarm"));
    m_snooze = new QAction(tr("打盹儿"), &menu);
    m_snooze->setObjectName(QStringLiteral("TraySnoozeAlarm"));
    m_separator = new QAction(&menu);
    m_separator->setSeparator(true);
    menu.insertActions(first, {m_stop, m_snooze, m_separator});
    show(nullptr);

    connect(m_stop, &QAction::triggered, this, [this] {
        if (m_window)
            guarded([this] { m_window->ButtonOKClick(); });
    });
    connect(m_snooze, &QAction::triggered, this, [this] {
        if (m_window)
            guarded([this] { m_window->ButtonSnoozeClick(); });
    });
    connect(&dispatcher, &AlarmDispatcher::ringingStarted, this, &TrayRingingEntries::show);
    connect(&dispatcher, &AlarmDispatcher::ringingEnded, this, [this] { show(nullptr); });
}

void TrayRingingEntries::show(TAlarmRun* window)
{
    m_window = window;
    for (QAction* action : {m_stop, m_snooze, m_separator})
        action->setVisible(window != nullptr);
}
