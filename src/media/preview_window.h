#pragma once

#include "ui/form_dialog.h"
#include <QString>

class QFrame;
class QPushButton;
class TDSTrackBar;
class TDSVideoWindowEx2;
class TFilterGraph;

/// The preview player: a small modal window that plays a file over and over until the user closes it,
/// with a play button, a pause button and a position bar the user can drag.
class TFormPlay : public FormDialog {
    Q_OBJECT
public:
    explicit TFormPlay(QWidget* parent = nullptr);

    /// Plays `path` in the modal window and returns when the user has closed it. A file that cannot be
    /// played opens nothing and says nothing: the window is not shown and the player is left idle.
    void PreviewFile(const QString& path);

    /// Plays, or resumes after a pause.
    void BitBtn1Click();
    /// Pauses; the position is kept.
    void BitBtn2Click();
    /// Stops and makes the graph inactive; runs whenever the window closes.
    void FormClose() override;

    TFilterGraph& FilterGraph() const { return *m_filterGraph; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void DSTrackBarTimer();

    TFilterGraph* m_filterGraph;
    QFrame* m_panel;
    TDSVideoWindowEx2* m_videoWindow;
    TDSTrackBar* m_trackBar;
    QPushButton* m_playButton;
    QPushButton* m_pauseButton;
};
