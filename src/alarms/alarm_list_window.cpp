#include "alarms/alarm_list_window.h"

#include "app/error_report.h"
#include "app/services.h"

TFormAlarmList::TFormAlarmList(Services& services, const QString& programFolder, QWidget* parent)
    : QWidget(parent), m_services(services), m_programFolder(programFolder), m_store(programFolder)
{
    setObjectName(QStringLiteral("FormAlarmList"));
    setWindowTitle(QStringLiteral("Belvane"));
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, [this] { guarded([this] { TimerTimer(); }); });
}

void TFormAlarmList::FormCreate()
{
    guarded([this] { m_store.load(); });
    m_timer.start();
}

void TFormAlarmList::TimerTimer()
{
}
