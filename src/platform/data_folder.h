#pragma once

#include <utility>

#include <QString>

/// The two folders of a run. The program folder (the executable's own, with its trailing separator)
/// is only read: built-in sounds, skins, help. The data folder holds the user's files: "al.ini", the
/// numbered settings files, "alarm.ini", "Options.ini" and "skinname.ini". A portable copy, and a
/// test, uses one folder as both.
struct AppFolders {
    AppFolders(const QString& both) : program(both), data(both) {} // NOLINT: one folder as both
    AppFolders(QString programFolder, QString dataFolder)
        : program(std::move(programFolder)), data(std::move(dataFolder))
    {
    }

    QString program;
    QString data;
};

/// Whether a file name is one of the user's files (the list, a numbered settings file, the working
/// file, the options or the skin choice) as opposed to a program file.
bool isUserFileName(const QString& fileName);

/// The folder the user's files live in, with its trailing separator, chosen once at start:
/// `requested` (the command line's data folder) when given; else the program folder when it is
/// writable and already holds "al.ini" or "Options.ini" (a portable copy); else "belvane" in
/// `configHome`. Nothing is created.
QString chooseDataFolder(const QString& programFolder, const QString& requested, const QString& configHome);

/// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString userConfigHome();

/// Chooses the data folder and makes it ready: created when missing, and when it is the per-user
/// folder and new, the user's files that the program folder holds but the user cannot write there
/// are copied into it once (nothing is deleted). Returns the folder with its trailing separator.
QString settleDataFolder(const QString& programFolder, const QString& requested);
