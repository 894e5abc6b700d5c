#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString programPath()
{
    // /proc/self/exe names the executable even when it was started through a symbolic link.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return exe.isEmpty() ? QCoreApplication::applicationFilePath() : exe;
}

QString programFolder()
{
    return QFileInfo(programPath()).absolutePath() + QDir::separator();
}
