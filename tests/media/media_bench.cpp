// Figures for the media graph, printed by Google Benchmark:
//   play_command_to_first_audio_buffer: from the play command to the first buffer of a short WAV at
//     the sound output's sink, and to that sink playing;
//   video_640x480_cpu: the process's CPU time over wall time while a 10 s, 640x480, 25 frames a second
//     video of moving colour bars plays in the ringing player's window (full_screen:1 after the first
//     second full screen), and how many times the picture was painted.
// Run: build-dir/tests/media/media_bench, with or without a sound server and with any QT_QPA_PLATFORM
// (offscreen by default; xcb with DISPLAY set paints to a real X server).
#include <atomic>
#include <chrono>

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gst/app/gstappsink.h>
#include <gst/base/gstbasesink.h>
#include <gst/gst.h>

#include "media/filter_graph.h"
#include "media/player_settings.h"
#include "media/run_play_window.h"
#include "media/video_window.h"
#include "media_files.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

std::atomic<SteadyClock::rep> g_firstBuffer{0};

GstPadProbeReturn onFirstBuffer(GstPad*, GstPadProbeInfo*, gpointer)
{
    SteadyClock::rep none = 0;
    g_firstBuffer.compare_exchange_strong(none, SteadyClock::now().time_since_epoch().count());
    return GST_PAD_PROBE_REMOVE;
}

/// Watches for the element that takes the sound, as the graph builds it, and marks its first buffer.
void watchAudioSink(GstBin*, GstBin*, GstElement* element, gpointer)
{
    // The video window's frame sink is the graph's only other sink.
    if (!GST_IS_BASE_SINK(element) || GST_IS_APP_SINK(element))
        return;
    if (GstPad* pad = gst_element_get_static_pad(element, "sink")) {
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, onFirstBuffer, nullptr, nullptr);
        gst_object_unref(pad);
    }
}

double msSince(SteadyClock::time_point start, SteadyClock::rep then)
{
    return std::chrono::duration<double, std::milli>(SteadyClock::duration(then) - start.time_since_epoch())
        .count();
}

void play_command_to_first_audio_buffer(benchmark::State& state)
{
    FixedPlayerSettings settings;
    TFormRunPlay player(settings);
    QObject::connect(&player.FilterGraph(), &TFilterGraph::controlEvent,
                     [&](TFilterGraph::ControlEvent e, int) {
                         if (e == TFilterGraph::ControlEvent::AboutToRender)
                             g_signal_connect(player.FilterGraph().pipeline(), "deep-element-added",
                                              G_CALLBACK(watchAudioSink), nullptr);
                     });
    player.setMediaFile(MediaFiles::get().wav400ms());
    double toBuffer = 0, toPlaying = 0;
    for (auto _ : state) {
        g_firstBuffer = 0;
        const auto start = SteadyClock::now();
        player.ButtonPlayClick();
        gst_element_get_state(player.FilterGraph().pipeline(), nullptr, nullptr, 2 * GST_SECOND);
        const auto playing = SteadyClock::now();
        state.SetIterationTime(std::chrono::duration<double>(playing - start).count());
        toBuffer += msSince(start, g_firstBuffer.load());
        toPlaying += std::chrono::duration<double, std::milli>(playing - start).count();
        player.close();
    }
    state.counters["to_first_buffer_ms"] = toBuffer / double(state.iterations());
    state.counters["to_sink_playing_ms"] = toPlaying / double(state.iterations());
}
BENCHMARK(play_command_to_first_audio_buffer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

/// Counts the paints of the widgets it watches.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(int& count) : m_count(count) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_count;
        return false;
    }

private:
    int& m_count;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void video_640x480_cpu(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString video = folder.filePath(QStringLiteral("bench 640.ogg"));
    makeMedia(
        QStringLiteral("videotestsrc num-buffers=250 horizontal-speed=8 ! video/x-raw,width=640,height=480,"
                       "framerate=25/1 ! theoraenc ! oggmux ! filesink location=\"%1\"")
            .arg(video));
    FixedPlayerSettings settings(state.range(0) != 0);
    TFormRunPlay player(settings);
    player.setMediaFile(video);
    int paints = 0;
    PaintCounter counter(paints);
    player.VideoWindow().installEventFilter(&counter);
    QObject::connect(&player.FilterGraph(), &TFilterGraph::controlEvent,
                     [&](TFilterGraph::ControlEvent e, int) {
                         if (e == TFilterGraph::ControlEvent::Play)
                             QTimer::singleShot(1500, [&] {
                                 if (QWidget* full = player.VideoWindow().fullScreenWindow())
                                     full->installEventFilter(&counter);
                             });
                     });
    for (auto _ : state) {
        const double cpuStart = cpuSeconds();
        const auto start = SteadyClock::now();
        player.ButtonPlayClick();
        if (!QTest::qWaitFor([&] { return player.Idle(); }, 20000))
            state.SkipWithError("the video did not end");
        const double wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
        state.SetIterationTime(wall);
        state.counters["cpu_percent_of_one_core"] = 100.0 * (cpuSeconds() - cpuStart) / wall;
        state.counters["frames_painted"] = paints;
    }
}
BENCHMARK(video_640x480_cpu)
    ->ArgName("full_screen")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
