// The reader of "Options.ini" on any bytes: it either raises a conversion error or gives settings
// that write and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "clockface/options_file.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    OptionsSettings settings;
    try {
        readOptions(bytes, settings, QStringLiteral("Options.ini"));
    } catch (const ConversionError&) {
        return 0;
    }
    OptionsSettings again;
    readOptions(writeOptions(settings), again, QStringLiteral("Options.ini"));
    // A format line that chose neither form is written back as the 24-hour form.
    if (settings.timeFormat == TimeFormat::Neither)
        settings.timeFormat = TimeFormat::Military;
    // The chime file is text: bytes that are no character do not come back as they were.
    again.chime.file = settings.chime.file;
    if (!(again == settings))
        abort();
    return 0;
}
