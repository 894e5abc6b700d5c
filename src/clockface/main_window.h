#pragma once

#include <array>
#include <functional>

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include "clockface/face_layout.h"
#include "clockface/face_slot_pictures.h"
#include "clockface/live_options.h"
#include "platform/data_folder.h"

class QAction;
class QDialog;
class QMenu;
class TSysTray;
struct Services;

/// The clock face: a borderless, always-on-top window shaped like its skin's background, painting
/// the time from the skin's pictures twice a second, on the wall clock's halves, while it is shown. Hidden
/// (in the tray or minimised) it runs no timer at all. It carries the program's menu (on the face and
/// on the tray icon) and its closing ends the program.
class TFormMain : public QWidget {
    Q_OBJECT
public:
    TFormMain(Services& services, const AppFolders& folders, QWidget* parent = nullptr);
    ~TFormMain() override;

    /// The windows the menu opens, created after this one; the alarm list is made when first asked for.
    void setPartners(std::function<QDialog*()> alarms, QDialog* options, QDialog* about);
    /// Where the live settings come from; until set, the defaults.
    void setOptions(const LiveOptions* options) { m_options = options ? options : &m_defaultOptions; }

    void ReadSkinChoice();
    void ApplySkinLayout();
    /// Loads a skin's pictures; a picture that cannot be loaded raises "Cannot open file <path>" and
    /// leaves the pictures shown so far in place.
    void LoadSkinPictures(const QString& skinName);
    void ShapeWindow();
    void DrawClock();
    /// The face's tick, where its picture changes (each whole second and just past each half, see
    /// `nextFaceChangeAfter`) or at once after the face is shown: draws the time and arms the timer
    /// for the next change.
    void Timer1Timer();

    void SendtotrayClick();
    void Alarms1Click();
    void Options1Click();
    void menuAboutClick();
    void Help1Click();
    void menuExitClick() { close(); }
    /// Changes the skin; a face hidden in the tray stays hidden.
    void changeSkin(const QString& skinName);

    /// Brings the clock to the front, restoring it first when it is hidden in the tray.
    void bringToFront();

    const QString& SkinName() const { return m_skinName; }
    bool MilitaryShown() const { return m_militaryShown; }
    bool FirstTickPending() const { return m_firstTickPending; }
    const FacePlacement& drawn() const { return m_drawn; }
    QMenu* popupMenu() const { return PopupMenu; }
    TSysTray* sysTray() const { return SysTray; }
    /// The face's single-shot timer; active only while the face is shown.
    QTimer& timer() { return Timer1; }
    /// The instant the timer is armed for, in milliseconds since the epoch.
    qint64 nextDrawAt() const { return m_nextDrawAt; }
    /// How many times the face asked to be repainted, and the area, for tests and figures.
    int drawRequests() const { return m_drawRequests; }

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct SkinPictures {
        QImage background;
        QPixmap ImageBack;
        std::array<QPixmap, 10> HourDigits, MinuteDigits, SecondDigits;
        QPixmap am, pm, colonOn, colonOff;
        SkinPictureSizes sizes() const;
    };
    void FormCreate();
    void buildMenu();
    /// Sets the menu's entries in the interface's language.
    void retranslateMenu();
    void setSendtotrayCaption(const QString& caption);
    /// Checks the menu entry of the skin in use.
    void checkSkinEntry();
    const QPixmap* pictureFor(const PicturePlacement& p) const;
    void centreOnScreen();
    void armForNextChange();
    /// The menu from the Menu key or Shift+F10, at the middle of the face.
    void popupMenuFromKeyboard();
    void popupMenuAt(QPoint at);

    Services& m_services;
    QString m_programFolder; // skins and help, only read
    QString m_dataFolder;    // the skin choice
    QRegion m_outline;       // where a translucent face paints; empty when the window mask cuts it
    FixedLiveOptions m_defaultOptions;
    const LiveOptions* m_options = &m_defaultOptions;
    std::function<QDialog*()> m_alarms;
    QPointer<QDialog> m_optionsDialog;
    QPointer<QDialog> m_about;

    QString m_skinName;
    SkinLayout m_layout;
    SkinPictures m_pictures;
    FaceSlotPictures m_slotPictures;
    bool m_picturesLoaded = false;
    FacePlacement m_drawn;
    bool m_redrawAll = true;
    bool m_militaryShown = false;
    bool m_militaryApplied = false;
    bool m_firstTickPending = false;
    qint64 m_nextDrawAt = 0;
    int m_drawRequests = 0;

    QMenu* PopupMenu;
    QAction* Sendtotray;
    bool m_sendtotrayToggled = false; // the first entry names the next toggle, no longer "Send to tray"
    QAction* MenuSkinDigital;
    QAction* MenuSkinSantaClaus;
    TSysTray* SysTray;
    QTimer Timer1;
};
