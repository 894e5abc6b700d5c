#pragma once

#include <memory>

#include <QImage>
#include <QObject>

#include "media/filter_graph.h"

/// Brings a frame sink into each graph it is bound to and hands the newest frame of the playing video
/// to the owner's thread. Frames arrive on the framework's threads in real time; only the newest is
/// kept, and at most one delivery waits in the event queue, so a slow painter drops frames instead of
/// queueing them.
class VideoFrameSink : public QObject, public GraphVideoOutput {
    Q_OBJECT
public:
    explicit VideoFrameSink(QObject* parent = nullptr);
    ~VideoFrameSink() override;

    GstElement* createVideoSink() override;

    /// The newest frame delivered; null before the first and after `clear`. The picture is shared with
    /// the framework's buffer, not copied.
    const QImage& frame() const { return m_frame; }
    void clear();

    struct Mailbox;

signals:
    void frameChanged();

private:
    Q_INVOKABLE void deliver();

    std::shared_ptr<Mailbox> m_mailbox;
    QImage m_frame;
};
