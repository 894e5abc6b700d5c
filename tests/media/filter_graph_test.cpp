#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <gst/check/gsttestclock.h>
#include <gst/gst.h>

#include "helpers/eventually.h"
#include "media/filter_graph.h"
#include "media/media_error.h"
#include "media/track_bar.h"
#include "media_test.h"

namespace {

using Event = TFilterGraph::ControlEvent;

class FilterGraphTest : public MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        graph.setLinearVolume(true);
        bar.setFilterGraph(&graph);
    }
    /// Plays `file` until the position bar finds the end (Position >= Max); returns the readings.
    QList<QList<QVariant>> playToEnd(const QString& file, qint64* elapsedMs)
    {
        graph.setActive(true);
        graph.RenderMediaFile(file);
        QSignalSpy ticks(&bar, &TDSTrackBar::OnTimer);
        QElapsedTimer clock;
        clock.start();
        graph.StartPlayback();
        while (ticks.size() < 6 && ticks.wait(20000)) {
            EXPECT_LE(ticks.last().at(0).toUInt(), clock.elapsed() + 50) << "played faster than real time";
            if (bar.Position() >= bar.Max())
                break;
        }
        *elapsedMs = clock.elapsed();
        return ticks;
    }

    TFilterGraph graph;
    TDSTrackBar bar;
};

TEST_F(FilterGraphTest, TellsItsListenersEachStep)
{
    QList<std::pair<Event, int>> events;
    QObject::connect(&graph, &TFilterGraph::controlEvent, [&](Event e, int p) { events.append({e, p}); });
    EXPECT_EQ(graph.RenderMediaFile(files->wav2500ms()), 1); // inactive: nothing happens
    EXPECT_FALSE(graph.StartPlayback());
    graph.setActive(true);
    EXPECT_EQ(graph.RenderMediaFile(files->wav2500ms()), 0);
    EXPECT_TRUE(graph.StartPlayback());
    EXPECT_TRUE(graph.PausePlayback());
    EXPECT_TRUE(graph.StopPlayback());
    graph.ResetGraph();
    graph.setActive(false);
    const QList<std::pair<Event, int>> expected{{Event::ActivationChanged, 1},
                                                {Event::AboutToRender, 0},
                                                {Event::Rendered, 0},
                                                {Event::Play, 0},
                                                {Event::Pause, 0},
                                                {Event::Stop, 0},
                                                {Event::Stop, 0},
                                                {Event::ActivationChanged, 0}};
    EXPECT_EQ(events, expected);
}

TEST_F(FilterGraphTest, PlaysIntoTheRunsSoundOutputAtTheMappedVolume)
{
    graph.setGraphVolume(1000);
    graph.setActive(true);
    graph.RenderMediaFile(files->wav2500ms());
    EXPECT_EQ(audioSinkName(graph.pipeline()), pulseVariant() ? "pulsesink" : "fakesink");
    double volume = -1;
    g_object_get(graph.pipeline(), "volume", &volume, nullptr);
    EXPECT_NEAR(volume, 0.0562, 0.0005); // -24.99 dB
    EXPECT_EQ(graph.durationMs(), 2500);
    EXPECT_TRUE(graph.videoSize().isEmpty());
}

TEST_F(FilterGraphTest, ReadsTheVideoSize)
{
    graph.setActive(true);
    graph.RenderMediaFile(files->video640());
    EXPECT_EQ(graph.videoSize(), QSize(640, 480));
    graph.RenderMediaFile(files->video1024());
    EXPECT_EQ(graph.videoSize(), QSize(1024, 576));
}

TEST_F(FilterGraphTest, FilesThatCannotPlayRaiseWithTheFrameworksTextAndTheName)
{
    QTcpServer web;
    ASSERT_TRUE(web.listen(QHostAddress::LocalHost));
    const QString url = QStringLiteral("http://127.0.0.1:%1/x.wav").arg(web.serverPort());
    const struct {
        QString path;
        QString text;
        QString code;
    } cases[] = {
        {files->missing(), "Resource not found.", "($80043"},
        {files->garbage(), "Could not determine type of stream.", "($80044"},
        {url, "Resource not found.", "($80043"}, // a local name that does not exist, never fetched
    };
    graph.setActive(true);
    for (const auto& c : cases) {
        try {
            graph.RenderMediaFile(c.path);
            ADD_FAILURE() << "no error for " << c.path.toStdString();
        } catch (const EDirectShowException& e) {
            EXPECT_TRUE(e.text().contains(c.text)) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(c.path.section(QLatin1Char('/'), -1))) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(c.code) && e.text().endsWith(").")) << e.text().toStdString();
        }
        EXPECT_TRUE(graph.Active());
    }
    // A fetch would have connected before the file could fail: the connection would wait to be taken.
    EXPECT_FALSE(web.hasPendingConnections() || web.waitForNewConnection(0)) << "the web address was fetched";
}

