#include "platform/output_volume.h"

#include <pulse/pulseaudio.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>

namespace {
constexpr int kWaitMs = 500;
}

quint32 pulseFromLevel(quint32 level16)
{
    return quint32((quint64(qMin<quint32>(level16, 0xFFFF)) * PA_VOLUME_NORM + 0x7FFF) / 0xFFFF);
}

quint32 levelFromPulse(quint32 pulse)
{
    return quint32(qMin<quint64>(0xFFFF, (quint64(pulse) * 0xFFFF + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM));
}

/// One connection to the server on its own thread (pa_threaded_mainloop); the calling thread waits
/// for each answer with a deadline.
class PulseOutputVolume::Connection {
public:
    Connection()
    {
        m_loop = pa_threaded_mainloop_new();
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Belvane");
        pa_context_set_state_callback(m_context, &Connection::signalLoop, m_loop);
        // Never start a server of our own: without one the program simply leaves the volume alone.
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return;
        pa_threaded_mainloop_start(m_loop);
        pa_threaded_mainloop_lock(m_loop);
        QDeadlineTimer deadline(kWaitMs);
        while (true) {
            const pa_context_state_t state = pa_context_get_state(m_context);
            if (state == PA_CONTEXT_READY) {
                m_ready = true;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state) || !waitLocked(deadline))
                break;
        }
        pa_threaded_mainloop_unlock(m_loop);
    }

    ~Connection()
    {
        pa_threaded_mainloop_stop(m_loop);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        pa_threaded_mainloop_free(m_loop);
    }

    bool healthy()
    {
        pa_threaded_mainloop_lock(m_loop);
        const bool good = m_ready && pa_context_get_state(m_context) == PA_CONTEXT_READY;
        pa_threaded_mainloop_unlock(m_loop);
        return good;
    }

    struct Sink {
        QByteArray name;
        pa_cvolume volume{};
        pa_channel_map map{};
        bool muted = false;
        bool found = false;
        pa_threaded_mainloop* loop = nullptr;
    };

    /// The default sink's name, volume, channel map and mute state.
    std::optional<Sink> defaultSink()
    {
        Sink sink;
        sink.loop = m_loop;
        pa_threaded_mainloop_lock(m_loop);
        QDeadlineTimer deadline(kWaitMs);
        pa_operation* op = pa_context_get_sink_info_by_name(m_context, "@DEFAULT_SINK@", &Connection::sinkInfo, &sink);
        const bool done = finish(op, deadline);
        pa_threaded_mainloop_unlock(m_loop);
        if (!done || !sink.found)
            return std::nullopt;
        return sink;
    }

    void setVolume(const Sink& sink, quint32 packed)
    {
        pa_cvolume volume = sink.volume;
        const pa_volume_t left = pulseFromLevel(packed & 0xFFFF);
        const pa_volume_t right = pulseFromLevel(packed >> 16);
        if (sink.map.channels == 1) {
            pa_cvolume_set(&volume, 1, (left + right) / 2);
        } else {
            for (unsigned c = 0; c < sink.map.channels; ++c) {
                const pa_channel_position_t p = sink.map.map[c];
                const bool isRight = p == PA_CHANNEL_POSITION_FRONT_RIGHT || p == PA_CHANNEL_POSITION_REAR_RIGHT ||
                                     p == PA_CHANNEL_POSITION_SIDE_RIGHT || p == PA_CHANNEL_POSITION_FRONT_RIGHT_OF_CENTER;
                const bool isLeft = p == PA_CHANNEL_POSITION_FRONT_LEFT || p == PA_CHANNEL_POSITION_REAR_LEFT ||
                                    p == PA_CHANNEL_POSITION_SIDE_LEFT || p == PA_CHANNEL_POSITION_FRONT_LEFT_OF_CENTER;
                volume.values[c] = isRight ? right : isLeft ? left : (left + right) / 2;
            }
        }
        run([&](pa_context* c) {
            return pa_context_set_sink_volume_by_name(c, sink.name.constData(), &volume, &Connection::success, m_loop);
        });
    }

    /// The server's cookie, read once per connection: a server restarted draws a new one.
    std::optional<quint32> cookie()
    {
        if (m_cookie)
            return m_cookie;
        struct Info {
            std::optional<quint32> cookie;
            pa_threaded_mainloop* loop;
        } info{std::nullopt, m_loop};
        pa_threaded_mainloop_lock(m_loop);
        QDeadlineTimer deadline(kWaitMs);
        pa_operation* op = pa_context_get_server_info(
            m_context,
            [](pa_context*, const pa_server_info* server, void* data) {
                auto* out = static_cast<Info*>(data);
                if (server)
                    out->cookie = server->cookie;
                pa_threaded_mainloop_signal(out->loop, 0);
            },
            &info);
        const bool done = finish(op, deadline);
        pa_threaded_mainloop_unlock(m_loop);
        if (done)
            m_cookie = info.cookie;
        return m_cookie;
    }

    void setMuted(const Sink& sink, bool muted)
    {
        run([&](pa_context* c) {
            return pa_context_set_sink_mute_by_name(c, sink.name.constData(), muted, &Connection::success, m_loop);
        });
    }

private:
    template <class Start>
    void run(Start start)
    {
        pa_threaded_mainloop_lock(m_loop);
        QDeadlineTimer deadline(kWaitMs);
        finish(start(m_context), deadline);
        pa_threaded_mainloop_unlock(m_loop);
    }

    // Waits, with the loop locked, until the operation is done or the deadline passes.
    bool finish(pa_operation* op, const QDeadlineTimer& deadline)
    {
        if (!op)
            return false;
        bool done = true;
        while (pa_operation_get_state(op) == PA_OPERATION_RUNNING) {
            if (!waitLocked(deadline)) {
                pa_operation_cancel(op);
                done = false;
                break;
            }
        }
        pa_operation_unref(op);
        return done;
    }

    // pa_threaded_mainloop_wait has no timeout: a short-lived helper wakes it at the deadline.
    bool waitLocked(const QDeadlineTimer& deadline)
    {
        if (deadline.hasExpired())
            return false;
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
        timeval tv;
        pa_timeval_add(pa_gettimeofday(&tv), pa_usec_t(qMax<qint64>(1, deadline.remainingTime())) * 1000);
        pa_time_event* wake = api->time_new(api, &tv, &Connection::timeUp, m_loop);
        pa_threaded_mainloop_wait(m_loop);
        api->time_free(wake);
        return !deadline.hasExpired();
    }

    static void signalLoop(pa_context*, void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); }
    static void success(pa_context*, int, void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); }
    static void timeUp(pa_mainloop_api*, pa_time_event*, const timeval*, void* loop)
    {
        pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
    }
    static void sinkInfo(pa_context*, const pa_sink_info* info, int eol, void* data)
    {
        auto* sink = static_cast<Sink*>(data);
        if (!eol && info) {
            sink->name = info->name;
            sink->volume = info->volume;
            sink->map = info->channel_map;
            sink->muted = info->mute;
            sink->found = true;
        }
        pa_threaded_mainloop_signal(sink->loop, 0);
    }

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    bool m_ready = false;
    std::optional<quint32> m_cookie;
};

