#pragma once

#include <QString>

/// The folder of the running executable, resolved from its own path, with its trailing separator.
/// Every file the program reads or writes lies in it or below it.
QString programFolder();

/// The full path of the running executable.
QString programPath();
