// The reader of "al.ini" on any bytes: it either raises a conversion error or gives rows that save
// and load back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "alarms/alarm_list_file.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<AlarmEntry> rows;
    UsedAlarmNumbers used;
    try {
        LoadAlarmList(bytes, rows, used);
    } catch (const ConversionError&) {
        return 0;
    }
    QList<AlarmEntry> again;
    UsedAlarmNumbers usedAgain;
    LoadAlarmList(SaveAlarmList(rows), again, usedAgain);
    if (again != rows)
        abort();
    for (int n = 0; n < kAlarmNumberCount; ++n)
        if (used.isUsed(n) != usedAgain.isUsed(n))
            abort();
    return 0;
}
