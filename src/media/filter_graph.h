#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include <QObject>
#include <QSize>
#include <QString>

#include "media/play_position.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GError GError;

/// A component that brings an element of its own into the graphs it is bound to: the video surface
/// brings the sink that hands it the frames. The element is asked for at each activation, survives
/// `ResetGraph`, and goes with the graph at deactivation.
class GraphVideoOutput {
public:
    virtual ~GraphVideoOutput() = default;
    /// A new (floating) sink element for a graph being activated.
    virtual GstElement* createVideoSink() = 0;
};

/// The media graph of a player window: one media file at a time, played through a GStreamer playbin.
///
/// Inactive → `setActive(true)` → active and empty → `RenderMediaFile` → loaded (prerolled, paused at
/// the start) → `StartPlayback` → playing → `PausePlayback` / `StopPlayback` → paused or stopped,
/// position kept → `ResetGraph` → active and empty → `setActive(false)` → inactive.
///
/// Bound components (the position bar, the video surface) follow the graph through `controlEvent`.
/// Reaching the end of the file changes nothing by itself: the player windows find the end through the
/// position bar. Failures raise `EDirectShowException`. Everything runs on the thread that owns the
/// graph; messages from the framework's threads are drained there.
class TFilterGraph : public QObject {
    Q_OBJECT
public:
    enum class ControlEvent {
        Play = 0,
        Pause = 1,
        Stop = 2,
        AboutToRender = 3,
        Rendered = 4,
        /// Parameter 1: the graph was activated; 0: it is about to be deactivated.
        ActivationChanged = 7,
    };
    Q_ENUM(ControlEvent)

    /// How long `RenderMediaFile` waits for a file to become ready to play.
    static constexpr int kRenderTimeoutMs = 10000;
    /// How long `seekTo` waits for the new position to take hold.
    static constexpr int kSeekTimeoutMs = 2000;

    explicit TFilterGraph(QObject* parent = nullptr);
    ~TFilterGraph() override;

    bool Active() const { return m_pipeline != nullptr; }
    /// Creates the pipeline (true) or tears it down (false); no effect when already so.
    void setActive(bool active);

    /// `GraphVolume` and `GraphBalance` are on a linear scale, converted to decibels (default false).
    bool LinearVolume() const { return m_linearVolume; }
    void setLinearVolume(bool on) { m_linearVolume = on; }
    /// 0 (silent) to 10000 (full, the default); applied after each successful render.
    int GraphVolume() const { return m_volume; }
    void setGraphVolume(int volume);
    /// -10000 to 10000, default 0. Kept for the record only: the sound output has no balance control,
    /// and no player changes it.
    int GraphBalance() const { return m_balance; }
    void setGraphBalance(int balance);
    /// Playback speed, default 1.0; applied after each successful render.
    double GraphRate() const { return m_rate; }
    void setGraphRate(double rate);

    /// Tells `Play`, then plays. False without doing anything when inactive.
    bool StartPlayback();
    /// Tells `Pause`, then pauses; the position is kept.
    bool PausePlayback();
    /// Tells `Stop`, then stops; the position is kept, as after a pause.
    bool StopPlayback();
    /// When active: stops and unloads the file; the graph stays active and its video output stays bound.
    void ResetGraph();
    /// Loads `path` (always a local file name) and waits until it is ready to play or has failed.
    /// Returns 0 when loaded, 1 without doing anything when inactive; raises when the file is missing,
    /// damaged or not media, naming the file.
    long RenderMediaFile(const QString& path);
    /// Takes `pipeline`, a playbin that holds `path` prerolled elsewhere (paused at its start, its bus
    /// without a handler), in place of its own, with the caller's reference: the graph is then active
    /// and loaded as after `RenderMediaFile`, its volume and rate applied. The bound video output plays
    /// no part: a file with a picture is loaded by `RenderMediaFile`.
    void adoptLoaded(GstElement* pipeline, const QString& path);

    /// The loaded file's picture size in pixels; empty when it has no video or nothing is loaded.
    QSize videoSize() const { return m_videoSize; }
    /// The loaded file's duration in milliseconds; none when the framework cannot tell (inactive,
    /// nothing loaded, or not known yet).
    std::optional<std::int64_t> durationMs() const;
    /// The current position in milliseconds; none when inactive or nothing is loaded. When the framework
    /// cannot answer, or its clock has leapt away from the pipeline's time, the last position it knew,
    /// moved on by the time played since (`PlayPosition`): never the start of the file in its place.
    std::optional<std::int64_t> positionMs() const;
    /// Moves the current position and waits until it is taken; false when the framework refuses.
    bool seekTo(std::int64_t ms);

    /// Binds the component whose sink shows the video; nullptr plays the picture into nothing, in real
    /// time. Takes effect at the next activation.
    void setVideoOutput(GraphVideoOutput* output) { m_videoOutput = output; }

    /// The playbin while active, for measurements that look inside it; nullptr when inactive.
    GstElement* pipeline() const { return m_pipeline; }

signals:
    void controlEvent(TFilterGraph::ControlEvent event, int parameter);
    /// The file has played to its end.
    void endOfStream();
    /// Playing failed after the file was loaded (a decoding or output failure); the text as raised.
    void errorOccurred(const QString& text);

private:
    void watchBus();
    void drainBus();
    void applyAudioSettings();
    void readVideoSize();
    void waitForPreroll(const QString& path);
    void holdLoadedFile();
    bool changeState(int state, const QString& subject);
    bool clockKeepsPipelineTime() const;
    [[noreturn]] void raiseFromBus(const QString& subject, int waitMs);
    [[noreturn]] static void raiseError(const GError* error, const QString& subject);

    GstElement* m_pipeline = nullptr;
    GstBus* m_bus = nullptr;
    GraphVideoOutput* m_videoOutput = nullptr;
    std::atomic<bool> m_drainPosted{false};
    bool m_loaded = false;
    QString m_file;
    QSize m_videoSize;
    mutable PlayPosition m_position; // every position the framework answers is kept here
    bool m_linearVolume = false;
    int m_volume = 10000;
    int m_balance = 0;
    double m_rate = 1.0;
};
