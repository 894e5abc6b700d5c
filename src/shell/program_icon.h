#pragma once

#include <QIcon>
#include <QString>

/// Lets the icon theme find the program's own icons: a build folder or a portable copy carries them
/// in its icons/ folder, laid out as the theme "hicolor" is. They come after the desktop's own theme
/// folders, so an icon the desktop has for the program is still taken first.
void addProgramIconsToTheme(const QString& programFolder);

/// The program's icon: `belvane` from the icon theme, at every size the theme has it, so that a
/// StatusNotifierItem host is given its name; where no theme has it, the sizes built into the program.
QIcon programIcon();
