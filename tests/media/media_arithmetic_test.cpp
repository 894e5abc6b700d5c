#include <gtest/gtest.h>

#include <optional>

#include <QDir>
#include <QUrl>

#include "media/letter_box.h"
#include "media/linear_volume.h"
#include "media/media_error.h"
#include "media/media_uri.h"
#include "media/play_position.h"

namespace {

struct VolumeCase {
    int volume;
    bool linear;
    int hundredthsDb;
};

void PrintTo(const VolumeCase& c, std::ostream* out)
{
    *out << (c.linear ? "linear " : "direct ") << c.volume;
}

class VolumeMapping : public ::testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeMapping, GivesHundredthsOfADecibel)
{
    EXPECT_EQ(LinearVolume::platformVolume(GetParam().volume, GetParam().linear), GetParam().hundredthsDb);
}

INSTANTIATE_TEST_SUITE_P(Cases, VolumeMapping,
                         ::testing::Values(VolumeCase{10000, true, 0}, VolumeCase{1000, true, -2499},
                                           VolumeCase{100, true, -4989}, VolumeCase{0, true, -10000},
                                           VolumeCase{25000, true, 0}, VolumeCase{-7, true, -10000},
                                           VolumeCase{10000, false, 0}, VolumeCase{1000, false, -9000},
                                           VolumeCase{-7, false, -10000}),
                         [](const ::testing::TestParamInfo<VolumeCase>& row) {
                             const int v = row.param.volume;
                             return std::string(row.param.linear ? "linear_" : "direct_") +
                                    (v < 0 ? "minus" : "") + std::to_string(v < 0 ? -v : v);
                         });

TEST(LinearBalance, IsAttenuationSignedAgainstTheBalance)
{
    EXPECT_EQ(LinearVolume::platformBalance(0, true), 0);
    EXPECT_EQ(LinearVolume::platformBalance(1000, true), -7501);
    EXPECT_EQ(LinearVolume::platformBalance(-1000, true), 7501);
    EXPECT_EQ(LinearVolume::platformBalance(-30000, true), 10000);
    EXPECT_EQ(LinearVolume::platformBalance(-30000, false), -10000);
}

TEST(LinearVolume, RoundsHalfToEven)
{
    EXPECT_EQ(LinearVolume::roundHalfEven(2.5), 2);
    EXPECT_EQ(LinearVolume::roundHalfEven(3.5), 4);
    EXPECT_EQ(LinearVolume::roundHalfEven(-2.5), -2);
    EXPECT_EQ(LinearVolume::roundHalfEven(7500.6), 7501);
}

TEST(LinearVolume, AttenuationBecomesAmplitude)
{
    EXPECT_DOUBLE_EQ(LinearVolume::amplitudeOf(0), 1.0);
    EXPECT_DOUBLE_EQ(LinearVolume::amplitudeOf(-2000), 0.1);
    EXPECT_NEAR(LinearVolume::amplitudeOf(-2499), 0.0562, 0.0001);
    EXPECT_EQ(LinearVolume::amplitudeOf(-10000), 0.0); // silence is silent, not 100 dB down
    EXPECT_DOUBLE_EQ(LinearVolume::amplitudeOf(600), 1.0);
}

TEST(MediaFileUri, IsAlwaysALocalFile)
{
    const QString cwd = QDir::currentPath();
    const struct {
        QString path;
        QByteArray uri;
    } cases[] = {
        {"http://host/x.mp3", "file://" + QUrl::toPercentEncoding(cwd, "/") + "/http:/host/x.mp3"},
        {"/music/a b#1%.wav", "file:///music/a%20b%231%25.wav"},
        {"/音乐/闹铃.mp3", "file:///%E9%9F%B3%E4%B9%90/%E9%97%B9%E9%93%83.mp3"},
        {"x.wav", "file://" + QUrl::toPercentEncoding(cwd, "/") + "/x.wav"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mediaFileUri(c.path), c.uri) << c.path.toStdString();
}

TEST(LetterBox, KeepsProportionsCentred)
{
    EXPECT_EQ(letterBoxRect({640, 480}, {0, 0, 640, 480}), QRect(0, 0, 640, 480));
    EXPECT_EQ(letterBoxRect({640, 480}, {0, 0, 1280, 1024}), QRect(0, 32, 1280, 960));
    EXPECT_EQ(letterBoxRect({1024, 576}, {0, 0, 292, 225}), QRect(0, 30, 292, 164));
    EXPECT_EQ(letterBoxRect({100, 400}, {10, 10, 300, 200}), QRect(135, 10, 50, 200));
    EXPECT_TRUE(letterBoxRect({0, 0}, {0, 0, 300, 200}).isEmpty());
}

TEST(MediaError, ShowsTheFrameworkTextAndTheCode)
{
    const EDirectShowException error(QStringLiteral("Resource not found."), 0x80043003u);
    EXPECT_EQ(error.text(), QStringLiteral("Resource not found. ($80043003)."));
    EXPECT_EQ(error.resultCode(), 0x80043003u);
}

TEST(PlayPosition, MovesOnOnlyWhilePlayingAndFromWhereItWasHeld)
{
    PlayPosition position;
    EXPECT_EQ(position.at(500, 2500), std::nullopt); // nothing known: no position at all, not the start
    position.known(0, 0);
    position.play(900, 1.0);
    EXPECT_EQ(position.at(1500, 2500), 600); // counted from the play, not from the loading
    position.known(804, 1600);
    position.hold(1610);
    EXPECT_EQ(position.at(2300, 2500), 814); // held at the pause
    position.play(2310, 2.0);
    EXPECT_EQ(position.at(2410, 2500), 1014); // on from the pause at the playing rate, the pause not counted
    EXPECT_EQ(position.at(9000, 2500), 2500); // never past the end
}

} // namespace
