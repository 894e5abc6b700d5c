#include "media_files.h"

#include <cstdlib>
#include <memory>
#include <random>

#include <QFile>
#include <QTemporaryDir>

#include <gst/gst.h>

void makeMedia(const QString& launchLine)
{
    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(launchLine.toUtf8().constData(), &error);
    if (!pipeline || error) {
        fprintf(stderr, "cannot make test media: %s\n", error ? error->message : "?");
        std::abort();
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(bus, 120 * GST_SECOND,
                                                 GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end)
        gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    if (!ok) {
        fprintf(stderr, "cannot make test media: %s\n", qPrintable(launchLine));
        std::abort();
    }
}

const MediaFiles& MediaFiles::get()
{
    static const auto folder = std::make_unique<QTemporaryDir>();
    static const MediaFiles files = [] {
        const QString dir = folder->path() + QLatin1Char('/');
        MediaFiles f{dir + "tone 2500.wav", dir + "tone 400.wav", dir + "picture 640.ogg",
                     dir + "picture 1024.ogg", dir + "garbage.wav", dir + "no such file.wav"};
        const QString tone = QStringLiteral("audiotestsrc num-buffers=%1 samplesperbuffer=441 ! "
                                            "audio/x-raw,rate=44100,channels=2 ! wavenc ! filesink location=\"%2\"");
        makeMedia(tone.arg(250).arg(f.wav2500ms));
        makeMedia(tone.arg(40).arg(f.wav400ms));
        const QString video = QStringLiteral("videotestsrc num-buffers=30 ! video/x-raw,width=%1,height=%2,"
                                             "framerate=10/1 ! theoraenc ! oggmux ! filesink location=\"%3\"");
        makeMedia(video.arg(640).arg(480).arg(f.video640));
        makeMedia(video.arg(1024).arg(576).arg(f.video1024));
        QFile garbage(f.garbage);
        garbage.open(QIODevice::WriteOnly);
        std::mt19937 random(4);
        QByteArray bytes(16384, Qt::Uninitialized);
        for (char& c : bytes)
            c = static_cast<char>(random());
        garbage.write(bytes);
        return f;
    }();
    return files;
}

QString audioSinkName(void* pipeline)
{
    GstElement* sink = nullptr;
    g_object_get(pipeline, "audio-sink", &sink, nullptr);
    if (!sink)
        return {};
    // An automatic sink is a bin around the sink it chose.
    while (GST_IS_BIN(sink) && GST_BIN_NUMCHILDREN(sink) > 0) {
        GstElement* child = GST_ELEMENT(gst_object_ref(GST_BIN_CHILDREN(sink)->data));
        gst_object_unref(sink);
        sink = child;
    }
    GstElementFactory* factory = gst_element_get_factory(sink);
    const QString name = factory ? QString::fromUtf8(GST_OBJECT_NAME(factory)) : QString();
    gst_object_unref(sink);
    return name;
}

bool pulseVariant()
{
    return qgetenv("BELVANE_MEDIA_OUTPUT") == "pulse";
}
