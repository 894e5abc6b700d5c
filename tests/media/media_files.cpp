#include "media_files.h"

#include <cstdlib>
#include <functional>
#include <memory>
#include <random>

#include <QFile>
#include <QSet>
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

namespace {

QString folder()
{
    static const QTemporaryDir dir;
    return dir.path() + QLatin1Char('/');
}

/// The file `name` in the folder, made by `make` the first time it is asked for.
QString made(const QString& name, const std::function<void(const QString&)>& make)
{
    static QSet<QString> done;
    const QString path = folder() + name;
    if (!done.contains(name)) {
        make(path);
        done.insert(name);
    }
    return path;
}

void makeTone(const QString& path, int buffersOf10ms)
{
    makeMedia(QStringLiteral("audiotestsrc num-buffers=%1 samplesperbuffer=441 ! audio/x-raw,rate=44100,"
                             "channels=2 ! wavenc ! filesink location=\"%2\"")
                  .arg(buffersOf10ms)
                  .arg(path));
}

void makeVideo(const QString& path, int width, int height)
{
    makeMedia(QStringLiteral("videotestsrc num-buffers=30 ! video/x-raw,width=%1,height=%2,framerate=10/1 ! "
                             "theoraenc ! oggmux ! filesink location=\"%3\"")
                  .arg(width)
                  .arg(height)
                  .arg(path));
}

} // namespace

const MediaFiles& MediaFiles::get()
{
    static const MediaFiles files;
    return files;
}

QString MediaFiles::wav2500ms() const
{
    return made(QStringLiteral("tone 2500.wav"), [](const QString& path) { makeTone(path, 250); });
}

QString MediaFiles::wav400ms() const
{
    return made(QStringLiteral("tone 400.wav"), [](const QString& path) { makeTone(path, 40); });
}

QString MediaFiles::video640() const
{
    return made(QStringLiteral("picture 640.ogg"), [](const QString& path) { makeVideo(path, 640, 480); });
}

QString MediaFiles::video1024() const
{
    return made(QStringLiteral("picture 1024.ogg"), [](const QString& path) { makeVideo(path, 1024, 576); });
}

QString MediaFiles::garbage() const
{
    return made(QStringLiteral("garbage.wav"), [](const QString& path) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        std::mt19937 random(4);
        QByteArray bytes(16384, Qt::Uninitialized);
        for (char& c : bytes)
            c = static_cast<char>(random());
        file.write(bytes);
    });
}

QString MediaFiles::missing() const
{
    return folder() + QStringLiteral("no such file.wav");
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

void hideSoundOutputs()
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse/native");
    qputenv("ALSA_CONFIG_PATH", "/dev/null");
}
