#pragma once

#include <array>

#include <QByteArray>
#include <QString>
#include <QStringList>

constexpr int kMaxPlayListEntries = 256;

/// Closing methods of the ringing window, as the ringing reader numbers them.
enum class ClosingMethod { None = 0, Never = 1, WhenFinished = 2, AfterMinutes = 3 };

/// The full settings of one alarm, as stored in its settings file and in "alarm.ini".
struct AlarmSettings {
    int frequencyIndex = 0;
    int hour = 0, minute = 0, second = 0;
    int year = 0, month = 0, day = 0;
    std::array<bool, 7> weekdays{}; // Sunday first
    bool playMusic = false;
    QStringList playList; // full paths: folder with its trailing separator, then the file name
    bool playSound = false;
    int soundIndex = 0;
    int soundMinutes = 0;
    bool fadeIn = false;
    int fadeInMinutes = 0;
    bool fadeOut = false;
    int fadeOutMinutes = 0;
    int snoozeMinutes = 0;
    bool autoSnooze = false;
    int autoSnoozeMinutes = 0;
    int volume = 0;
    // The editor's three radio buttons; it writes exactly one of them true.
    bool closeNever = false;
    bool closeWhenFinished = false;
    bool closeAfterMinutes = false;
    int autoCloseMinutes = 0;
    int powerAction = 0;
    QStringList reminderText;

    /// The ringing window's reading of the three closing lines: a later true line overrides an earlier.
    ClosingMethod closingMethod() const;

    /// How many fields a reader filled, in file order; a reader stopped by an error leaves the rest
    /// at their zero values, and the editor shows only the fields read.
    int fieldsRead = 0;

    bool operator==(const AlarmSettings&) const = default;
};

/// The fields of a settings file in the order they are read, for `AlarmSettings::fieldsRead`.
enum class SettingsField {
    Frequency = 1, Time, Date, Weekdays, PlayMusic, PlayList, PlaySound, SoundIndex, SoundMinutes,
    FadeIn, FadeInMinutes, FadeOut, FadeOutMinutes, SnoozeMinutes, AutoSnooze, AutoSnoozeMinutes,
    Volume, ClosingMethod, AutoCloseMinutes, PowerAction, ReminderText,
};

/// Who reads a settings file: the editor checks the date and time, the ringing window only needs
/// them to be numbers.
enum class SettingsReader { Editor, Ringing };

/// The bytes of a settings file: marker lines, values in file order, the reminder text last with no
/// line break after it.
QByteArray WriteAlarmSettings(const AlarmSettings& settings);

/// Reads a settings file by line position into `out`, raising ConversionError at the first line
/// that does not convert; what was read before the error stays in `out`. Play lists keep their
/// first 256 entries.
void ReadAlarmSettings(const QByteArray& bytes, SettingsReader reader, AlarmSettings& out);

/// Reads `programFolder + fileName`; a missing file is an I/O error that reads nothing.
void ReadAlarmSettingsFile(const QString& programFolder, const QString& fileName, SettingsReader reader,
                           AlarmSettings& out);

/// What an alarm rings with when its settings file is missing or cannot be read: the new-alarm
/// defaults of the editor, so it still rings audibly (built-in sound 0 at full volume, snooze 15
/// minutes, closed by the user).
AlarmSettings fallbackAlarmSettings();
