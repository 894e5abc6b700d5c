#include "media/track_bar.h"

#include <algorithm>
#include <limits>

#include <QMouseEvent>

namespace {

quint32 clampToUnsigned(std::int64_t ms)
{
    return static_cast<quint32>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<quint32>::max()));
}

} // namespace

TDSTrackBar::TDSTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setObjectName(QStringLiteral("DSTrackBar"));
    setTickPosition(QSlider::NoTicks);
    setRange(0, 0);
    m_timer.setInterval(1000);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TDSTrackBar::timerTick);
}

void TDSTrackBar::setFilterGraph(TFilterGraph* graph)
{
    if (m_graph)
        disconnect(m_graphConnection);
    m_graph = graph;
    m_seekable = graph && graph->Active();
    if (graph)
        m_graphConnection = connect(graph, &TFilterGraph::controlEvent, this, &TDSTrackBar::graphEvent);
}

void TDSTrackBar::SeekToStart()
{
    if (m_graph)
        m_graph->seekTo(0);
}

void TDSTrackBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = true;
    QSlider::mousePressEvent(event);
}

void TDSTrackBar::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (m_graph && m_seekable && Max() != 0) {
        if (const auto duration = m_graph->durationMs())
            m_graph->seekTo(*duration * Position() / Max());
    }
    m_dragging = false;
}

void TDSTrackBar::graphEvent(TFilterGraph::ControlEvent event, int parameter)
{
    switch (event) {
    case TFilterGraph::ControlEvent::Play:
        if (isEnabled()) // also while the bar is hidden: hidden players rely on its readings
            m_timer.start();
        break;
    case TFilterGraph::ControlEvent::Pause:
    case TFilterGraph::ControlEvent::Stop:
        m_timer.stop();
        break;
    case TFilterGraph::ControlEvent::ActivationChanged:
        m_seekable = parameter == 1;
        if (!m_seekable)
            m_timer.stop();
        break;
    default:
        break;
    }
}

void TDSTrackBar::timerTick()
{
    if (m_dragging || !m_seekable || !m_graph)
        return;
    const auto duration = m_graph->durationMs();
    const auto position = m_graph->positionMs();
    if (!duration || !position)
        return;
    const quint32 stopPos = clampToUnsigned(*duration);
    const quint32 currentPos = clampToUnsigned(*position);
    const auto interval = static_cast<quint32>(TimerInterval());
    setRange(0, static_cast<int>(stopPos / interval));
    setValue(static_cast<int>(currentPos / interval));
    emit OnTimer(currentPos, stopPos);
}
