#pragma once

#include <QByteArray>
#include <QString>
#include <QTime>

#include "clockface/live_options.h"

/// The clock face's hour format as the options hold it. A file whose format line is neither "TRUE" nor
/// "FALSE" chooses neither, and the face then shows the 12-hour form.
enum class TimeFormat { Standard, Military, Neither };

/// Everything "Options.ini" holds. The member values are the dialog's initial values, which a reading
/// starts from: whatever a damaged file does not reach stays as here. `defaultOptions` gives the values
/// of a first run, when there is no file.
struct OptionsSettings {
    bool startup = false;
    bool systemTray = false;
    bool fullScreen = false;
    TimeFormat timeFormat = TimeFormat::Neither;
    ChimeOptions chime{QString(), false, false, false, false, QTime(8, 0), QTime(23, 0)};

    bool operator==(const OptionsSettings&) const = default;
};

/// The settings of a first run: start with the desktop, start in the tray, full-screen video, the 12-hour
/// face, and all three chimes with the cuckoo at any hour (range 8:00:00 to 22:00:00, not in force).
OptionsSettings defaultOptions(const QString& programFolder);

/// Reads the 17 lines of "Options.ini" into `settings`, in file order. A check-box line counts only when
/// it is exactly "TRUE". A range line that is not a decimal integer (a short file included) or a time
/// outside the day stops the reading with a ConversionError that names `fileName` and the line; the
/// settings read before it keep their new values.
void readOptions(const QByteArray& bytes, OptionsSettings& settings, const QString& fileName);

/// The 17 lines of "Options.ini", each ended by CR LF. Only the 12-hour choice writes "TRUE" on the
/// format line.
QByteArray writeOptions(const OptionsSettings& settings);

/// Reads "Options.ini" at `path` into `settings` when the file exists; false when it does not.
bool loadOptions(const QString& path, OptionsSettings& settings);
/// Replaces "Options.ini" at `path` as a whole.
void saveOptions(const QString& path, const OptionsSettings& settings);
