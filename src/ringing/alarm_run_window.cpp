#include "ringing/alarm_run_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "alarms/alarm_list_window.h"
#include "alarms/alarm_settings_file.h"
#include "app/error_report.h"

TAlarmRun::TAlarmRun(TFormAlarmList& owner) : QDialog(&owner), m_owner(owner)
{
    m_owner.AlarmRinging = true;
    setObjectName(QStringLiteral("AlarmRun"));
    setWindowTitle(QStringLiteral("闹铃"));
    LabelReminder = new QLabel(this);
    LabelReminder->setObjectName(QStringLiteral("LabelReminder"));
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("ButtonOK"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelReminder);
    layout->addWidget(ok);

    AlarmSettings settings;
    guarded([&] {
        ReadAlarmSettingsFile(m_owner.ProgramFolder(), m_owner.CurrentAlarmFile, SettingsReader::Ringing, settings);
    });
    LabelReminder->setText(settings.reminderText.join(QLatin1Char('\n')));
}

TAlarmRun::~TAlarmRun()
{
    release();
}

void TAlarmRun::done(int result)
{
    release();
    QDialog::done(result);
}

void TAlarmRun::release()
{
    if (!m_released) {
        m_released = true;
        m_owner.AlarmRinging = false;
    }
}
