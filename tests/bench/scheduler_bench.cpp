#include <benchmark/benchmark.h>

#include "alarms/alarm_display.h"
#include "ringing/alarm_schedule.h"

namespace {

// One scheduler tick over a full list of 256 alarms, none due: the common case, five times a second.
void SchedulerTick256(benchmark::State& state)
{
    QList<AlarmEntry> rows;
    for (int n = 0; n < 256; ++n)
        rows.append(makeAlarmEntry({"alarm", n % kFrequencyCount, QDate(2026, 12, 9), QTime(7, n % 60, 0), "0111110"}, n,
                                   RowOrigin::Add, DateTimeLocale::neutral()));
    AlarmScheduler scheduler;
    const bool ringing = false;
    int rings = 0;
    for (auto _ : state)
        scheduler.tick(rows, [] { return QDateTime::currentDateTime(); }, ringing, [&](int) { ++rings; });
    benchmark::DoNotOptimize(rings);
}
BENCHMARK(SchedulerTick256)->Unit(benchmark::kMicrosecond);

} // namespace
