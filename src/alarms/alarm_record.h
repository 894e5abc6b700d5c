#pragma once

#include <array>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>

/// How often an alarm rings; the value is the index stored in settings files.
enum class Frequency { FixedDate = 0, Hourly = 1, Daily = 2, Weekly = 3, Monthly = 4, Yearly = 5 };
constexpr int kFrequencyCount = 6;

/// The list text of a frequency, trailing blanks included: the scheduler compares these byte for byte.
QString frequencyText(int index);
/// The frequency as the interface shows it, in the interface's language; never stored.
QString frequencyCaption(int index);
/// A built-in sound's name as the interface shows it, in the interface's language; never stored.
QString builtInSoundCaption(int index);
/// The same text as stored in "al.ini".
QByteArray frequencyBytes(int index);

constexpr int kBuiltInSoundCount = 11;
/// File name of built-in sound 0..10 in the sounds folder; empty outside that range.
QString builtInSoundFile(int index);
/// Full path of a built-in sound; outside 0..10 the sounds folder alone.
QString BuiltInSoundPath(const QString& programFolder, int index);
/// The editor's list item for a built-in sound, trailing blanks included.
QString builtInSoundItem(int index);

/// One alarm as a list row and as the 8-line record of "al.ini". The fields are kept as the bytes
/// read, so whatever a file holds survives a load and a save unchanged; they are decoded only to show.
struct AlarmEntry {
    QByteArray caption;
    QByteArray frequencyText;
    QByteArray timeDisplay;
    QByteArray dateDisplay;
    QByteArray timeCode;    // "hhnnss"
    QByteArray dateCode;    // "ddmmyyyy"
    QByteArray weekdayMask; // seven "1"/"0", Sunday first
    QByteArray alarmNumber; // decimal digits

    static constexpr int kFieldCount = 8;
    QByteArray& field(int i);
    const QByteArray& field(int i) const { return const_cast<AlarmEntry*>(this)->field(i); }
    bool operator==(const AlarmEntry&) const = default;
};

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
    bool operator==(const TimeOfDay&) const = default;
};
struct CalendarDate {
    int year = 0, month = 0, day = 0;
    bool operator==(const CalendarDate&) const = default;
};

/// Decodes a `TimeCode`: hour = characters 1-2, minute = 3-4, second = the last two. A part that is
/// not a number, or a time that does not exist, is a conversion error.
TimeOfDay decodeTimeCode(const QByteArray& code);
/// Decodes a `DateCode`: day = characters 1-2, month = 3-4, year = the last four, checked as a
/// Gregorian date of years 1..9999.
CalendarDate decodeDateCode(const QByteArray& code);
bool isValidDate(int year, int month, int day);
int daysInMonth(int year, int month);

constexpr int kAlarmNumberCount = 256;

/// Which alarm numbers the listed alarms use, so a new alarm gets a settings file no alarm uses.
class UsedAlarmNumbers {
public:
    /// Numbers outside 0..255 mark nothing.
    void mark(int number);
    void release(int number);
    bool isUsed(int number) const;
    void clear() { m_used.fill(false); }
    /// The lowest free number, or nothing when all 256 are taken.
    std::optional<int> AllocateAlarmNumber() const;

private:
    std::array<bool, kAlarmNumberCount> m_used{};
};

/// "17.ini" for alarm 17.
QString SettingsFileName(int number);
