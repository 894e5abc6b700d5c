#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "media/filter_graph.h"
#include "media/video_frame_sink.h"

/// The video surface: shows the video of its graph letter-boxed on black, in place or full screen.
/// The frames come from the surface's own sink inside the graph and are painted by the widget, so
/// the picture shows on any display server and offscreen alike.
class TDSVideoWindowEx2 : public QWidget {
    Q_OBJECT
public:
    explicit TDSVideoWindowEx2(QWidget* parent = nullptr);
    ~TDSVideoWindowEx2() override;

    /// Binds the surface to a graph (or none); its sink joins the graph at the graph's next activation.
    void setFilterGraph(TFilterGraph* graph);
    TFilterGraph* FilterGraph() const { return m_graph; }

    /// Shows the video in a borderless window over the whole screen that holds this surface.
    /// No effect when already full screen.
    void EnterFullScreen();
    /// Returns the video into the surface. Safe to call at any time.
    void LeaveFullScreen();
    bool InFullScreen() const { return m_inFullScreen; }
    /// The full-screen window is kept above all others (default false).
    bool FullScreenTopMost() const { return m_fullScreenTopMost; }
    void setFullScreenTopMost(bool on) { m_fullScreenTopMost = on; }

    /// The full-screen window while it is shown, else nullptr.
    QWidget* fullScreenWindow() const;
    /// The newest frame of the video; null when none has arrived.
    const QImage& currentFrame() const { return m_sink.frame(); }

signals:
    /// A double click on the video, in place or full screen.
    void OnDblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void graphEvent(TFilterGraph::ControlEvent event, int parameter);
    void showFrame();

    VideoFrameSink m_sink;
    QPointer<TFilterGraph> m_graph;
    QMetaObject::Connection m_graphConnection;
    QWidget* m_fullScreen = nullptr; // a child top-level window, so it is not cut off by a modal owner
    bool m_inFullScreen = false;
    bool m_fullScreenTopMost = false;
};
