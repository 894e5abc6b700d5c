#include "ringing/ring_preroll.h"

#include <algorithm>
#include <limits>
#include <utility>

#include <QFileInfo>
#include <QPointer>

#include "media/prerolled_sound.h"
#include "platform/clock.h"
#include "ringing/alarm_run_window.h"
#include "ringing/ring_request.h"
#include "ringing/ringing_session.h"

RingPreroll::RingPreroll(const Clock& clock, QString dataFolder, QString programFolder, QObject* parent)
    : QObject(parent), m_clock(clock), m_dataFolder(std::move(dataFolder)),
      m_programFolder(std::move(programFolder))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RingPreroll::prepare);
}

RingPreroll::~RingPreroll() = default;

void RingPreroll::follow(const std::optional<Occurrence>& next)
{
    m_next = next;
    if (m_sound && !(next && sameOccurrence(*next, m_soundFor)))
        m_sound.reset();
    if (!next) {
        m_timer.stop();
        return;
    }
    const qint64 wait = next->due.toMSecsSinceEpoch() - qint64(kLeadSeconds) * 1000 - m_clock.epochMs();
    // Within the lead already (at a start, after a list change): from the event loop, at once.
    m_timer.start(int(std::clamp<qint64>(wait, 0, std::numeric_limits<int>::max())));
}

std::unique_ptr<PrerolledSound> RingPreroll::take(const Occurrence& occurrence)
{
    if (!m_sound || !sameOccurrence(occurrence, m_soundFor))
        return nullptr;
    return std::move(m_sound);
}

void RingPreroll::clear()
{
    m_timer.stop();
    m_next.reset();
    m_sound.reset();
}

void RingPreroll::prepare()
{
    if (!m_next)
        return;
    TAlarmRun::prepareFonts();
    // What the ringing window will read and play, read now: settings changed since the last time
    // (another sound, a file gone from the play list) give another file.
    RingRequest request;
    request.occurrence = *m_next;
    request.dataFolder = m_dataFolder;
    request.programFolder = m_programFolder;
    QString memo;
    const QString file = firstRingingFile(ringingSettings(request, memo), m_programFolder,
                                          [](const QString& path) { return QFileInfo(path).isFile(); });
    if (m_sound && m_sound->file() == file && m_sound->unchanged())
        return;
    m_sound.reset();
    if (file.isEmpty())
        return;
    // A video plays through the player's own surface, never from a preroll: one found at the head of
    // a play list is let go as soon as its streams are known (told in the framework's thread, so
    // handled here through the event loop; the sound may have been handed over and this object gone).
    m_sound = std::make_unique<PrerolledSound>(file, [self = QPointer<RingPreroll>(this)] {
        QMetaObject::invokeMethod(
            self.data(),
            [self] {
                if (self && self->m_sound && self->m_sound->holdsPicture())
                    self->m_sound.reset();
            },
            Qt::QueuedConnection);
    });
    m_soundFor = *m_next;
}

bool RingPreroll::sameOccurrence(const Occurrence& a, const Occurrence& b)
{
    return a.row.alarmNumber == b.row.alarmNumber && a.due == b.due;
}
