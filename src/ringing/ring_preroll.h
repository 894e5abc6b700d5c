#pragma once

#include <memory>
#include <optional>

#include <QObject>
#include <QTimer>

#include "ringing/alarm_schedule.h"

class Clock;
class PrerolledSound;

/// Makes the next alarm's sound ready a few seconds before its second, so that when the second comes
/// only the start of playing remains: the file its ringing would start with (see `firstRingingFile`)
/// is opened and prerolled on a pipeline of its own, its sound stream open on the sound server at
/// volume 0. Only the first alarm (in list order) of the next alarm second gets one.
///
/// The scheduler tells it the next occurrence whenever it arms its own timer; a single-shot timer is
/// armed for the moment the lead begins. Told of another occurrence (the alarm was switched off,
/// deleted or moved), it drops what it made; told of the same one within the lead (the list changed),
/// it reads the alarm's settings again and makes the sound again when it is now another file. A sound
/// that failed to preroll, or whose file went, is simply not handed over: the ringing then loads its
/// files as it would without one.
class RingPreroll : public QObject {
    Q_OBJECT
public:
    /// How long before its second an alarm's sound is made ready. A preroll takes tens of milliseconds,
    /// a few hundred on a busy machine: four seconds leave room for a machine ten times slower than
    /// that while holding a paused stream only briefly, and keep the window in which a change to the
    /// alarm means making it again short.
    static constexpr int kLeadSeconds = 4;

    /// `dataFolder`: the settings files; `programFolder`: the built-in sounds (both with a trailing
    /// separator).
    RingPreroll(const Clock& clock, QString dataFolder, QString programFolder, QObject* parent = nullptr);
    ~RingPreroll() override;

    /// The first occurrence of the next alarm second, told when its lead begins soon (before the
    /// scheduler wakes again); nothing when no alarm is that close. Arms the timer for the beginning
    /// of the lead, or for at once within it.
    void follow(const std::optional<Occurrence>& next);
    /// The sound made ready for this occurrence, handed over once; nothing for any other, and whatever
    /// was made for another goes.
    std::unique_ptr<PrerolledSound> take(const Occurrence& occurrence);
    /// Drops what was made and stops the timer.
    void clear();

    /// What is made ready now, for those who watch it.
    const PrerolledSound* sound() const { return m_sound.get(); }
    const QTimer& timer() const { return m_timer; }

private:
    void prepare();
    static bool sameOccurrence(const Occurrence& a, const Occurrence& b);

    const Clock& m_clock;
    QString m_dataFolder;
    QString m_programFolder;
    std::optional<Occurrence> m_next;
    std::unique_ptr<PrerolledSound> m_sound;
    Occurrence m_soundFor; // the occurrence `m_sound` was made for
    QTimer m_timer;
};
