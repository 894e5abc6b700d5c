#pragma once

#include <memory>
#include <optional>

#include "ui/form_dialog.h"
#include <QTimer>

#include "platform/date_time_format.h"
#include "platform/output_volume.h"
#include "ringing/ring_request.h"
#include "ringing/ringing_session.h"

class PrerolledSound;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class RingNotification;
class TFormRunPlay;
struct Services;

/// The ringing window for one occurrence of an alarm, given everything it rings when it is made. It
/// shows the time and the reminder, and carries out what its ringing session decides at each 200 ms
/// tick: the player's commands, the output volume, closing and the power action. A settings file that
/// is missing or cannot be read does not silence it: it rings with the new-alarm defaults and shows
/// the error where the reminder would be.
class TAlarmRun : public FormDialog, private RingingActions {
    Q_OBJECT
public:
    /// Opens the window's fonts ahead of its second, while its sound is made ready: the first ringing
    /// of a run would otherwise load them between the due second and the sound.
    static void prepareFonts();
    /// Lets go of the fonts opened for the window once no window uses them; the next ringing opens
    /// them again. Fonts other windows still show are opened again when they are next drawn.
    static void releaseFonts();
    /// How long a trial's fade-in lasts, whatever the alarm's.
    static constexpr int kTrialFadeInSeconds = 10;

    TAlarmRun(RingRequest request, Services& services, TFormRunPlay& player, QWidget* parent = nullptr);
    ~TAlarmRun() override;

    void FormCreate();
    void ActionReadAlarmInfoExecute();
    void FormShow();
    /// Starts the ringing before the window is shown: the device goes to the alarm's volume and the
    /// first tick starts the sound at once, so that drawing the window does not hold the sound back.
    /// Showing the window does this, a moment later, when it has not been done.
    void startRinging();
    /// A sound made ready ahead of the alarm's second: played in place of loading its file again when
    /// it is the file the ringing starts with. It goes once a file plays, and with the window.
    void setPrerolledSound(std::unique_ptr<PrerolledSound> sound);
    /// The window has closed (also before it was ever shown).
    bool closed() const { return m_closed; }
    void TimerTimer();
    /// Snooze and OK, however they are asked for (the buttons, the tray, a notification, a command):
    /// each says so with `answered` first.
    void ButtonSnoozeClick();
    void ButtonOKClick();
    void FormClose() override;

    const RingingSession& session() const { return m_session; }
    const RingRequest& request() const { return m_request; }
    /// Keys reach the window: it has been shown for a second.
    bool keysAccepted() const;
    /// How long after showing the window ignores keys.
    static constexpr int kKeyGuardMs = 1000;
    QTimer& timer() { return Timer; }

signals:
    /// A snooze began or ended.
    void snoozeChanged();
    /// The user answered the alarm: "ok" or "snooze".
    void answered(const QString& how);
    /// The ringing ended by itself, nobody having answered: the sound has stopped and the device is
    /// back as it was; the window closes or stays open, silent, as the alarm says.
    void unanswered();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Sets every text of the window in the interface's language.
    void retranslate();
    // What the session asks of the world.
    bool playerIdle() const override;
    void playFile(const QString& path) override;
    bool fileExists(const QString& path) const override;
    void closePlayer() override;
    void setDeviceVolume(quint32 packed) override;
    void requestClose() override { m_closeRequested = true; }
    void powerAction(int action) override;
    void ringingUnanswered() override;

    void showClock();
    /// The device goes to the alarm's volume, unmuted; how it was is kept for the end.
    void takeOutputDevice();
    /// The device goes back to how it was before the alarm took it (once).
    void giveBackOutputDevice();
    /// A sound server that came (back) while ringing is taken as the first one was, and the sound
    /// starts again on it.
    void followSoundServer();
    void acceptKeys();
    /// Shows why the built-in sound rings instead of the play list, or how the ringing ended, once the
    /// session says so.
    void showFallbackNote();
    void layOutNotes();

    RingRequest m_request;
    Services& m_services;
    TFormRunPlay& m_player;
    RingingSession m_session;
    DateTimeLocale m_locale;
    // The device as it was before the alarm, put back when the window closes.
    std::optional<DeviceVolume> m_volumeBefore;
    // The sound server the device was taken on; 0: none.
    quint64 m_server = 0;
    std::unique_ptr<PrerolledSound> m_prerolled;
    bool m_ringing = false;
    bool m_shown = false;
    bool m_closed = false;
    bool m_closeRequested = false;
    bool m_activatedOnce = false;
    // The same alarm on the desktop's notifications, withdrawn when the window closes.
    std::unique_ptr<RingNotification> m_notification;

    QLabel* LabelTime;
    QLabel* LabelDate;
    QLabel* Label1;
    QLabel* LabelLate;
    QPlainTextEdit* Memo;
    QLabel* LabelFallback;
    QPushButton* ButtonSnooze;
    QPushButton* ButtonOK;
    QTimer Timer;
    QTimer m_keyGuard;
};
