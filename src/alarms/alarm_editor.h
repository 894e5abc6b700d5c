#pragma once

#include <QDialog>

#include "alarms/alarm_settings_file.h"

class QComboBox;
class QDateEdit;
class QPlainTextEdit;
class QTimeEdit;
class TFormAlarmList;

/// The alarm editor. It reads and writes only the working file named by the list window's
/// `CurrentAlarmFile`; the list window copies that file to and from the alarm's own file.
class TAlarmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TAlarmOptions(TFormAlarmList& owner);

    void FormShow();
    void OKClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TFormAlarmList& m_owner;
    AlarmSettings m_settings; // fields without a control here pass through unchanged
    bool m_shown = false;
    QPlainTextEdit* Memo;
    QComboBox* Frequency;
    QTimeEdit* TimePicker;
    QDateEdit* DatePicker;
};
