#include "alarms/alarm_editor.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>

#include "alarms/alarm_list_window.h"
#include "app/error_report.h"
#include "app/services.h"
#include "platform/clock.h"
#include "platform/line_file.h"

TAlarmOptions::TAlarmOptions(TFormAlarmList& owner) : QDialog(&owner), m_owner(owner)
{
    setObjectName(QStringLiteral("AlarmOptions"));
    setWindowTitle(QStringLiteral("闹钟设置"));
    Memo = new QPlainTextEdit(QStringLiteral("该起床了！"), this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Frequency = new QComboBox(this);
    Frequency->setObjectName(QStringLiteral("Frequency"));
    for (int i = 0; i < kFrequencyCount; ++i)
        Frequency->addItem(frequencyText(i));
    Frequency->setCurrentIndex(int(::Frequency::Weekly));
    const QDateTime now = owner.services().clock.now();
    TimePicker = new QTimeEdit(now.time(), this);
    TimePicker->setObjectName(QStringLiteral("TimePicker"));
    TimePicker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    DatePicker = new QDateEdit(now.date(), this);
    DatePicker->setObjectName(QStringLiteral("DatePicker"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(ok, &QPushButton::clicked, this, [this] { guarded([this] { OKClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("提醒文本："), Memo);
    form->addRow(QStringLiteral("频率："), Frequency);
    form->addRow(QStringLiteral("时间："), TimePicker);
    form->addRow(QStringLiteral("日期："), DatePicker);
    form->addRow(buttons);

    // A new alarm's defaults: weekdays Monday to Friday, the sound list's first sound, full volume.
    m_settings.weekdays = {false, true, true, true, true, true, false};
    m_settings.playMusic = true;
    m_settings.soundMinutes = 15;
    m_settings.fadeInMinutes = 5;
    m_settings.fadeOutMinutes = 30;
    m_settings.snoozeMinutes = 15;
    m_settings.autoSnoozeMinutes = 2;
    m_settings.volume = 100;
    m_settings.closeNever = true;
    m_settings.autoCloseMinutes = 2;
}

void TAlarmOptions::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        guarded([this] { FormShow(); });
    }
}

void TAlarmOptions::FormShow()
{
    if (m_owner.IsNewAlarm)
        return;
    AlarmSettings loaded;
    try {
        ReadAlarmSettingsFile(m_owner.ProgramFolder(), m_owner.CurrentAlarmFile, SettingsReader::Editor, loaded);
    } catch (...) {
        if (loaded.fieldsRead > 0)
            m_settings = loaded;
        throw;
    }
    m_settings = loaded;
    Memo->setPlainText(loaded.reminderText.join(QLatin1Char('\n')));
    Frequency->setCurrentIndex(loaded.frequencyIndex);
    TimePicker->setTime(QTime(loaded.hour, loaded.minute, loaded.second));
    DatePicker->setDate(QDate(loaded.year, loaded.month, loaded.day));
}

void TAlarmOptions::OKClick()
{
    AlarmSettings s = m_settings;
    s.reminderText = Memo->toPlainText().split(QLatin1Char('\n'));
    if (Memo->toPlainText().isEmpty())
        s.reminderText.clear();
    s.frequencyIndex = Frequency->currentIndex();
    const QTime t = TimePicker->time();
    const QDate d = DatePicker->date();
    s.hour = t.hour(), s.minute = t.minute(), s.second = t.second();
    s.year = d.year(), s.month = d.month(), s.day = d.day();
    writeFileAtomically(m_owner.ProgramFolder() + m_owner.CurrentAlarmFile, WriteAlarmSettings(s));

    QString mask;
    for (bool day : s.weekdays)
        mask += day ? QLatin1Char('1') : QLatin1Char('0');
    m_owner.EditedAlarm = {s.reminderText.value(0), s.frequencyIndex, d, t, mask};
    accept();
}
