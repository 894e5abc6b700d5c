#pragma once

#include <optional>

#include <QString>
#include <QStringList>

/// What the command line asks of a run.
struct CommandLine {
    /// The folder for the user's files; empty: the usual choice.
    QString dataDir;
    /// Set when the run ends here: 0 after printing the help or the version, 2 after a bad option
    /// (the usage then goes to the error output).
    std::optional<int> exitCode;
};

/// Reads the arguments (the program's name first). Prints the help, the version or the usage
/// itself; nothing else happens, so a bad option never reaches a running copy.
CommandLine readCommandLine(const QStringList& arguments);
