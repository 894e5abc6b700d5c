#pragma once

#include <functional>

#include <QObject>
#include <QStringList>
#include <QTimer>

class AlarmDispatcher;
class AlarmListStore;
class Clock;

/// When each alarm rings next, as the list and the tray icon show it. Worked out again whenever the
/// scheduler has looked at the rows and the clock (a change of the list or the options, a wall clock
/// step, a resume, its own wake-ups), when a ringing starts, snoozes or ends, and at midnight, when
/// "明天" becomes "今天"; nothing polls.
class NextRingWatch : public QObject {
    Q_OBJECT
public:
    NextRingWatch(AlarmDispatcher& dispatcher, const AlarmListStore& store, Clock& clock);

    /// The "下次响铃" text of a row of the list; "—" for a row that will not ring again.
    QString rowText(int row) const { return row >= 0 && row < m_rowTexts.size() ? m_rowTexts[row] : QString(); }
    /// The tray icon's tooltip.
    const QString& hint() const { return m_hint; }
    const QTimer& midnightTimer() const { return m_midnight; }

    /// Whether the times read as 12-hour times ("7:00 AM"), as the face shows them; 24-hour without it.
    std::function<bool()> twelveHour;

    /// Works the texts out again; `changed` follows when any of them differs.
    void refresh();

signals:
    void changed();

private:
    void watchRinging();

    AlarmDispatcher& m_dispatcher;
    const AlarmListStore& m_store;
    Clock& m_clock;
    QStringList m_rowTexts;
    QString m_hint;
    QTimer m_midnight;
};
