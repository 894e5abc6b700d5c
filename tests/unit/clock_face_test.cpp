#include <gtest/gtest.h>

#include "clockface/face_change.h"
#include "clockface/face_layout.h"
#include "clockface/skin_choice.h"
#include "helpers/temp_folder.h"

TEST(SkinChoice, OnlyTheExactNamesSelectASkin)
{
    struct Case {
        const char* situation;
        QByteArray file; // empty: no file
        const char* skin;
    };
    const Case cases[] = {
        {"no file", {}, "Digital"},
        {"Santa Claus", "[Skin Name]\r\nSkin Name=Santa Claus\r\n", "Santa Claus"},
        {"bare line ends", "[Skin Name]\nSkin Name=Santa Claus\n", "Santa Claus"},
        {"letter case differs", "[Skin Name]\r\nSkin Name=santa claus\r\n", "Digital"},
        {"unknown skin", "[Skin Name]\r\nSkin Name=Wood\r\n", "Digital"},
        {"key in another section", "[Other]\r\nSkin Name=Santa Claus\r\n", "Digital"},
        {"other sections around it",
         "[A]\r\nx=1\r\n[Skin Name]\r\nSkin Name=Santa Claus\r\n[B]\r\nSkin Name=Digital\r\n", "Santa Claus"},
        {"not INI at all", "\xff\xfe garbage", "Digital"},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        if (!c.file.isEmpty())
            dir.write("skinname.ini", c.file);
        EXPECT_EQ(ReadSkinChoice(dir.path()), c.skin) << c.situation;
    }
}

TEST(SkinChoice, WrittenAsPlainIniAndReadBack)
{
    TempFolder dir;
    WriteSkinChoice(dir.path(), kSkinSantaClaus);
    EXPECT_EQ(dir.read("skinname.ini"), "[Skin Name]\r\nSkin Name=Santa Claus\r\n");
    EXPECT_EQ(ReadSkinChoice(dir.path()), kSkinSantaClaus);
}

TEST(FaceChange, WholeSecondsAndJustPastEachHalf)
{
    // The colon is lit up to and including millisecond 500: the face changes at 501, not at 500.
    const struct {
        qint64 at, next;
    } cases[] = {
        {1'765'000'000'000, 1'765'000'000'501}, // on a whole second
        {1'765'000'000'499, 1'765'000'000'501},
        {1'765'000'000'500, 1'765'000'000'501}, // the half itself still shows the colon lit
        {1'765'000'000'501, 1'765'000'001'000},
        {1'765'000'000'999, 1'765'000'001'000},
        {-1, 0}, // before the epoch: floor, not truncation
        {-500, -499},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextFaceChangeAfter(c.at), c.next) << c.at;
}

TEST(FaceTimeText, FollowsTheTwelveOrTwentyFourHourFaceRule)
{
    struct Case {
        QTime time;
        bool military;
        bool seconds;
        const char* text;
    };
    for (const Case& c :
         {Case{QTime(0, 7, 9), false, true, "00:07:09 AM"}, Case{QTime(12, 0, 0), false, true, "12:00:00 PM"},
          Case{QTime(13, 5, 0), false, false, "01:05 PM"}, Case{QTime(13, 5, 59), true, true, "13:05:59"},
          Case{QTime(0, 7, 9), true, false, "00:07"}, Case{QTime(23, 59, 0), false, false, "11:59 PM"}})
        EXPECT_EQ(faceTimeText(c.time, c.military, c.seconds), c.text) << c.time.toString().toStdString();
}
