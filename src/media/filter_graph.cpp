#include "media/filter_graph.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>

#include <QMetaObject>

#include <gst/gst.h>
#include <gst/video/video.h>

#include "media/gstreamer_init.h"
#include "media/linear_volume.h"
#include "media/media_error.h"
#include "media/media_result_code.h"
#include "media/media_uri.h"

namespace {

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

/// The error a bus message carries; takes the message.
ErrorPtr takeError(GstMessage* message)
{
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    gst_message_unref(message);
    return ErrorPtr(error);
}

std::int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QString errorText(const GError* error)
{
    return error && error->message ? QString::fromUtf8(error->message)
                                   : QCoreApplication::translate("TFilterGraph", "媒体框架拒绝了这一操作。");
}

} // namespace

// GStreamer starts when the first pipeline is made, not with the program: a clock that never rings
// or chimes does not load it.
TFilterGraph::TFilterGraph(QObject* parent) : QObject(parent) {}

TFilterGraph::~TFilterGraph()
{
    setActive(false);
}

void TFilterGraph::setActive(bool active)
{
    if (active == Active())
        return;
    if (active) {
        initialiseGStreamer();
        m_pipeline = gst_element_factory_make("playbin", nullptr);
        if (!m_pipeline)
            return; // the framework's base plugins are part of the platform; without them nothing plays
        gst_object_ref_sink(m_pipeline);
        GstElement* videoSink = m_videoOutput ? m_videoOutput->createVideoSink() : nullptr;
        if (!videoSink) {
            // Without a surface the picture still runs at its own pace, so its end comes on time.
            videoSink = gst_element_factory_make("fakesink", nullptr);
            g_object_set(videoSink, "sync", TRUE, nullptr);
        }
        g_object_set(m_pipeline, "video-sink", videoSink, nullptr);
        watchBus();
        emit controlEvent(ControlEvent::ActivationChanged, 1);
    } else {
        emit controlEvent(ControlEvent::ActivationChanged, 0);
        // Going to NULL joins every streaming thread, so the sync handler is never called after this.
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
        gst_bus_set_sync_handler(m_bus, nullptr, nullptr, nullptr);
        gst_object_unref(m_bus);
        gst_object_unref(m_pipeline);
        m_bus = nullptr;
        m_pipeline = nullptr;
        m_loaded = false;
        m_file.clear();
        m_videoSize = QSize();
        m_position.forget();
    }
}

void TFilterGraph::watchBus()
{
    m_bus = gst_element_get_bus(m_pipeline);
    // The framework's threads only ask for a drain; the messages are read on this object's thread.
    gst_bus_set_sync_handler(
        m_bus,
        [](GstBus*, GstMessage*, gpointer data) {
            auto* self = static_cast<TFilterGraph*>(data);
            if (!self->m_drainPosted.exchange(true))
                QMetaObject::invokeMethod(self, &TFilterGraph::drainBus, Qt::QueuedConnection);
            return GST_BUS_PASS;
        },
        this, nullptr);
}

void TFilterGraph::setGraphVolume(int volume)
{
    m_volume = std::clamp(volume, ::LinearVolume::kMinVolume, ::LinearVolume::kMaxVolume);
}

void TFilterGraph::setGraphBalance(int balance)
{
    m_balance = std::clamp(balance, ::LinearVolume::kMinBalance, ::LinearVolume::kMaxBalance);
}

void TFilterGraph::setGraphRate(double rate)
{
    m_rate = rate > 0.0 ? rate : 1.0;
}

bool TFilterGraph::StartPlayback()
{
    if (!Active())
        return false;
    emit controlEvent(ControlEvent::Play, 0);
    if (m_loaded) {
        changeState(GST_STATE_PLAYING, m_file);
        m_position.play(steadyMs(), m_rate);
    }
    return true;
}

bool TFilterGraph::PausePlayback()
{
    if (!Active())
        return false;
    emit controlEvent(ControlEvent::Pause, 0);
    holdLoadedFile();
    return true;
}

bool TFilterGraph::StopPlayback()
{
    if (!Active())
        return false;
    emit controlEvent(ControlEvent::Stop, 0);
    // Stopping keeps the position, so a stopped file stays loaded and paused.
    holdLoadedFile();
    return true;
}

void TFilterGraph::holdLoadedFile()
{
    if (!m_loaded)
        return;
    changeState(GST_STATE_PAUSED, m_file);
    m_position.hold(steadyMs());
}

void TFilterGraph::ResetGraph()
{
    if (!Active())
        return;
    // Stopping on the way to empty cannot fail: whatever state the file was left in, it is dropped.
    emit controlEvent(ControlEvent::Stop, 0);
    gst_element_set_state(m_pipeline, GST_STATE_NULL); // also drops what is waiting on the bus
    m_loaded = false;
    m_file.clear();
    m_videoSize = QSize();
    m_position.forget();
}

long TFilterGraph::RenderMediaFile(const QString& path)
{
    if (!Active())
        return 1;
    emit controlEvent(ControlEvent::AboutToRender, 0);
    if (path.isEmpty())
        throw EDirectShowException(tr("没有指定媒体文件。"), MediaResult::kNoFileName);
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    m_loaded = false;
    m_videoSize = QSize();
    m_position.forget();
    g_object_set(m_pipeline, "uri", mediaFileUri(path).constData(), nullptr);
    m_file = path;
    m_loaded = true; // from here on the pipeline holds the file, also if it fails to become ready
    waitForPreroll(path);
    m_position.known(0, steadyMs());
    readVideoSize();
    applyAudioSettings();
    emit controlEvent(ControlEvent::Rendered, 0);
    return 0;
}

