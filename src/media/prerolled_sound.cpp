#include "media/prerolled_sound.h"

#include <sys/stat.h>

#include <utility>

#include <QFile>

#include <gst/gst.h>

#include "media/gstreamer_init.h"
#include "media/media_uri.h"

PrerolledSound::PrerolledSound(const QString& path, std::function<void()> streamsFound)
    : m_file(path), m_streamsFound(std::move(streamsFound))
{
    initialiseGStreamer();
    m_identity = identityOnDisk();
    if (m_identity.size < 0)
        return; // nothing there to open
    // The stream is opened on the sound server now and kept there paused. Without a server (or its
    // plugin) nothing is made ready: the player then finds an output as it always does.
    GstElement* audioSink = gst_element_factory_make("pulsesink", nullptr);
    m_pipeline = audioSink ? gst_element_factory_make("playbin", nullptr) : nullptr;
    if (!m_pipeline) {
        if (audioSink)
            gst_object_unref(gst_object_ref_sink(audioSink));
        return;
    }
    gst_object_ref_sink(m_pipeline);
    // The server's clock for a stream opened paused runs on while the stream waits; a sink that kept
    // to it would place the first samples as far into the stream as the wait was long, and they would
    // be heard that much late. Unsynced, the samples go out as the server takes them: for sound alone,
    // the same pace.
    g_object_set(audioSink, "sync", FALSE, nullptr);
    // A picture would only be noticed here, never shown: a file with one is left to the player.
    GstElement* videoSink = gst_element_factory_make("fakesink", nullptr);
    // Silent until the player sets the volume as it starts playing.
    g_object_set(m_pipeline, "uri", mediaFileUri(path).constData(), "video-sink", videoSink, "audio-sink",
                 audioSink, "volume", 0.0, nullptr);
    // A picture found while the file is opened: the owner lets go of it, before it is decoded further.
    if (m_streamsFound)
        g_signal_connect(m_pipeline, "video-changed", G_CALLBACK(+[](GstElement*, gpointer self) {
                             static_cast<PrerolledSound*>(self)->m_streamsFound();
                         }),
                         this);
    // Returns once the streaming threads run; they open the file, the decoder and the sound stream.
    gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
}

PrerolledSound::~PrerolledSound()
{
    if (!m_pipeline)
        return;
    // Going to NULL joins the streaming threads and closes the sound stream.
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    gst_object_unref(m_pipeline);
}

bool PrerolledSound::ready() const
{
    if (!m_pipeline)
        return false;
    GstState state = GST_STATE_VOID_PENDING;
    // Asked without waiting: a preroll still running, or one that failed, is not ready.
    if (gst_element_get_state(m_pipeline, &state, nullptr, 0) != GST_STATE_CHANGE_SUCCESS ||
        state != GST_STATE_PAUSED)
        return false;
    gint audio = 0;
    gint video = 0;
    g_object_get(m_pipeline, "n-audio", &audio, "n-video", &video, nullptr);
    return audio > 0 && video == 0 && unchanged();
}

bool PrerolledSound::holdsPicture() const
{
    gint video = 0;
    if (m_pipeline)
        g_object_get(m_pipeline, "n-video", &video, nullptr);
    return video > 0;
}

bool PrerolledSound::unchanged() const
{
    return m_identity.size >= 0 && identityOnDisk() == m_identity;
}

GstElement* PrerolledSound::take()
{
    if (!ready())
        return nullptr;
    // A failure after the preroll (the sound server went away) is on the bus: such a stream never plays.
    GstBus* bus = gst_element_get_bus(m_pipeline);
    GstMessage* error = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    gst_object_unref(bus);
    if (error) {
        gst_message_unref(error);
        return nullptr;
    }
    // The player owns it from here, and outlives this object.
    g_signal_handlers_disconnect_by_data(m_pipeline, this);
    return std::exchange(m_pipeline, nullptr);
}

PrerolledSound::Identity PrerolledSound::identityOnDisk() const
{
    struct stat status {};
    if (::stat(QFile::encodeName(m_file).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}
