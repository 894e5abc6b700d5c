#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QStringList>

#include "alarms/alarm_display.h"
#include "alarms/new_alarm.h"
#include "platform/output_volume.h"
#include "ui/form_dialog.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTimeEdit;
class QTreeWidget;
class QWidget;
class TFormPlay;
struct AlarmEntry;
struct AlarmSettings;
struct Services;

/// Asks the user for one media file to add to a play list: the dialog's parent, its name filters and
/// the filter it opens on. Gives the chosen path, or nothing when the user cancels.
using MediaFileChooser =
    std::function<QString(QWidget* parent, const QStringList& nameFilters, const QString& selectedFilter)>;
/// Replaces the file-open dialog (tests answer it); an empty chooser restores the dialog.
void setMediaFileChooser(MediaFileChooser chooser);

/// What the alarm editor is given when it is made.
struct AlarmEditorParts {
    /// The clock "获取当前时间" reads, the output volume set while the editor is open.
    Services& services;
    /// Read only: the built-in sounds "播放" plays.
    QString programFolder;
    /// The folder of the working file "alarm.ini", which the editor reads and writes.
    QString dataFolder;
    /// Plays the previews; without one a preview does nothing.
    TFormPlay* previewPlayer = nullptr;
    /// Rings the settings being edited, as a trial; without it "试响" does nothing.
    std::function<void(const AlarmSettings&)> tryAlarm;
};

/// What the editor starts from when shown: a new alarm's defaults, or the working file.
enum class AlarmEditorStart { NewAlarm, WorkingFile };

/// The alarm editor. It reads and writes only the working file "alarm.ini"; whoever opens it copies
/// that file to and from the alarm's own file and takes the row's fields from `editedAlarm()`.
/// While it is open the whole output device plays at the alarm's volume, so the previews are heard
/// as the alarm will be; the volume found at creation is put back however the dialog closes.
class TAlarmOptions : public FormDialog {
    Q_OBJECT
public:
    TAlarmOptions(AlarmEditorParts parts, AlarmEditorStart start, QWidget* parent = nullptr);
    ~TAlarmOptions() override;

    /// The list row's fields as OK saved them: the caption (the memo's first line as shown), the
    /// frequency, date, time and weekdays. Nothing until OK has saved the working file.
    const std::optional<EditedAlarmInfo>& editedAlarm() const { return m_edited; }

    void FormCreate();
    void FormShow();
    /// Puts back the output volume found at creation; runs once, however the dialog ends.
    void FormClose() override;

    void ActionReadAlarmInfo();
    /// Instead of loading the working file when shown: the new alarm's settings with the frequency,
    /// time, date and weekdays of a list row, and the report that `missingFile` was not found.
    void startFromRow(const AlarmEntry& row, const QString& missingFile);
    void OKClick();
    void TimeNowClick();
    void ActionFrequencyChange();
    void ActionPlayMusicSelected();
    void ActionPlaySoundSelected();
    void AlarmVolumeChange();
    void EnableWeekdayBoxes(bool enabled);
    void SetSystemVolume(int percent);

    void AddMusicClick();
    void DeleteMusicClick();
    void UpMusicClick();
    void DownMusicClick();
    void PlayMusicClick();
    void PlaySoundClick();
    /// "试响": rings the settings being edited now, in a ringing window, without saving them.
    void TryAlarmClick();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Runs `setTexts` now and again whenever the interface's language changes, in the order given,
    /// so that what is placed after a caption follows the caption's new width.
    void onEveryLanguage(std::function<void()> setTexts);
    /// Keeps the caption or title of a label, button or group box in the interface's language; check
    /// boxes, radio buttons and labels are fitted to it.
    void keepText(QWidget* control, const char* source);
    /// A label at (x, y) of `parent`, fitted to `source` in the interface's language.
    QLabel* makeCaption(QWidget* parent, const char* source, int x, int y);
    void retranslate();
    void buildBasicPage(QWidget* page);
    void buildSoundPage(QWidget* page);
    void buildVolumePage(QWidget* page);
    void buildOtherPage(QWidget* page);
    void nameForScreenReaders();
    /// Sets the controls from what a reader filled, in file order, up to the field it stopped at.
    void showSettings(const AlarmSettings& s);
    AlarmSettings settingsFromControls() const;
    /// The first line of the reminder text as the memo shows it, wrapped.
    QString firstDisplayedLine() const;
    int selectedSong() const;
    void selectSong(int index);
    void swapSongs(int a, int b);
    void appendSong(const QString& path);
    void preview(const QString& path);
    /// Shows the warning in the play list while play music is chosen with nothing in the list.
    void showEmptyListWarning();

    AlarmEditorParts m_parts;
    AlarmEditorStart m_start;
    std::optional<EditedAlarmInfo> m_edited;
    std::optional<DeviceVolume> m_savedVolume; // SavedWaveVolume: the device's volume at creation
    bool m_shown = false;
    bool m_closed = false;
    std::optional<QString> m_missingFile; // set when the editor starts from a row, not from a file
    std::vector<std::function<void()>> m_setTexts;
    /// The time group's title; until the frequency is first changed, the one naming all three fields.
    const char* m_timeGroupCaption = QT_TRANSLATE_NOOP("TAlarmOptions", "时间，日期和星期几");
    /// A new alarm's reminder as set by the program; empty once the working file's text is shown.
    QString m_untouchedReminder;

    QTabWidget* Table;
    QWidget* TabSheet1;
    QWidget* SoundMusic;
    QWidget* TabSheet4;
    QWidget* TabSheet2;
    QPushButton* OK;
    QPushButton* Cancel;

    QPlainTextEdit* Memo;
    QComboBox* Frequency;
    QGroupBox* GroupBoxTDD;
    QTimeEdit* TimePicker;
    QDateEdit* DatePicker;
    QPushButton* TimeNow;
    QCheckBox* CheckBox[7]; // CheckBox1 (Sunday) to CheckBox7 (Saturday)

    QButtonGroup* m_playGroup;
    QRadioButton* RadioButtonPlayMusic;
    QGroupBox* GroupBoxPlayList;
    QTreeWidget* SongList;
    QPushButton* AddMusic;
    QPushButton* DeleteMusic;
    QPushButton* UpMusic;
    QPushButton* DownMusic;
    QPushButton* PlayMusic;
    QLabel* LabelEmptyList;
    QRadioButton* RadioButtonPlaySound;
    QLabel* LabelPlay;
    QComboBox* SoundComboBox;
    QLabel* LabelLasting;
    QTimeEdit* SoundTimePicker;
    QLabel* LabelMinutes;
    QPushButton* PlaySound;
    QPushButton* TryAlarm;

    QCheckBox* FadeIn;
    QTimeEdit* FadeInTimePicker;
    QCheckBox* FadeOut;
    QTimeEdit* FadeOutTimePicker;
    QCheckBox* AutoSnooze;
    QTimeEdit* AutoSnoozeTimePicker;
    QTimeEdit* SnoozeTimePicker;
    QSlider* AlarmVolume;
    QLabel* LabelVolume;

    QButtonGroup* m_closingGroup;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QTimeEdit* AutoCloseTimePicker;
    QComboBox* PowerComboBox;
};
