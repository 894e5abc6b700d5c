#include "media/media_formats.h"

#include <cstring>

#include <gst/gst.h>

#include "media/gstreamer_init.h"
#include "platform/file_filter.h"

namespace {

bool startsWithAny(const char* name, std::initializer_list<const char*> prefixes)
{
    for (const char* prefix : prefixes)
        if (g_str_has_prefix(name, prefix))
            return true;
    return false;
}

/// Whether one of these decoding elements makes sound or pictures from the type: pictures alone
/// (image decoders), subtitles and network play lists (adaptive demuxers) are not what an alarm plays.
bool decodesAudioOrVideo(GList* factories)
{
    for (GList* l = factories; l; l = l->next) {
        const gchar* klass =
            gst_element_factory_get_metadata(GST_ELEMENT_FACTORY(l->data), GST_ELEMENT_METADATA_KLASS);
        if (klass && !strstr(klass, "Image") && !strstr(klass, "Subtitle") && !strstr(klass, "Adaptive"))
            return true;
    }
    return false;
}

void appendNew(QStringList& list, const QString& extension)
{
    if (!list.contains(extension))
        list.append(extension);
}

MediaExtensions askRegistry()
{
    initialiseGStreamer();
    MediaExtensions found;
    GList* decoders =
        gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODABLE, GST_RANK_MARGINAL);
    GList* finders = gst_type_find_factory_get_list();
    for (GList* l = finders; l; l = l->next) {
        GstTypeFindFactory* finder = GST_TYPE_FIND_FACTORY(l->data);
        const gchar* const* extensions = gst_type_find_factory_get_extensions(finder);
        GstCaps* caps = gst_type_find_factory_get_caps(finder);
        if (!extensions || !caps)
            continue;
        GList* able = gst_element_factory_list_filter(decoders, caps, GST_PAD_SINK, FALSE);
        bool audio = false, video = false, picture = false;
        for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
            const gchar* name = gst_structure_get_name(gst_caps_get_structure(caps, i));
            audio = audio || g_str_has_prefix(name, "audio/");
            video = video || g_str_has_prefix(name, "video/");
            picture = picture || startsWithAny(name, {"image/", "text/"});
        }
        // Containers (Ogg, MXF, 3GP) hold either; tags (ID3, APE) sit on audio files.
        if (!audio && !video) {
            const gchar* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
            audio = g_str_has_prefix(name, "application/x-") && strstr(name, "tag") != nullptr;
            audio = audio || g_str_equal(name, "application/x-id3") || g_str_equal(name, "application/x-ape");
            video = !audio;
        }
        if (able && !picture && decodesAudioOrVideo(able)) {
            for (int i = 0; extensions[i]; ++i) {
                const QString extension = QString::fromUtf8(extensions[i]).toLower();
                if (audio)
                    appendNew(found.audio, extension);
                if (video)
                    appendNew(found.video, extension);
                // Opus files are Ogg files; the Ogg type finder does not name them.
                if (extension == QLatin1String("ogg"))
                    appendNew(found.audio, QStringLiteral("opus"));
            }
        }
        gst_plugin_feature_list_free(able);
    }
    gst_plugin_feature_list_free(finders);
    gst_plugin_feature_list_free(decoders);
    found.audio.sort();
    found.video.sort();
    return found;
}

} // namespace

const MediaExtensions& decodableMediaExtensions()
{
    static const MediaExtensions found = askRegistry();
    return found;
}

QStringList mediaFileNameFilters()
{
    const MediaExtensions& found = decodableMediaExtensions();
    return mediaNameFilters(found.audio, found.video);
}
