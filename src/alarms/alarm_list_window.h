#pragma once

#include <functional>

#include <QDialog>
#include <QString>
#include <QTimer>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "platform/date_time_format.h"
#include "ringing/alarm_schedule.h"

class QAction;
class QComboBox;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TFormPlay;
class TFormRunPlay;
struct Services;

/// The alarm list window. It owns the alarm rows, the alarm numbers in use and the scheduler timer,
/// which runs whether the window is shown or not; the editor and the ringing window learn which
/// settings file to use from its hand-over fields.
class TFormAlarmList : public QDialog {
    Q_OBJECT
public:
    TFormAlarmList(Services& services, const QString& programFolder, QWidget* parent = nullptr);
    ~TFormAlarmList() override;

    /// Loads "al.ini" and starts the scheduler. A damaged list is reported, and the scheduler still
    /// starts for the alarms that did load: an alarm clock that silently stops ringing is worse than
    /// one that rings what it could read.
    void FormCreate();

    const QString& ProgramFolder() const { return m_programFolder; }
    AlarmListStore& store() { return m_store; }
    QTimer& schedulerTimer() { return Timer; }
    Services& services() { return m_services; }

    /// The ringing player that ringing windows play through; set before the first tick.
    void setRunPlayer(TFormRunPlay* player) { m_runPlayer = player; }
    /// The preview player the editor plays its previews through; without one a preview does nothing.
    void setPreviewPlayer(TFormPlay* player) { m_previewPlayer = player; }
    TFormPlay* previewPlayer() const { return m_previewPlayer; }

    /// Turns start-with-the-desktop on or off for this program.
    void SetStartWithDesktop(bool enabled);

    // Hand-over fields read and written by the editor and the ringing window.
    bool IsNewAlarm = false;
    QString CurrentAlarmFile;
    EditedAlarmInfo EditedAlarm;
    bool AlarmRinging = false;

    /// Hooks the owner connects: whether the options ask to start in the tray, and the chime step
    /// that ends every scheduler tick.
    std::function<bool()> startInTray;
    std::function<void()> chimeStep;

    void ButtonAddClick();
    void buttonEditClick();
    void ButtonDeleteClick();
    void ButtonCloseClick();
    void ShowmainscreenClick();
    void TimerTimer();

signals:
    void aboutRequested();
    void helpRequested();
    void optionsRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// Runs a fresh editor on "alarm.ini"; true when it ended with OK.
    bool runEditor(bool isNew);
    /// Runs the ringing window for the alarm of this row, to its end.
    void ringAlarm(int row);
    void showRow(int row);
    int selectedRow() const;
    void AlarmListDblClick();
    void captionEdited(QTreeWidgetItem* item, int column);

    Services& m_services;
    QString m_programFolder;
    AlarmListStore m_store;
    DateTimeLocale m_locale;
    AlarmScheduler m_scheduler;
    TFormRunPlay* m_runPlayer = nullptr;
    TFormPlay* m_previewPlayer = nullptr;
    bool m_firstTick = true;
    bool m_fillingList = false;

    QTreeWidget* AlarmList;
    QPushButton* ButtonAdd;
    QPushButton* buttonEdit;
    QPushButton* ButtonDelete;
    QPushButton* Button2;
    QPushButton* ButtonClose;
    QComboBox* Frequency;
    QMenu* PopupMenu;
    QAction* Showmainscreen;
    QAction* MenuExit;
    QTimer Timer;
};
