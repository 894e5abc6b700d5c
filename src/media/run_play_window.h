#pragma once

#include <functional>

#include "ui/form_dialog.h"
#include <QString>

#include "media/player_settings.h"

class PrerolledSound;
class QPushButton;
class TDSTrackBar;
class TDSVideoWindowEx2;
class TFilterGraph;

/// The ringing player: plays one file at a time for the ringing window and the hourly chime. It has
/// no visible controls. Audio plays unseen; a video opens this window sized to the picture and centred
/// on the primary screen, and goes full screen a second later when the settings ask for it. The
/// player finds the end of the file itself, once a second, and then closes (hidden or not).
///
/// Driving it, without touching any widget:
/// @code
///     player.setMediaFile(path);      // full path of a local file
///     player.ButtonPlayClick();       // the play command; raises EDirectShowException
///     ...
///     if (player.Idle()) ...          // finished (or never started): give it the next file
///     player.FormClose();             // the close command: stops at once, also when hidden
/// @endcode
///
/// - `ButtonPlayClick` plays `MediaFile` from its start, replacing whatever was playing. It returns
///   once the file plays. A file that is missing, damaged or not media raises `EDirectShowException`
///   (its text names the file) and leaves the player idle, so a play list can go on with its next entry.
/// - `Idle()` is true while nothing plays: before the first play command, once the end of the file has
///   been found (at most about a second after it), after a failed play command and after `FormClose()`.
///   The ringing window hands over the next file only while the player is idle.
/// - `Playing()` is true from a successful play command until the player closes (at the end of the
///   file or by `FormClose()`). The chime step plays through this player only while `Playing()` is false,
///   so a chime never cuts into a ringing alarm.
/// - `FormClose()` stops, leaves full screen, unloads the file, hides the window and makes the player
///   idle; it is safe at any time, also twice. It also runs when the user closes the video's window.
///   (Call it rather than `close()`: Qt does not deliver a close event to a window that is hidden.)
///
/// A play command in progress never re-enters: everything runs on the user-interface thread, and a
/// play command returns before the first position reading.
class TFormRunPlay : public FormDialog {
    Q_OBJECT
public:
    /// `settings` are read at each play command and must outlive the player.
    explicit TFormRunPlay(const PlayerSettings& settings, QWidget* parent = nullptr);
    ~TFormRunPlay() override;

    /// The full path of the file the next play command plays.
    const QString& MediaFile() const { return m_mediaFile; }
    void setMediaFile(const QString& path) { m_mediaFile = path; }

    /// A file was started and the player has not closed since.
    bool Playing() const { return m_playing; }
    /// The shown video goes full screen at the next position reading.
    bool FullScreenPending() const { return m_fullScreenPending; }
    /// Nothing plays: the player's graph is inactive.
    bool Idle() const;

    /// The play command: plays `MediaFile`. Raises `EDirectShowException` when it cannot.
    void ButtonPlayClick();
    /// Plays a sound prerolled ahead of time as the play command plays a file (it becomes `MediaFile`),
    /// without loading it again; false, doing nothing, when the sound is not ready. Raises as the play
    /// command does.
    bool playPrerolled(PrerolledSound& sound);
    /// The close command: stops, unloads and hides; the player becomes idle. Also runs when the window
    /// is closed.
    void FormClose() override;

    /// The player's graph and video surface, for those who watch it play.
    TFilterGraph& FilterGraph() const { return *m_filterGraph; }
    TDSVideoWindowEx2& VideoWindow() const { return *m_videoWindow; }

signals:
    /// The invisible play button was clicked and its play command failed; the text as raised.
    void playFailed(const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void DSTrackBarTimer();
    void DSVideoWindowEx2DblClick();
    void showForVideo(const QSize& video);
    void playbackFailed();
    /// Loads with `load`, then plays; the player is idle again when either fails.
    void play(const std::function<void()>& load);

    const PlayerSettings& m_settings;
    TFilterGraph* m_filterGraph;
    TDSVideoWindowEx2* m_videoWindow;
    TDSTrackBar* m_trackBar;
    QPushButton* m_buttonPlay;
    QString m_mediaFile;
    bool m_fullScreenPending = false;
    bool m_playing = false;
};
