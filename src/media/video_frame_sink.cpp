#include "media/video_frame_sink.h"

#include <mutex>

#include <QMetaObject>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

/// What the framework's threads share with the sink object: the newest frame and whether a delivery
/// is already on its way. `receiver` is cleared when the sink object goes, under the same lock.
struct VideoFrameSink::Mailbox {
    std::mutex mutex;
    QImage latest;
    VideoFrameSink* receiver = nullptr;
    bool deliveryPosted = false;
};

namespace {

/// The sample's picture as a QImage of its own; null when it cannot be read. The sample is released
/// here: the sink reuses its preroll sample, which it can only do while no one else holds it.
QImage imageOf(GstSample* sample)
{
    QImage image;
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoFrame frame;
    if (caps && buffer && gst_video_info_from_caps(&info, caps) &&
        gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) {
        image = QImage(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)), GST_VIDEO_FRAME_WIDTH(&frame),
                       GST_VIDEO_FRAME_HEIGHT(&frame), GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32)
                    .copy();
        gst_video_frame_unmap(&frame);
    }
    gst_sample_unref(sample);
    return image;
}

void post(VideoFrameSink::Mailbox& mailbox, QImage image)
{
    const std::lock_guard lock(mailbox.mutex);
    mailbox.latest = std::move(image);
    if (mailbox.receiver && !mailbox.deliveryPosted) {
        mailbox.deliveryPosted = true;
        QMetaObject::invokeMethod(mailbox.receiver, "deliver", Qt::QueuedConnection);
    }
}

GstFlowReturn onSample(GstAppSink* sink, gpointer data)
{
    if (GstSample* sample = gst_app_sink_pull_sample(sink))
        post(**static_cast<std::shared_ptr<VideoFrameSink::Mailbox>*>(data), imageOf(sample));
    return GST_FLOW_OK;
}

GstFlowReturn onPreroll(GstAppSink* sink, gpointer data)
{
    if (GstSample* sample = gst_app_sink_pull_preroll(sink))
        post(**static_cast<std::shared_ptr<VideoFrameSink::Mailbox>*>(data), imageOf(sample));
    return GST_FLOW_OK;
}

} // namespace

VideoFrameSink::VideoFrameSink(QObject* parent) : QObject(parent), m_mailbox(std::make_shared<Mailbox>())
{
    m_mailbox->receiver = this;
}

VideoFrameSink::~VideoFrameSink()
{
    const std::lock_guard lock(m_mailbox->mutex);
    m_mailbox->receiver = nullptr;
}

GstElement* VideoFrameSink::createVideoSink()
{
    GstElement* element = gst_element_factory_make("appsink", nullptr);
    if (!element)
        return nullptr;
    auto* sink = GST_APP_SINK(element);
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr);
    gst_app_sink_set_caps(sink, caps);
    gst_caps_unref(caps);
    g_object_set(element, "sync", TRUE, "enable-last-sample", FALSE, "max-buffers", 2u, "drop", TRUE,
                 nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = onSample;
    callbacks.new_preroll = onPreroll;
    // The sink keeps its own share of the mailbox, so a frame arriving after this object is gone is dropped.
    gst_app_sink_set_callbacks(sink, &callbacks, new std::shared_ptr<Mailbox>(m_mailbox),
                               [](gpointer data) { delete static_cast<std::shared_ptr<Mailbox>*>(data); });
    return element;
}

void VideoFrameSink::clear()
{
    {
        const std::lock_guard lock(m_mailbox->mutex);
        m_mailbox->latest = QImage();
    }
    m_frame = QImage();
    emit frameChanged();
}

void VideoFrameSink::deliver()
{
    {
        const std::lock_guard lock(m_mailbox->mutex);
        m_mailbox->deliveryPosted = false;
        if (m_mailbox->latest.isNull())
            return;
        m_frame = std::move(m_mailbox->latest);
        m_mailbox->latest = QImage();
    }
    emit frameChanged();
}
