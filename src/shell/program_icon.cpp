#include "shell/program_icon.h"

#include <QDir>
#include <QFileInfo>

void addProgramIconsToTheme(const QString& programFolder)
{
    const QString icons = QDir::cleanPath(programFolder + QStringLiteral("/icons"));
    QStringList paths = QIcon::themeSearchPaths();
    if (QFileInfo(icons).isDir() && !paths.contains(icons)) {
        paths << icons;
        QIcon::setThemeSearchPaths(paths);
    }
}

QIcon programIcon()
{
    QIcon builtIn;
    const QDir resources(QStringLiteral(":/icons"));
    for (const QString& name : resources.entryList({QStringLiteral("belvane-*.png")}, QDir::Files))
        builtIn.addFile(resources.filePath(name));
    return QIcon::fromTheme(QStringLiteral("belvane"), builtIn);
}