void TFilterGraph::adoptLoaded(GstElement* pipeline, const QString& path)
{
    setActive(false);
    m_pipeline = pipeline;
    watchBus();
    emit controlEvent(ControlEvent::ActivationChanged, 1);
    emit controlEvent(ControlEvent::AboutToRender, 0);
    m_file = path;
    m_loaded = true;
    readVideoSize();
    applyAudioSettings();
    emit controlEvent(ControlEvent::Rendered, 0);
}

std::optional<std::int64_t> TFilterGraph::durationMs() const
{
    gint64 ns = 0;
    if (!m_loaded || !gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &ns) || ns < 0)
        return std::nullopt;
    return ns / GST_MSECOND;
}

std::optional<std::int64_t> TFilterGraph::positionMs() const
{
    if (!m_loaded)
        return std::nullopt;
    const std::int64_t now = steadyMs();
    gint64 ns = 0;
    if (gst_element_query_position(m_pipeline, GST_FORMAT_TIME, &ns) && ns >= 0 && clockKeepsPipelineTime()) {
        m_position.known(ns / GST_MSECOND, now);
        return ns / GST_MSECOND;
    }
    return m_position.at(now, durationMs());
}

bool TFilterGraph::clockKeepsPipelineTime() const
{
    // The sinks count the position from the pipeline's base time on the pipeline's clock. A clock that
    // reads before that time (a sound server's clock that leapt past half its range) leaves them
    // answering the place playing last started from (the start, or the place last sought), and such a
    // clock stays where it leapt to until the file is loaded again.
    GstClock* clock = gst_element_get_clock(m_pipeline);
    if (!clock)
        return true; // not played yet: answered from the loaded position
    const GstClockTime now = gst_clock_get_time(clock);
    gst_object_unref(clock);
    return GST_CLOCK_DIFF(gst_element_get_base_time(m_pipeline), now) >= 0;
}

bool TFilterGraph::seekTo(std::int64_t ms)
{
    if (!m_loaded)
        return false;
    if (!gst_element_seek(m_pipeline, m_rate, GST_FORMAT_TIME,
                          GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
                          std::max<std::int64_t>(ms, 0) * GST_MSECOND, GST_SEEK_TYPE_NONE, -1))
        return false;
    // A seek completes when the output holds data from the new place again; until then the position
    // is unknown. Waiting (briefly) makes the new position readable at once.
    gst_element_get_state(m_pipeline, nullptr, nullptr, kSeekTimeoutMs * GST_MSECOND);
    m_position.known(std::max<std::int64_t>(ms, 0), steadyMs());
    return true;
}

void TFilterGraph::drainBus()
{
    m_drainPosted = false;
    while (m_bus) {
        GstMessage* message = gst_bus_pop(m_bus);
        if (!message)
            break;
        // A listener may deactivate the graph; the loop then ends as the bus is gone.
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            gst_message_unref(message);
            emit endOfStream();
            break;
        case GST_MESSAGE_ERROR: {
            const ErrorPtr error = takeError(message);
            emit errorOccurred(EDirectShowException::formatText(
                m_file.isEmpty() ? errorText(error.get())
                                 : QStringLiteral("%1: %2").arg(m_file, errorText(error.get())),
                MediaResult::fromError(error.get())));
            break;
        }
        default:
            gst_message_unref(message);
        }
    }
}

void TFilterGraph::applyAudioSettings()
{
    const int hundredthsDb = ::LinearVolume::platformVolume(m_volume, m_linearVolume);
    g_object_set(m_pipeline, "volume", ::LinearVolume::amplitudeOf(hundredthsDb), nullptr);
    if (m_rate != 1.0)
        seekTo(0);
}

void TFilterGraph::readVideoSize()
{
    GstPad* pad = nullptr;
    g_signal_emit_by_name(m_pipeline, "get-video-pad", 0, &pad);
    if (!pad)
        return;
    if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
        GstVideoInfo info;
        if (gst_video_info_from_caps(&info, caps))
            m_videoSize = QSize(GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
        gst_caps_unref(caps);
    }
    gst_object_unref(pad);
}

void TFilterGraph::waitForPreroll(const QString& path)
{
    const GstStateChangeReturn result = gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    if (result == GST_STATE_CHANGE_FAILURE)
        raiseFromBus(path, 1000);
    if (result != GST_STATE_CHANGE_ASYNC)
        return;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kRenderTimeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
        GstMessage* message =
            gst_bus_timed_pop_filtered(m_bus, std::max<std::int64_t>(left.count(), 0),
                                       GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE));
        if (!message)
            throw EDirectShowException(tr("文件\"%1\"没能准备好播放。").arg(path), MediaResult::kTimedOut);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
            raiseError(takeError(message).get(), path);
        const bool done = GST_MESSAGE_SRC(message) == GST_OBJECT(m_pipeline);
        gst_message_unref(message);
        if (done)
            return;
    }
}

bool TFilterGraph::changeState(int state, const QString& subject)
{
    if (gst_element_set_state(m_pipeline, GstState(state)) == GST_STATE_CHANGE_FAILURE)
        raiseFromBus(subject, 1000);
    return true;
}

void TFilterGraph::raiseFromBus(const QString& subject, int waitMs)
{
    GstMessage* message =
        gst_bus_timed_pop_filtered(m_bus, GstClockTime(waitMs) * GST_MSECOND, GST_MESSAGE_ERROR);
    raiseError(message ? takeError(message).get() : nullptr, subject);
}

void TFilterGraph::raiseError(const GError* error, const QString& subject)
{
    const QString text = errorText(error);
    throw EDirectShowException(subject.isEmpty() ? text : QStringLiteral("%1: %2").arg(subject, text),
                               MediaResult::fromError(error));
}
