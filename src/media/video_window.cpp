#include "media/video_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "media/letter_box.h"

namespace {

void paintLetterBoxed(QWidget& widget, const QImage& frame)
{
    QPainter painter(&widget);
    painter.fillRect(widget.rect(), Qt::black);
    if (!frame.isNull())
        painter.drawImage(letterBoxRect(frame.size(), widget.rect()), frame);
}

/// The borderless window that holds the video while it is full screen.
class FullScreenVideo : public QWidget {
public:
    FullScreenVideo(TDSVideoWindowEx2& surface, Qt::WindowFlags flags)
        : QWidget(surface.window(), flags), m_surface(surface)
    {
        setObjectName(QStringLiteral("FullScreenVideo"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override { paintLetterBoxed(*this, m_surface.currentFrame()); }
    void mouseDoubleClickEvent(QMouseEvent*) override { emit m_surface.OnDblClick(); }

private:
    TDSVideoWindowEx2& m_surface;
};

} // namespace

TDSVideoWindowEx2::TDSVideoWindowEx2(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DSVideoWindowEx2"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    connect(&m_sink, &VideoFrameSink::frameChanged, this, &TDSVideoWindowEx2::showFrame);
}

TDSVideoWindowEx2::~TDSVideoWindowEx2()
{
    setFilterGraph(nullptr);
}

void TDSVideoWindowEx2::setFilterGraph(TFilterGraph* graph)
{
    if (m_graph) {
        disconnect(m_graphConnection);
        m_graph->setVideoOutput(nullptr);
    }
    m_graph = graph;
    if (graph) {
        graph->setVideoOutput(&m_sink);
        m_graphConnection = connect(graph, &TFilterGraph::controlEvent, this, &TDSVideoWindowEx2::graphEvent);
    }
}

void TDSVideoWindowEx2::EnterFullScreen()
{
    if (m_inFullScreen)
        return;
    // A dialog-kind window is kept by the window manager over the player it belongs to.
    Qt::WindowFlags flags = Qt::Dialog | Qt::FramelessWindowHint;
    if (m_fullScreenTopMost)
        flags |= Qt::WindowStaysOnTopHint;
    if (!m_fullScreen || m_fullScreen->windowFlags() != flags) {
        delete m_fullScreen;
        m_fullScreen = new FullScreenVideo(*this, flags);
    }
    const QScreen* holder = screen();
    m_fullScreen->setGeometry(holder->geometry());
    m_fullScreen->showFullScreen();
    m_inFullScreen = true;
    update();
}

void TDSVideoWindowEx2::LeaveFullScreen()
{
    if (!m_inFullScreen)
        return;
    m_fullScreen->hide();
    m_inFullScreen = false;
    update();
}

QWidget* TDSVideoWindowEx2::fullScreenWindow() const
{
    return m_inFullScreen ? m_fullScreen : nullptr;
}

void TDSVideoWindowEx2::paintEvent(QPaintEvent*)
{
    paintLetterBoxed(*this, m_inFullScreen ? QImage() : m_sink.frame());
}

void TDSVideoWindowEx2::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit OnDblClick();
}

void TDSVideoWindowEx2::graphEvent(TFilterGraph::ControlEvent event, int parameter)
{
    // A new file or a graph going away leaves black, not the last picture of the one before.
    if (event == TFilterGraph::ControlEvent::AboutToRender ||
        (event == TFilterGraph::ControlEvent::ActivationChanged && parameter == 0))
        m_sink.clear();
}

void TDSVideoWindowEx2::showFrame()
{
    if (m_inFullScreen)
        m_fullScreen->update();
    else
        update();
}
