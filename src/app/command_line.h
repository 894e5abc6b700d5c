#pragma once

#include <optional>

#include <QString>
#include <QStringList>

/// What the command line asks of a run.
struct CommandLine {
    /// The folder for the user's files; empty: the usual choice.
    QString dataDir;
    /// The interface language asked for ("zh" or "en"); empty: the locale's.
    QString lang;
    /// A command for the alarms ("alarm add 07:00", "ringing stop"), run instead of the clock.
    QStringList command;
    /// A window to open once the clock runs (started now or already running): "new-alarm" or
    /// "alarm-list"; empty: none.
    QString open;
    /// Set when the run ends here: 0 after printing the help or the version, 2 after a bad option
    /// (the usage then goes to the error output).
    std::optional<int> exitCode;
};

/// The options a later start must repeat to start this run's clock again (the autostart entry's):
/// the data folder, absolute, when one was given, and the language, when one was asked for.
QStringList argumentsToRepeat(const CommandLine& commandLine, const QString& dataFolder);

/// Reads the arguments (the program's name first). Prints the help, the version or the usage
/// itself; nothing else happens, so a bad option never reaches a running copy.
CommandLine readCommandLine(const QStringList& arguments);
