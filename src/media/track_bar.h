#pragma once

#include <QPointer>
#include <QSlider>
#include <QTimer>

#include "media/filter_graph.h"

/// The position bar: while its graph plays, it reads the duration and the position once every
/// `TimerInterval` milliseconds, shows them in whole intervals (`Max`, `Position`) and reports them
/// through `OnTimer`. The user can drag it to move the position.
class TDSTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TDSTrackBar(QWidget* parent = nullptr);

    /// Binds the bar to a graph (or none), leaving the previous one.
    void setFilterGraph(TFilterGraph* graph);
    TFilterGraph* FilterGraph() const { return m_graph; }

    /// Milliseconds between two readings and the unit of `Position` and `Max` (default 1000).
    int TimerInterval() const { return m_timer.interval(); }
    void setTimerInterval(int ms) { m_timer.setInterval(ms > 0 ? ms : 1000); }

    /// Whole intervals played and whole intervals of the duration, as of the last reading.
    int Position() const { return value(); }
    int Max() const { return maximum(); }
    int Min() const { return minimum(); }
    /// The user holds the bar with the left button; readings are skipped meanwhile.
    bool Dragging() const { return m_dragging; }
    /// The readings run: from the graph's play to its next pause or stop.
    bool timerRunning() const { return m_timer.isActive(); }

    /// Moves the graph back to the start of its file.
    void SeekToStart();

signals:
    /// A reading: the position and the duration in milliseconds.
    void OnTimer(quint32 currentPos, quint32 stopPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void graphEvent(TFilterGraph::ControlEvent event, int parameter);
    void timerTick();

    QPointer<TFilterGraph> m_graph;
    QMetaObject::Connection m_graphConnection;
    QTimer m_timer;
    bool m_seekable = false;
    bool m_dragging = false;
};
