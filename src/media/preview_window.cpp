#include "media/preview_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "media/filter_graph.h"
#include "media/player_font.h"
#include "media/track_bar.h"
#include "media/video_window.h"
#include "ui/error_report.h"
#include "ui/window_centring.h"
#include "ui/window_flags.h"

namespace {

QPixmap playPicture()
{
    QPixmap picture(14, 19);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 160, 0));
    painter.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(14, 9.5), QPointF(0, 19)}));
    return picture;
}

QPixmap pausePicture()
{
    QPixmap picture(16, 16);
    picture.fill(QColor(220, 0, 0));
    return picture;
}

QPushButton* pictureButton(const QPixmap& picture, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(picture);
    button->setIconSize(picture.size());
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

void TFormPlay::retranslate()
{
    setWindowTitle(tr("播放"));
}

void TFormPlay::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    FormDialog::changeEvent(event);
}

TFormPlay::TFormPlay(QWidget* parent)
    : FormDialog(parent, kFixedDialogFlags), m_filterGraph(new TFilterGraph(this)), m_panel(new QFrame(this)),
      m_videoWindow(new TDSVideoWindowEx2(m_panel)), m_trackBar(new TDSTrackBar(this)),
      m_playButton(pictureButton(playPicture(), QStringLiteral("BitBtn1"), this)),
      m_pauseButton(pictureButton(pausePicture(), QStringLiteral("BitBtn2"), this))
{
    setObjectName(QStringLiteral("FormPlay"));
    retranslate();
    centreOnScreenWithFrame(*this);
    setFont(playerFont());
    setFixedSize(292, 263);
    m_filterGraph->setObjectName(QStringLiteral("FilterGraph"));
    m_filterGraph->setLinearVolume(true);

    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameShape(QFrame::NoFrame);
    m_panel->setGeometry(0, 0, 292, 225);
    auto* panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(m_videoWindow);
    m_videoWindow->setFilterGraph(m_filterGraph);

    m_trackBar->setGeometry(72, 232, 214, 25);
    m_trackBar->setFilterGraph(m_filterGraph);
    m_playButton->setGeometry(8, 232, 25, 25);
    m_pauseButton->setGeometry(38, 232, 25, 25);

    connect(m_playButton, &QPushButton::clicked, this, &TFormPlay::BitBtn1Click);
    connect(m_pauseButton, &QPushButton::clicked, this, &TFormPlay::BitBtn2Click);
    connect(m_trackBar, &TDSTrackBar::OnTimer, this, &TFormPlay::DSTrackBarTimer);
}

void TFormPlay::PreviewFile(const QString& path)
{
    try {
        m_filterGraph->setActive(true);
        m_filterGraph->ResetGraph();
        m_filterGraph->RenderMediaFile(path);
        m_filterGraph->StartPlayback();
    } catch (const BelvaneError&) {
        m_filterGraph->setActive(false); // a preview that cannot play simply does not open
        return;
    }
    exec();
}

void TFormPlay::BitBtn1Click()
{
    guarded([this] { m_filterGraph->StartPlayback(); });
}

void TFormPlay::BitBtn2Click()
{
    guarded([this] { m_filterGraph->PausePlayback(); });
}

void TFormPlay::DSTrackBarTimer()
{
    if (m_trackBar->Position() != m_trackBar->Max())
        return;
    guarded([this] {
        m_trackBar->SeekToStart();
        m_filterGraph->StopPlayback();
        m_filterGraph->StartPlayback();
    });
}

void TFormPlay::FormClose()
{
    if (!m_filterGraph->Active())
        return;
    try {
        m_filterGraph->StopPlayback();
    } catch (const BelvaneError&) {
        // The graph goes below whatever state the file was left in.
    }
    m_filterGraph->setActive(false);
}

