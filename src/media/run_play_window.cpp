#include "media/run_play_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "media/filter_graph.h"
#include "media/media_error.h"
#include "media/player_font.h"
#include "media/prerolled_sound.h"
#include "media/track_bar.h"
#include "media/video_window.h"
#include "ui/window_centring.h"

namespace {
// Pictures this narrow or this wide are not shown: the file plays unseen.
constexpr int kNarrowestShown = 11;
constexpr int kWidestShown = 999;
} // namespace

void TFormRunPlay::retranslate()
{
    setWindowTitle(tr("闹铃视频"));
    m_buttonPlay->setText(tr("播放"));
}

void TFormRunPlay::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    FormDialog::changeEvent(event);
}

TFormRunPlay::TFormRunPlay(const PlayerSettings& settings, QWidget* parent)
    // An alarm's video is seen: above other programs, and above the ringing window it plays for.
    : FormDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_settings(settings),
      m_filterGraph(new TFilterGraph(this)), m_videoWindow(new TDSVideoWindowEx2(this)),
      m_trackBar(new TDSTrackBar(m_videoWindow)), m_buttonPlay(new QPushButton(m_videoWindow))
{
    setObjectName(QStringLiteral("FormRunPlay"));
    retranslate();
    centreOnScreenWithFrame(*this);
    setFont(playerFont());
    resize(408, 334);
    m_filterGraph->setObjectName(QStringLiteral("FilterGraph"));
    m_filterGraph->setLinearVolume(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_videoWindow);
    m_videoWindow->setFilterGraph(m_filterGraph);
    m_videoWindow->setFullScreenTopMost(true); // an alarm's video is seen whatever else is open
    m_trackBar->setFilterGraph(m_filterGraph);
    m_trackBar->hide();
    m_buttonPlay->setObjectName(QStringLiteral("ButtonPlay"));
    m_buttonPlay->hide();

    connect(m_trackBar, &TDSTrackBar::OnTimer, this, &TFormRunPlay::DSTrackBarTimer);
    connect(m_videoWindow, &TDSVideoWindowEx2::OnDblClick, this, &TFormRunPlay::DSVideoWindowEx2DblClick);
    connect(m_filterGraph, &TFilterGraph::errorOccurred, this, &TFormRunPlay::playbackFailed);
    connect(m_buttonPlay, &QPushButton::clicked, this, [this] {
        try {
            ButtonPlayClick();
        } catch (const BelvaneError& e) {
            emit playFailed(e.text());
        }
    });
}

TFormRunPlay::~TFormRunPlay()
{
    m_videoWindow->LeaveFullScreen();
}

bool TFormRunPlay::Idle() const
{
    return !m_filterGraph->Active();
}

void TFormRunPlay::ButtonPlayClick()
{
    play([this] {
        m_filterGraph->setActive(true);
        m_filterGraph->ResetGraph();
        m_filterGraph->StopPlayback();
        m_filterGraph->RenderMediaFile(m_mediaFile);
    });
}

bool TFormRunPlay::playPrerolled(PrerolledSound& sound)
{
    GstElement* pipeline = sound.take();
    if (!pipeline)
        return false;
    m_mediaFile = sound.file();
    play([this, pipeline] { m_filterGraph->adoptLoaded(pipeline, m_mediaFile); });
    return true;
}

void TFormRunPlay::play(const std::function<void()>& load)
{
    m_fullScreenPending = m_settings.fullScreenVideo();
    try {
        load();
        m_filterGraph->StartPlayback();
    } catch (const BelvaneError&) {
        // The caller gets the error, and the player is idle: a ringing play list goes on with its next
        // entry instead of waiting for a file that never ends.
        FormClose();
        throw;
    }
    const QSize video = m_filterGraph->videoSize();
    if (video.width() >= kNarrowestShown && video.width() <= kWidestShown)
        showForVideo(video);
    m_playing = true;
}

void TFormRunPlay::showForVideo(const QSize& video)
{
    resize(video);
    show(); // centred with its frame at every showing
    raise();
}

void TFormRunPlay::DSTrackBarTimer()
{
    if (isVisible() && m_fullScreenPending) {
        m_videoWindow->EnterFullScreen();
        m_fullScreenPending = false;
    }
    // The whole seconds played have reached those of the file: from here on the player is idle.
    if (m_trackBar->Position() >= m_trackBar->Max())
        FormClose();
}

void TFormRunPlay::DSVideoWindowEx2DblClick()
{
    if (m_videoWindow->InFullScreen())
        m_videoWindow->LeaveFullScreen();
    else
        m_videoWindow->EnterFullScreen();
}

void TFormRunPlay::playbackFailed()
{
    // A file that fails part-way (a broken stream, a lost sound output) would never reach its end.
    if (m_playing)
        FormClose();
}

void TFormRunPlay::FormClose()
{
    m_videoWindow->LeaveFullScreen();
    if (m_filterGraph->Active()) {
        try {
            m_filterGraph->StopPlayback();
            m_filterGraph->ResetGraph();
        } catch (const BelvaneError&) {
            // A file that refuses to stop is torn down with the graph all the same.
        }
        m_filterGraph->setActive(false);
    }
    m_playing = false;
    hide();
}

