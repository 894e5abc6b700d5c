#include <gtest/gtest.h>

#include "clockface/face_layout.h"

namespace {

// Every digit picture a different size, so a placement that takes the wrong picture's width or
// height shows up as a wrong position.
SkinPictureSizes unevenSizes() {
    SkinPictureSizes sizes;
    for (int d = 0; d < 10; ++d) {
        sizes.hourDigits[d] = QSize(10 + d, 30 + d);
        sizes.secondDigits[d] = QSize(5 + d, 12 + d);
    }
    sizes.am = QSize(15, 9);
    sizes.pm = QSize(16, 10);
    sizes.colonOn = QSize(6, 30);
    sizes.colonOff = QSize(7, 31);
    return sizes;
}

QTime at(int h, int m, int s, int ms = 0) {
    return QTime(h, m, s, ms);
}

} // namespace

TEST(FaceLayout, HourDigitsWithLeadingZeroIn12And24HourForm) {
    struct Case {
        int hour;
        bool military;
        int tens, units;
    };
    const Case cases[] = {
        {0, false, 0, 0}, // midnight stays 00, never 12
        {0, true, 0, 0},   {7, false, 0, 7},  {7, true, 0, 7},
        {11, false, 1, 1}, {12, false, 1, 2}, // noon stays 12
        {12, true, 1, 2},  {13, false, 0, 1}, {13, true, 1, 3},
        {23, false, 1, 1}, {23, true, 2, 3},
    };
    for (const Case& c : cases) {
        const FacePlacement face =
            placeFace(digitalSkinLayout(), unevenSizes(), at(c.hour, 0, 0), c.military);
        const std::string label =
            std::to_string(c.hour) + (c.military ? " in 24-hour form" : " in 12-hour form");
        EXPECT_EQ(face.hour1.picture, FacePicture::HourDigit) << label;
        EXPECT_EQ(face.hour1.digit, c.tens) << label;
        EXPECT_EQ(face.hour2.digit, c.units) << label;
    }
}

TEST(FaceLayout, MinutesAndSecondsUseTheRightDigitSets) {
    struct Case {
        SkinLayout layout;
        FacePicture secondSet;
    };
    for (const Case& c : {Case{digitalSkinLayout(), FacePicture::SecondDigit},
                          Case{santaClausSkinLayout(), FacePicture::HourDigit}}) {
        const FacePlacement face = placeFace(c.layout, unevenSizes(), at(4, 5, 9), false);
        EXPECT_EQ(face.min1.picture, FacePicture::HourDigit);
        EXPECT_EQ(face.min1.digit, 0);
        EXPECT_EQ(face.min2.digit, 5);
        EXPECT_EQ(face.sec1.picture, c.secondSet);
        EXPECT_EQ(face.sec2.picture, c.secondSet);
        EXPECT_EQ(face.sec1.digit, 0);
        EXPECT_EQ(face.sec2.digit, 9);
    }
}

TEST(FaceLayout, ColonsAreLitUpToMillisecond500Included) {
    struct Case {
        int ms;
        FacePicture colon;
    };
    for (Case c : {Case{0, FacePicture::ColonOn},
                   {499, FacePicture::ColonOn},
                   {500, FacePicture::ColonOn},
                   {501, FacePicture::ColonOff},
                   {999, FacePicture::ColonOff}}) {
        const FacePlacement face = placeFace(santaClausSkinLayout(), unevenSizes(), at(1, 2, 3, c.ms), true);
        EXPECT_EQ(face.colon1.picture, c.colon) << c.ms;
        EXPECT_EQ(face.colon2.picture, c.colon) << c.ms;
    }
}

TEST(FaceLayout, AmPmFollowsTheDayHourAndShowsOnlyIn12HourForm) {
    struct Case {
        int hour, minute;
        FacePicture picture;
    };
    for (Case c : {Case{0, 0, FacePicture::Am},
                   {11, 59, FacePicture::Am},
                   {12, 0, FacePicture::Pm},
                   {13, 5, FacePicture::Pm},
                   {23, 59, FacePicture::Pm}}) {
        for (bool military : {false, true}) {
            const FacePlacement face =
                placeFace(santaClausSkinLayout(), unevenSizes(), at(c.hour, c.minute, 0), military);
            EXPECT_EQ(face.amOrPm.picture, c.picture) << c.hour;
            EXPECT_EQ(face.amOrPm.visible, !military) << c.hour;
        }
    }
}

TEST(FaceLayout, DigitalPlacesSmallSecondsOnTheMinuteBaselineAndAmPmAboveThem) {
    // 13:47:28.600, 12-hour form: 01:47, seconds 28, PM.
    const FacePlacement face = placeFace(digitalSkinLayout(), unevenSizes(), at(13, 47, 28, 600), false);
    EXPECT_EQ(face.hour1.rect, QRect(3, 2, 10, 30));
    EXPECT_EQ(face.hour2.rect, QRect(13, 2, 11, 31));
    EXPECT_EQ(face.colon1.rect, QRect(24, 2, 7, 31)); // dark colon
    EXPECT_EQ(face.min1.rect, QRect(31, 2, 14, 34));
    EXPECT_EQ(face.min2.rect, QRect(45, 2, 17, 37));
    EXPECT_FALSE(face.colon2.visible);
    EXPECT_EQ(face.colon2.picture, FacePicture::None);
    // Top 2 + height of the "4" (34) - height of the small "2" (14); the "8" shares that top.
    EXPECT_EQ(face.sec1.rect, QRect(62, 22, 7, 14));
    EXPECT_EQ(face.sec2.rect, QRect(69, 22, 13, 20));
    EXPECT_EQ(face.amOrPm.rect, QRect(62, 2, 16, 10));
    EXPECT_TRUE(face.amOrPm.visible);
}

TEST(FaceLayout, SantaClausPlacesBothColonsAndAmPmAfterTheSeconds) {
    struct Case {
        bool military;
        int left;
    };
    // 05:09:31.200: the 24-hour row starts 7 pixels further right and hides AM/PM.
    for (Case c : {Case{false, 36}, Case{true, 43}}) {
        const FacePlacement face =
            placeFace(santaClausSkinLayout(), unevenSizes(), at(5, 9, 31, 200), c.military);
        int x = c.left;
        for (auto [placed, width] : {std::pair{&face.hour1, 10},
                                     {&face.hour2, 15},
                                     {&face.colon1, 6},
                                     {&face.min1, 10},
                                     {&face.min2, 19},
                                     {&face.colon2, 6},
                                     {&face.sec1, 13},
                                     {&face.sec2, 11}}) {
            EXPECT_EQ(placed->rect.topLeft(), QPoint(x, 181)) << c.military;
            EXPECT_EQ(placed->rect.width(), width) << c.military;
            EXPECT_TRUE(placed->visible);
            x += width;
        }
        EXPECT_EQ(face.amOrPm.rect, QRect(x + 2, 183, 15, 9)) << c.military;
        EXPECT_EQ(face.amOrPm.visible, !c.military);
    }
}

TEST(FaceLayout, StoredSkinNameSelectsSantaClausOnlyWhenExact) {
    EXPECT_EQ(skinLayoutFor("Santa Claus").digitTop, 181);
    for (const char* name : {"Digital", "santa claus", "SANTA CLAUS", "", "Santa Claus "})
        EXPECT_EQ(skinLayoutFor(name).digitTop, 2) << name;
}
