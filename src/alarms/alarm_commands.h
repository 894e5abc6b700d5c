#pragma once

#include <functional>
#include <optional>

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "alarms/alarm_record.h"
#include "alarms/alarm_settings_file.h"
#include "platform/date_time_format.h"
#include "platform/errors.h"

class AlarmListStore;
class QTextStream;

/// A command that cannot be carried out, with the one line that says why, in the interface's language.
class CommandError : public BelvaneError {
public:
    enum class Kind {
        BadInput,    ///< an argument that is wrong: nothing was changed
        NoSuchAlarm, ///< a number that names no alarm
        ListFull,    ///< every alarm number is taken
        NotRinging,  ///< nothing rings to stop or snooze
        Failed,      ///< a file could not be written, or the running copy could not be reached
    };
    CommandError(Kind kind, const QString& text) : BelvaneError(text), m_kind(kind) {}
    Kind kind() const { return m_kind; }
    /// 2 for what the user typed wrong (nothing changed), 1 otherwise.
    int exitCode() const;
    /// The D-Bus error name of the kind ("org.belvane.Alarms.Error.BadInput"), and back.
    QString busName() const;
    static Kind kindOfBusName(const QString& name);

private:
    Kind m_kind;
};

/// The error of stop and snooze when no alarm rings.
CommandError nothingRings();

/// The frequency names of `--repeat` and of the listings, by frequency index: "once" ... "yearly".
QString frequencyKeyword(int index);

/// Reads the arguments of `alarm add` (those after "add"): the time HH:MM[:SS] and the options
/// --name, --repeat, --days, --date, --sound or --play FILE..., --volume, --snooze. Gives the settings
/// the editor would save for the same choices, every other field at its new-alarm default, with
/// `now` for the date when none is given. A relative play file is taken from `currentFolder`. Raises
/// CommandError(BadInput) naming the first wrong argument.
AlarmSettings parseAlarmAdd(const QStringList& arguments, const QDateTime& now,
                            const QString& currentFolder = {});
/// The same, from the fields of a D-Bus AddAlarm: "time", "name", "repeat", "days", "date", "sound",
/// "play" (one path or a list), "volume", "snooze"; an unknown field is bad input.
QStringList addArgumentsFromFields(const QVariantMap& fields);
/// The `alarm add` arguments with every play file made absolute, for a copy with another folder.
QStringList absolutePlayFiles(const QStringList& arguments, const QString& currentFolder);

/// The fields of a D-Bus AddAlarm for checked `alarm add` arguments (see `addArgumentsFromFields`).
QVariantMap addFieldsFromArguments(const QStringList& arguments);

/// Checks a command line ("alarm add 07:00", ...) without acting on it, raising CommandError(BadInput)
/// at the first wrong argument; gives it with every play file made absolute.
QStringList checkCommand(const QStringList& arguments, const QDateTime& now, const QString& currentFolder);

/// An alarm number as given on a command line or over D-Bus; raises BadInput for anything else.
int parseAlarmNumber(const QString& text);

/// What the commands act on: the running copy, or the files when no copy runs.
class AlarmTarget {
public:
    virtual ~AlarmTarget() = default;
    /// The `alarm add` arguments, already checked once by the caller; the new alarm's number.
    virtual int add(const QStringList& arguments) = 0;
    /// One map per alarm in list order: "number", "name", "frequency" (absent when unknown), "time"
    /// ("hh:mm:ss"), "enabled", "next" (ISO 8601 with offset, absent when it will not ring again).
    virtual QList<QVariantMap> list() = 0;
    virtual void remove(int number) = 0;
    virtual void setEnabled(int number, bool enabled) = 0;
    /// The alarm that rings next, as `list` gives it; an empty map when none will ring.
    virtual QVariantMap next() = 0;
    virtual void stopRinging() = 0;
    virtual void snoozeRinging() = 0;
};

/// The alarm commands on a list store: the only way a command changes alarms, in the running copy as
/// in a command run with no copy running. Every change is one change of the store (see AlarmListStore).
class StoreAlarmTarget : public AlarmTarget {
public:
    using NextRing = std::function<std::optional<QDateTime>(const AlarmEntry&)>;
    using Now = std::function<QDateTime()>;
    StoreAlarmTarget(AlarmListStore& store, Now now, NextRing nextRing, DateTimeLocale locale);

    int add(const QStringList& arguments) override;
    QList<QVariantMap> list() override;
    void remove(int number) override;
    void setEnabled(int number, bool enabled) override;
    QVariantMap next() override;
    /// A store alone has no ringing window: nothing rings.
    void stopRinging() override { throw nothingRings(); }
    void snoozeRinging() override { throw nothingRings(); }

    /// Adds an alarm with these settings: the lowest free number, the row the list window makes for
    /// them, the settings file the editor writes.
    int addSettings(const AlarmSettings& settings);

private:
    qsizetype indexOf(int number) const;

    AlarmListStore& m_store;
    Now m_now;
    NextRing m_nextRing;
    DateTimeLocale m_locale;
};

/// Runs the command line `arguments` (those after the program's options: "alarm add 07:00", "ringing
/// stop", ...) against `target`, writing what it prints to `out` and its one line of error to `err`.
/// Gives the exit status: 0 done, 1 nothing to show or do (no next alarm, nothing ringing, a failure),
/// 2 bad input, with nothing changed.
int runAlarmCommand(const QStringList& arguments, AlarmTarget& target, const QDateTime& now,
                    const QString& currentFolder, QTextStream& out, QTextStream& err);

/// Whether the arguments name a command ("alarm ..." or "ringing ...") rather than options only.
bool isAlarmCommand(const QStringList& arguments);
