#include <gtest/gtest.h>

#include "alarms/alarm_editor_rules.h"
#include "platform/file_filter.h"

TEST(AlarmEditorRules, PlayListPathsSplitAfterTheLastSeparator)
{
    for (auto [path, fileName, folder] :
         {std::tuple{"/home/u/音乐/早安.mp3", "早安.mp3", "/home/u/音乐/"},
          {"/clip.webm", "clip.webm", "/"},
          {"relative.mp3", "relative.mp3", ""},
          {"/music/a:b.mp3", "a:b.mp3", "/music/"}, // a colon is part of a name here
          {"/music/folder/", "", "/music/folder/"}}) {
        const PlayListEntry entry = splitPlayListPath(QString::fromUtf8(path));
        EXPECT_EQ(entry.fileName, QString::fromUtf8(fileName)) << path;
        EXPECT_EQ(entry.folder, QString::fromUtf8(folder)) << path;
        EXPECT_EQ(entry.path(), QString::fromUtf8(path));
    }
}

TEST(AlarmEditorRules, ExtensionsBecomeTheFourNameFilters)
{
    EXPECT_EQ(mediaNameFilters({"flac", "ogg", "wav"}, {"mkv", "ogg"}),
              (QStringList{"所有支持的文件 (*.flac *.ogg *.wav *.mkv)", "音频文件 (*.flac *.ogg *.wav)",
                           "视频文件 (*.mkv *.ogg)", "所有文件 (*)"}));
    EXPECT_EQ(mediaNameFilters({}, {}),
              (QStringList{"所有支持的文件 ()", "音频文件 ()", "视频文件 ()", "所有文件 (*)"}));
}

TEST(AlarmEditorRules, AlarmVolumeValues)
{
    for (auto [percent, value] : {std::pair{100, 0xFF00FF00u},
                                  {50, 0x7F007F00u},
                                  {40, 0x66006600u},
                                  {1, 0x02000200u},
                                  {0, 0u},
                                  {-5, 0u},
                                  {150, 0xFF00FF00u}})
        EXPECT_EQ(alarmVolumeValue(percent), value) << percent;
}