TEST_F(FilterGraphTest, TwoAndAHalfSecondsEndAtTheSecondOrThirdTickInRealTime)
{
    qint64 elapsed = 0;
    const auto ticks = playToEnd(files->wav2500ms(), &elapsed);
    ASSERT_GE(ticks.size(), 2);
    EXPECT_LE(ticks.size(), 3);
    EXPECT_EQ(bar.Max(), 2);
    EXPECT_EQ(bar.Position(), 2);
    EXPECT_EQ(ticks.last().at(1).toUInt(), 2500u);
    EXPECT_GE(elapsed, 1900); // the sound output keeps real time, also with no sound server
}

TEST_F(FilterGraphTest, AFileShorterThanASecondEndsAtTheFirstTick)
{
    qint64 elapsed = 0;
    const auto ticks = playToEnd(files->wav400ms(), &elapsed);
    ASSERT_EQ(ticks.size(), 1);
    EXPECT_EQ(bar.Max(), 0);
    EXPECT_EQ(bar.Position(), 0);
}

TEST_F(FilterGraphTest, PauseKeepsThePositionAndPlayResumesFromIt)
{
    graph.setActive(true);
    graph.RenderMediaFile(files->wav2500ms());
    QSignalSpy ticks(&bar, &TDSTrackBar::OnTimer);
    graph.StartPlayback();
    // Paused once it has played a while; on a busy machine the pipeline can take long to get going.
    ASSERT_EVENTUALLY(graph.positionMs().value_or(0) >= 800);
    graph.PausePlayback();
    EXPECT_FALSE(bar.timerRunning());
    const qint64 paused = graph.positionMs().value_or(-1);
    const qsizetype ticksWhenPaused = ticks.size();
    QTest::qWait(700); // real time has to pass for a position to stay put
    EXPECT_NEAR(graph.positionMs().value_or(-1), paused, 30);
    EXPECT_EQ(ticks.size(), ticksWhenPaused);
    graph.StartPlayback();
    // On from where it stood: every position until it has clearly gone on is at or past the pause,
    // none back at the start.
    qint64 lowest = paused;
    const auto goneOnPastThePause = [&] {
        const qint64 position = graph.positionMs().value_or(-1);
        lowest = std::min(lowest, position);
        return position > paused + 100;
    };
    EXPECT_EVENTUALLY(goneOnPastThePause());
    EXPECT_GE(lowest, paused - 30);
    ASSERT_TRUE(ticks.wait(20000));
    // Nor as if it had played on while paused.
    EXPECT_GT(ticks.last().at(0).toLongLong(), paused);
    EXPECT_LE(ticks.last().at(0).toLongLong(), paused + 1300);
}

TEST_F(FilterGraphTest, AClockLeapingAwayAsPlayResumesLeavesThePositionWhereItWas)
{
    // A sound server's clock can leap past half its range as playing resumes: the framework then
    // answers the start of the file while the sound goes on from where it was paused.
    graph.setActive(true);
    graph.RenderMediaFile(files->wav2500ms());
    graph.StartPlayback();
    ASSERT_EVENTUALLY(graph.positionMs().value_or(0) >= 300);
    graph.PausePlayback();
    const qint64 paused = graph.positionMs().value_or(-1);
    GstClock* clock = gst_test_clock_new_with_start_time(60 * GST_SECOND); // taken at the resume
    gst_pipeline_use_clock(GST_PIPELINE(graph.pipeline()), clock);
    QElapsedTimer sinceResume;
    sinceResume.start();
    graph.StartPlayback();
    gst_test_clock_set_time(GST_TEST_CLOCK(clock), (GstClockTime(1) << 63) + 60 * GST_SECOND);
    const qint64 position = graph.positionMs().value_or(-1);
    EXPECT_GE(position, paused);
    EXPECT_LE(position, paused + sinceResume.elapsed() + 1); // counted in whole milliseconds
    graph.setActive(false);
    gst_object_unref(clock);
}

TEST_F(FilterGraphTest, SeeksBackToTheStartAndToWhereTheBarIsDropped)
{
    graph.setActive(true);
    graph.RenderMediaFile(files->wav2500ms());
    QSignalSpy ticks(&bar, &TDSTrackBar::OnTimer);
    graph.StartPlayback();
    ASSERT_TRUE(ticks.wait(20000));
    graph.PausePlayback();
    bar.SeekToStart();
    EXPECT_LT(graph.positionMs().value_or(-1), 100);

    bar.resize(200, 25);
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(5, 12));
    EXPECT_TRUE(bar.Dragging());
    bar.setValue(1); // the user drags the bar to its middle
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(195, 12));
    EXPECT_FALSE(bar.Dragging());
    EXPECT_NEAR(graph.positionMs().value_or(-1), 1250, 100);
}

} // namespace
