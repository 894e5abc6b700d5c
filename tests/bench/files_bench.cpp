#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "alarms/alarm_list_file.h"
#include "alarms/alarm_settings_file.h"
#include "platform/text_codec.h"

namespace {

QList<AlarmEntry> fullList()
{
    QList<AlarmEntry> rows;
    for (int n = 0; n < 256; ++n)
        rows.append(AlarmEntry{encodeText(QStringLiteral("第%1个闹钟：该起床了").arg(n)), encodeText(QStringLiteral("每天 ")),
                               "07:00:00 AM", "--", "070000", "07122026", "0111110", QByteArray::number(n)});
    return rows;
}

void LoadAlarmList256(benchmark::State& state)
{
    const QByteArray bytes = SaveAlarmList(fullList());
    for (auto _ : state) {
        QList<AlarmEntry> rows;
        UsedAlarmNumbers used;
        LoadAlarmList(bytes, rows, used);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(LoadAlarmList256);

void SaveAlarmList256ToDisk(benchmark::State& state)
{
    QTemporaryDir dir;
    AlarmListStore store(dir.path() + "/");
    store.rows = fullList();
    for (auto _ : state)
        store.save();
}
BENCHMARK(SaveAlarmList256ToDisk);

void LoadAlarmList256FromDisk(benchmark::State& state)
{
    QTemporaryDir dir;
    AlarmListStore store(dir.path() + "/");
    store.rows = fullList();
    store.save();
    for (auto _ : state)
        store.load();
}
BENCHMARK(LoadAlarmList256FromDisk);

void ReadSettings256Entries(benchmark::State& state)
{
    AlarmSettings s;
    for (int i = 0; i < 256; ++i)
        s.playList.append(QStringLiteral("/home/user/音乐/专辑/第%1首歌.mp3").arg(i));
    s.reminderText = {QStringLiteral("该起床了")};
    const QByteArray bytes = WriteAlarmSettings(s);
    for (auto _ : state) {
        AlarmSettings back;
        ReadAlarmSettings(bytes, SettingsReader::Ringing, back);
        benchmark::DoNotOptimize(back);
    }
}
BENCHMARK(ReadSettings256Entries);

} // namespace
