#include <benchmark/benchmark.h>

#include "alarms/alarm_display.h"
#include "ringing/alarm_occurrence.h"
#include "ringing/alarm_schedule.h"

namespace {

QList<AlarmEntry> fullList()
{
    QList<AlarmEntry> rows;
    for (int n = 0; n < 256; ++n)
        rows.append(makeAlarmEntry({"alarm", n % kFrequencyCount, QDate(2026, 12, 9), QTime(7, n % 60, 0), "0111110"}, n,
                                   RowOrigin::Add, DateTimeLocale::neutral()));
    return rows;
}

// The scheduler waking over a full list of 256 alarms with none due (its once-a-minute check): the
// kept next occurrences make it a comparison per row.
void SchedulerWake256(benchmark::State& state)
{
    const QList<AlarmEntry> rows = fullList();
    AlarmScheduler scheduler;
    QDateTime now = QDateTime::currentDateTime();
    scheduler.check(rows, now);
    for (auto _ : state) {
        now = now.addMSecs(1);
        benchmark::DoNotOptimize(scheduler.check(rows, now));
        benchmark::DoNotOptimize(scheduler.nextDue(rows));
    }
}
BENCHMARK(SchedulerWake256)->Unit(benchmark::kMicrosecond);

// Every row's next occurrence found afresh in the local time zone, as after the list is loaded.
void NextOccurrences256(benchmark::State& state)
{
    const QList<AlarmEntry> rows = fullList();
    const QDateTime now = QDateTime::currentDateTime();
    const QTimeZone zone = QTimeZone::systemTimeZone();
    for (auto _ : state)
        for (const AlarmEntry& row : rows)
            benchmark::DoNotOptimize(nextOccurrence(row, now, zone));
}
BENCHMARK(NextOccurrences256)->Unit(benchmark::kMicrosecond);

} // namespace
