#pragma once

#include <QString>
#include <QStringList>

/// Runs a command of the command line ("alarm add 07:00", "ringing stop", ...): checked first (bad
/// input ends it with 2, nothing reached); then given to the running copy, over D-Bus when it is on
/// the session bus, else through the single-instance socket; with no copy running, the files in the
/// data folder are changed under the single-instance lock, so no copy can start meanwhile. Prints
/// what the command prints; gives its exit status.
int runCommandLine(const QStringList& command, const QString& dataDir);
