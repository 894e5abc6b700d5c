#pragma once

#include <functional>
#include <optional>

#include <QDeadlineTimer>
#include <QDialog>
#include <QString>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "platform/data_folder.h"
#include "platform/date_time_format.h"

class QAction;
class QComboBox;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TFormPlay;
struct AlarmSettings;
struct Services;

/// The alarm list window: shows the rows of the alarm list it is given and changes them through the
/// editor, rewriting "al.ini" after every change; the editor works on the working file "alarm.ini",
/// which the window copies to and from the alarm's own file. The scheduler reads the same rows and is
/// told of every change.
class TFormAlarmList : public QDialog {
    Q_OBJECT
public:
    TFormAlarmList(Services& services, AlarmListStore& store, const AppFolders& folders,
                   QWidget* parent = nullptr);
    ~TFormAlarmList() override;

    /// Fills the list from the rows as loaded.
    void FormCreate();

    AlarmListStore& store() { return m_store; }

    /// The preview player the editor plays its previews through; without one a preview does nothing.
    void setPreviewPlayer(TFormPlay* player) { m_previewPlayer = player; }

    /// The "下次响铃" text of a row; without it the column stays empty.
    std::function<QString(int row)> nextRingOf;
    /// Rings the settings the editor holds, as a trial; without it "试响" does nothing.
    std::function<void(const AlarmSettings&)> tryAlarm;
    /// Shows the "下次响铃" texts anew.
    void showNextRings();

    void ButtonAddClick();
    void buttonEditClick();
    void ButtonDeleteClick();
    void ButtonCloseClick();
    void ShowmainscreenClick();

signals:
    /// The rows changed and "al.ini" was rewritten (or tried to be).
    void rowsChanged();
    void aboutRequested();
    void helpRequested();
    void optionsRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Sets every text of the window in the interface's language.
    void retranslate();
    /// Runs a fresh editor on "alarm.ini"; the row's fields when it ended with OK. For an alarm whose
    /// own settings file is missing, the editor starts from its row instead and names the missing file.
    std::optional<EditedAlarmInfo> runEditor(bool isNew, const AlarmEntry* rowWithoutFile = nullptr,
                                             const QString& missingFile = {});
    /// Rewrites "al.ini" and tells the scheduler, also when the write fails.
    void saveRows();
    void showRow(int row);
    /// Shows the store's rows, in place, after any change.
    void showRows();
    /// Widens the frequency, time and date columns where their texts would be cut.
    void fitColumns();
    void showNextRing(QTreeWidgetItem* item, int row);
    int selectedRow() const;
    void AlarmListDblClick();
    void captionEdited(QTreeWidgetItem* item, int column);
    /// The check box in the first column switches the alarm on or off.
    void switchClicked(QTreeWidgetItem* item, int column);

    Services& m_services;
    QString m_programFolder;
    QString m_dataFolder;
    AlarmListStore& m_store;
    DateTimeLocale m_locale;
    TFormPlay* m_previewPlayer = nullptr;
    bool m_fillingList = false;
    bool m_inDoubleClick = false;
    QDeadlineTimer m_inPlaceEditRefused{0};

    QTreeWidget* AlarmList;
    QPushButton* ButtonAdd;
    QPushButton* buttonEdit;
    QPushButton* ButtonDelete;
    QPushButton* Button2;
    QPushButton* ButtonClose;
    QComboBox* Frequency;
    QAction* m_menuAbout;
    QAction* m_menuHelp;
    QMenu* PopupMenu;
    QAction* Showmainscreen;
    QAction* MenuExit;
};
