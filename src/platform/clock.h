#pragma once

#include <QDateTime>

/// Every read of the local date and time goes through a Clock, so tests can set and advance it.
class Clock {
public:
    virtual ~Clock() = default;
    /// The local date and time, with milliseconds.
    virtual QDateTime now() const = 0;
    /// Milliseconds since the epoch: cheap, with no time zone to look up, for ticks that only need
    /// to know where in its second they fall (local time zones differ from UTC by whole minutes).
    virtual qint64 epochMs() const { return now().toMSecsSinceEpoch(); }
};

/// The machine's local clock.
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 epochMs() const override { return QDateTime::currentMSecsSinceEpoch(); }
};

/// A clock that stands still until it is set or advanced by hand.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& t) { m_now = t; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }
    void advanceSeconds(qint64 s) { m_now = m_now.addSecs(s); }

private:
    QDateTime m_now;
};
