// Both readers of an alarm's settings file on any bytes: each either raises a conversion error or
// gives settings that settle after one save: once the program has written them, reading and writing
// again gives the same settings. Two things a file cannot say again are let go: bytes that are no
// character (the first save drops or replaces them), and empty lines at the end of the reminder (the
// reminder is written without a line break after it, so each save ends it one empty line sooner).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "alarms/alarm_settings_file.h"
#include "platform/errors.h"

namespace {

AlarmSettings withoutTrailingEmptyLines(AlarmSettings s)
{
    while (!s.reminderText.isEmpty() && s.reminderText.last().isEmpty())
        s.reminderText.removeLast();
    return s;
}

void readBothWays(const QByteArray& bytes, SettingsReader reader)
{
    AlarmSettings first;
    try {
        ReadAlarmSettings(bytes, reader, first);
    } catch (const ConversionError&) {
        return;
    }
    AlarmSettings second, third;
    ReadAlarmSettings(WriteAlarmSettings(first), reader, second);
    const QByteArray written = WriteAlarmSettings(second);
    ReadAlarmSettings(written, reader, third);
    if (withoutTrailingEmptyLines(third) != withoutTrailingEmptyLines(second))
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    readBothWays(bytes, SettingsReader::Editor);
    readBothWays(bytes, SettingsReader::Ringing);
    return 0;
}
