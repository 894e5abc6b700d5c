#include "media/media_formats.h"

#include <gtest/gtest.h>

// What the installed GStreamer decodes is asked of its registry: the formats people keep their music
// and videos in are offered, and files it opens without making sound or pictures are not.
TEST(MediaFormats, TheRegistryOffersMusicAndVideoButNotPicturesSubtitlesOrStreams)
{
    const MediaExtensions& found = decodableMediaExtensions();
    for (const char* audio : {"mp3", "wav", "ogg", "oga", "opus", "flac", "m4a"})
        EXPECT_TRUE(found.audio.contains(audio)) << audio;
    for (const char* video : {"mp4", "webm", "mkv", "avi", "ogv"})
        EXPECT_TRUE(found.video.contains(video)) << video;
    for (const char* other : {"png", "jpg", "srt", "txt", "m3u8", "mpd", "zip", "pdf"})
        EXPECT_FALSE(found.audio.contains(other) || found.video.contains(other)) << other;
    EXPECT_FALSE(found.audio.contains("mp4")) << "an MP4 file is offered as video";
    EXPECT_FALSE(found.video.contains("flac")) << "a FLAC file is offered as audio";
}