PulseOutputVolume::PulseOutputVolume() = default;

PulseOutputVolume::~PulseOutputVolume()
{
    delete m_connection;
}

void PulseOutputVolume::release()
{
    delete m_connection;
    m_connection = nullptr;
}

PulseOutputVolume::Connection* PulseOutputVolume::connection()
{
    // A server that went away (or was never there) is looked for again at the next call.
    if (m_connection && !m_connection->healthy()) {
        delete m_connection;
        m_connection = nullptr;
    }
    if (!m_connection)
        m_connection = new Connection;
    return m_connection->healthy() ? m_connection : nullptr;
}

std::optional<DeviceVolume> PulseOutputVolume::read()
{
    Connection* c = connection();
    if (!c)
        return std::nullopt;
    const std::optional<Connection::Sink> sink = c->defaultSink();
    if (!sink)
        return std::nullopt;
    quint32 left = 0, right = 0;
    if (sink->map.channels == 1) {
        left = right = sink->volume.values[0];
    } else {
        left = pa_cvolume_get_position(&sink->volume, &sink->map, PA_CHANNEL_POSITION_FRONT_LEFT);
        right = pa_cvolume_get_position(&sink->volume, &sink->map, PA_CHANNEL_POSITION_FRONT_RIGHT);
    }
    return DeviceVolume{levelFromPulse(left) | (levelFromPulse(right) << 16), sink->muted};
}

void PulseOutputVolume::setVolume(quint32 packed)
{
    if (Connection* c = connection())
        if (const std::optional<Connection::Sink> sink = c->defaultSink())
            c->setVolume(*sink, packed);
}

void PulseOutputVolume::setMuted(bool muted)
{
    if (Connection* c = connection())
        if (const std::optional<Connection::Sink> sink = c->defaultSink())
            c->setMuted(*sink, muted);
}

quint64 PulseOutputVolume::server()
{
    static QElapsedTimer monotonic;
    if (!monotonic.isValid())
        monotonic.start();
    // Asked at every ringing tick: while no server answers a new connection is tried once a second,
    // not five times.
    const bool healthy = m_connection && m_connection->healthy();
    if (!healthy && m_lastMissedMs >= 0 && monotonic.elapsed() - m_lastMissedMs < 1000)
        return 0;
    Connection* c = connection();
    const std::optional<quint32> cookie = c ? c->cookie() : std::nullopt;
    if (!cookie) {
        m_lastMissedMs = monotonic.elapsed();
        return 0;
    }
    m_lastMissedMs = -1;
    // The high bit keeps a cookie of 0 apart from "no server".
    return (quint64(1) << 32) | *cookie;
}
