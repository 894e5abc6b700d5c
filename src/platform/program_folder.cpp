#include "platform/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString programFolder()
{
    // /proc/self/exe names the executable even when it was started through a symbolic link.
    QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (exe.isEmpty())
        exe = QCoreApplication::applicationFilePath();
    return QFileInfo(exe).absolutePath() + QDir::separator();
}
