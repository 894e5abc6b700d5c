#pragma once

#include <QDateTime>

/// Every read of the local date and time goes through a Clock, so tests can set and advance it.
class Clock {
public:
    virtual ~Clock() = default;
    /// The local date and time, with milliseconds.
    virtual QDateTime now() const = 0;
};

/// The machine's local clock.
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
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
