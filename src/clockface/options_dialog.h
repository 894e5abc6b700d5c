#pragma once

#include <functional>

#include <QDialog>
#include <QString>

#include "clockface/live_options.h"
#include "clockface/options_file.h"
#include "media/player_settings.h"
#include "platform/data_folder.h"

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimeEdit;
class TFormPlay;

/// The options dialog, created once and hidden between uses. Its controls are the program's live
/// settings: the clock face, the alarm list, the ringing player and the chime step read them through
/// `LiveOptions` and `PlayerSettings`, so a change counts as soon as it is made, before OK. OK stores
/// them in "Options.ini"; Cancel and the close box store nothing but undo nothing either.
class TFormOptions : public QDialog, public LiveOptions, public PlayerSettings {
    Q_OBJECT
public:
    explicit TFormOptions(const AppFolders& folders, QWidget* parent = nullptr);
    ~TFormOptions() override;

    /// Reads "Options.ini", or takes the first-run defaults when there is none. A damaged file is
    /// reported when the event loop next runs; the options read before the damage keep their values.
    void FormCreate();

    /// Shows the dialog without waiting for it to close, as the alarm list's options button does. Over
    /// a window that runs modally (the alarm list, when the clock's menu opened it) the dialog is made
    /// modal too, or that window's modal run would keep every click from it.
    void showWithoutWaiting();

    /// The preview player for the chime file; set once it exists.
    void setPreviewPlayer(TFormPlay* player) { m_preview = player; }

    /// Turns start-with-the-desktop on or off; run at OK only, so a start of the program never writes,
    /// rewrites or removes the entry.
    std::function<void(bool)> setStartWithDesktop;
    /// Whether the desktop starts the program now. The box shows it whenever the dialog is shown, not
    /// what "Options.ini" says, so box and desktop agree (a first start shows it clear).
    std::function<bool()> startsWithDesktop;
    /// Sets the box from `startsWithDesktop`.
    void showWhetherStartsWithDesktop();

    /// Runs the chime file chooser (already set up) and gives the chosen full path, empty when the user
    /// cancels. Tests answer here in place of the user.
    std::function<QString(QFileDialog&)> runOpenDialog;

    const QString& optionsPath() const { return m_optionsPath; }

    // The live settings.
    bool startWithDesktop() const override;
    bool startInTray() const override;
    bool fullScreenVideo() const override;
    bool military() const override;
    ChimeOptions chimes() const override;

    /// All the controls as the file stores them, and back.
    OptionsSettings settings() const;
    void showSettings(const OptionsSettings& s);

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void cbNoChimeBetweenClick();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    /// Sets every text in the interface's language; once shown, also fits the window to them.
    void retranslate();
    void fitTexts();

    QString m_programFolder;
    bool m_fitted = false; // the font taken and the texts fitted, at the first show
    QString m_optionsPath;
    TFormPlay* m_preview = nullptr;

    QTabWidget* PageControl;
    QWidget* TabBasic;
    QWidget* TabChimes;
    QCheckBox* cbStartup;
    QCheckBox* cbSystemTray;
    QCheckBox* cbFullScreen;
    QLabel* Label4;
    QRadioButton* rbStandard;
    QRadioButton* rbMilitary;
    QLabel* Label2;
    QLineEdit* EditChimeSound;
    QPushButton* Button3;
    QPushButton* Button4;
    QCheckBox* cbHourly;
    QCheckBox* cbHalfHourly;
    QCheckBox* cbQuarterHourly;
    QCheckBox* cbNoChimeBetween;
    QLabel* Label1;
    QTimeEdit* TimePicker1;
    QLabel* Label3;
    QTimeEdit* TimePicker2;
    QPushButton* Button1;
    QPushButton* Button2;
};
