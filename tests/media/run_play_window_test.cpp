#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gst/gst.h>

#include "media/filter_graph.h"
#include "media/media_error.h"
#include "media/run_play_window.h"
#include "media/track_bar.h"
#include "media/video_window.h"
#include "media_test.h"

namespace {

class RunPlayTest : public MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        player = std::make_unique<TFormRunPlay>(settings);
        bar = player->findChild<TDSTrackBar*>(QStringLiteral("DSTrackBar"));
        ASSERT_NE(bar, nullptr);
        ticks = std::make_unique<QSignalSpy>(bar, &TDSTrackBar::OnTimer);
    }
    void play(const QString& file)
    {
        player->setMediaFile(file);
        player->ButtonPlayClick();
    }
    /// Waits for the player to become idle; the number of position ticks it took.
    qsizetype ticksUntilIdle()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return player->Idle(); }, 20000));
        return ticks->size();
    }

    FixedPlayerSettings settings;
    std::unique_ptr<TFormRunPlay> player;
    TDSTrackBar* bar = nullptr;
    std::unique_ptr<QSignalSpy> ticks;
};

TEST_F(RunPlayTest, PlaysAudioUnseenAndBecomesIdleAtTheSecondOrThirdTick)
{
    settings.setFullScreenVideo(true);
    QElapsedTimer clock;
    clock.start();
    play(files->wav2500ms());
    EXPECT_TRUE(player->Playing());
    EXPECT_FALSE(player->Idle());
    EXPECT_FALSE(player->isVisible());
    const auto count = ticksUntilIdle();
    EXPECT_GE(count, 2);
    EXPECT_LE(count, 3);
    EXPECT_GE(clock.elapsed(), 1900);
    EXPECT_FALSE(player->Playing());
    EXPECT_FALSE(player->isVisible());
    EXPECT_FALSE(player->VideoWindow().InFullScreen());
}

TEST_F(RunPlayTest, ASubSecondFileEndsAtTheFirstTick)
{
    play(files->wav400ms());
    EXPECT_EQ(ticksUntilIdle(), 1);
}

TEST_F(RunPlayTest, AFileThatCannotPlayRaisesAndLeavesThePlayerIdle)
{
    for (const QString& file : {files->missing(), files->garbage()}) {
        for (const bool whilePlaying : {false, true}) {
            if (whilePlaying)
                play(files->wav2500ms());
            try {
                play(file);
                ADD_FAILURE() << "no error for " << file.toStdString();
            } catch (const EDirectShowException& e) {
                EXPECT_TRUE(e.text().startsWith(file)) << e.text().toStdString();
            }
            EXPECT_TRUE(player->Idle());
            EXPECT_FALSE(player->Playing());
            EXPECT_FALSE(player->isVisible());
        }
    }
}

TEST_F(RunPlayTest, AFileThatFailsWhilePlayingLeavesThePlayerIdle)
{
    play(files->wav2500ms());
    GstElement* pipeline = player->FilterGraph().pipeline();
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, "Broken stream.");
    gst_element_post_message(pipeline, gst_message_new_error(GST_OBJECT(pipeline), error, nullptr));
    g_error_free(error);
    EXPECT_TRUE(QTest::qWaitFor([&] { return player->Idle(); }, 900)); // before the first tick
    EXPECT_FALSE(player->Playing());
}

TEST_F(RunPlayTest, TheInvisiblePlayButtonReportsAFailureInsteadOfThrowing)
{
    QSignalSpy failed(player.get(), &TFormRunPlay::playFailed);
    player->setMediaFile(files->missing());
    player->findChild<QPushButton*>(QStringLiteral("ButtonPlay"))->click();
    ASSERT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed.first().first().toString().contains("Resource not found."));
    EXPECT_TRUE(player->Idle());
}

TEST_F(RunPlayTest, AVideoOpensTheWindowAtItsSizeCentredAndGoesFullScreenOneTickLater)
{
    settings.setFullScreenVideo(true);
    play(files->video640());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(player->isVisible());
    EXPECT_EQ(player->size(), QSize(640, 480));
    EXPECT_EQ(player->frameGeometry().topLeft(),
              QPoint((screen.width() - player->frameGeometry().width()) / 2,
                     (screen.height() - player->frameGeometry().height()) / 2));
    EXPECT_TRUE(player->FullScreenPending());
    EXPECT_FALSE(player->VideoWindow().InFullScreen());

    ASSERT_TRUE(ticks->wait(2500));
    EXPECT_TRUE(player->VideoWindow().InFullScreen());
    EXPECT_FALSE(player->FullScreenPending());
    QWidget* full = player->VideoWindow().fullScreenWindow();
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(full->isVisible());
    EXPECT_EQ(full->geometry(), player->VideoWindow().screen()->geometry());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->VideoWindow().currentFrame().isNull(); }, 20000));
    EXPECT_EQ(player->VideoWindow().currentFrame().size(), QSize(640, 480));
    // The test picture's colour bars reach the screen: the middle of the full-screen window is not black.
    const QImage shown = full->grab().toImage();
    EXPECT_NE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::black));

    ticksUntilIdle();
    EXPECT_FALSE(player->VideoWindow().InFullScreen());
    EXPECT_FALSE(full->isVisible());
    EXPECT_FALSE(player->isVisible());
    EXPECT_FALSE(player->Playing());
}

TEST_F(RunPlayTest, AVideoOneThousandPixelsWideOrMorePlaysHidden)
{
    settings.setFullScreenVideo(true);
    play(files->video1024());
    EXPECT_TRUE(player->Playing());
    EXPECT_FALSE(player->isVisible());
    ASSERT_TRUE(ticks->wait(2500));
    EXPECT_FALSE(player->VideoWindow().InFullScreen());
    EXPECT_FALSE(player->isVisible());
    EXPECT_GE(ticksUntilIdle(), 3);
}

TEST_F(RunPlayTest, DoubleClickTogglesFullScreen)
{
    play(files->video640());
    ASSERT_TRUE(player->isVisible());
    QTest::mouseDClick(&player->VideoWindow(), Qt::LeftButton);
    ASSERT_TRUE(player->VideoWindow().InFullScreen());
    QTest::mouseDClick(player->VideoWindow().fullScreenWindow(), Qt::LeftButton);
    EXPECT_FALSE(player->VideoWindow().InFullScreen());
    EXPECT_TRUE(player->Playing());
}

TEST_F(RunPlayTest, TheCloseCommandStopsAtOnceHiddenOrShown)
{
    play(files->video640());
    EXPECT_TRUE(player->close()); // the user closes the video's window
    EXPECT_TRUE(player->Idle());
    EXPECT_FALSE(player->Playing());
    EXPECT_FALSE(bar->timerRunning()); // a closed player wakes nobody
    play(files->wav2500ms());
    player->FormClose();
    EXPECT_TRUE(player->Idle());
    EXPECT_FALSE(player->Playing());
    EXPECT_FALSE(player->isVisible());
    EXPECT_FALSE(bar->timerRunning());
    // A second play command after a close plays again.
    play(files->wav400ms());
    EXPECT_EQ(ticksUntilIdle(), 1);
}

} // namespace
