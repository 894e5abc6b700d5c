#pragma once

#include <QDialog>

class QLabel;
class TFormAlarmList;

/// The ringing window for the alarm named by the list window's `CurrentAlarmFile`. While it exists
/// the list window's `AlarmRinging` is set, so no second alarm rings on top of it.
class TAlarmRun : public QDialog {
    Q_OBJECT
public:
    explicit TAlarmRun(TFormAlarmList& owner);
    ~TAlarmRun() override;

    void done(int result) override;

private:
    void release();

    TFormAlarmList& m_owner;
    bool m_released = false;
    QLabel* LabelReminder;
};
