#include <gtest/gtest.h>

#include "clockface/half_second_gate.h"
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
        {"other sections around it", "[A]\r\nx=1\r\n[Skin Name]\r\nSkin Name=Santa Claus\r\n[B]\r\nSkin Name=Digital\r\n",
         "Santa Claus"},
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

TEST(HalfSecondGate, DrawsOnceInEachHalfOfEverySecond)
{
    // 50 ms ticks that land anywhere in the second, and late ticks that skip a few steps.
    for (int offset : {0, 1, 17, 49}) {
        for (int step : {50, 60, 130}) {
            HalfSecondGate gate;
            QList<int> drawsPerSecond(20, 0);
            QList<int> firstHalf(20, 0);
            for (int t = offset; t < 20000; t += step) {
                const int ms = t % 1000;
                if (gate.shouldDraw(ms)) {
                    ++drawsPerSecond[t / 1000];
                    firstHalf[t / 1000] += ms < 500;
                }
            }
            for (int s = 1; s < 20; ++s) {
                EXPECT_EQ(drawsPerSecond[s], 2) << "offset " << offset << " step " << step << " second " << s;
                EXPECT_EQ(firstHalf[s], 1) << "offset " << offset << " step " << step << " second " << s;
            }
        }
    }
    HalfSecondGate gate;
    EXPECT_TRUE(gate.shouldDraw(0));
    EXPECT_FALSE(gate.shouldDraw(499));
    EXPECT_TRUE(gate.shouldDraw(500)); // the second half starts at 500 exactly
    EXPECT_FALSE(gate.shouldDraw(999));
}
