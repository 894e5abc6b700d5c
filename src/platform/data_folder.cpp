#include "platform/data_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString withSeparator(const QString& folder)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

/// Copies the user's files that a read-only program folder holds into a new data folder, so an
/// installed copy that was once used in place keeps its alarms. The copies belong to the user and
/// are private to them; the originals stay.
void migrateUserFiles(const QString& programFolder, const QString& dataFolder)
{
    const bool folderWritable = QFileInfo(programFolder).isWritable();
    const QFileInfoList files = QDir(programFolder).entryInfoList(QDir::Files | QDir::Readable);
    for (const QFileInfo& file : files) {
        if (!isUserFileName(file.fileName()) || (folderWritable && file.isWritable()))
            continue;
        const QString target = dataFolder + file.fileName();
        if (QFile::copy(file.absoluteFilePath(), target))
            QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

} // namespace

bool isUserFileName(const QString& fileName)
{
    static const QRegularExpression numbered(QStringLiteral("^[0-9]+\\.ini$"));
    static const QStringList named{QStringLiteral("al.ini"), QStringLiteral("alarm.ini"), QStringLiteral("lastcheck.ini"),
                                   QStringLiteral("Options.ini"), QStringLiteral("skinname.ini")};
    return named.contains(fileName) || numbered.match(fileName).hasMatch();
}

QString chooseDataFolder(const QString& programFolder, const QString& requested, const QString& configHome)
{
    if (!requested.isEmpty())
        return withSeparator(requested);
    const QDir program(programFolder);
    if (QFileInfo(programFolder).isWritable() &&
        (program.exists(QStringLiteral("al.ini")) || program.exists(QStringLiteral("Options.ini"))))
        return withSeparator(programFolder);
    return withSeparator(QDir(configHome).filePath(QStringLiteral("belvane")));
}

QString userConfigHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString settleDataFolder(const QString& programFolder, const QString& requested)
{
    const QString folder = chooseDataFolder(programFolder, requested, userConfigHome());
    if (QFileInfo::exists(folder))
        return folder;
    // A folder that cannot be made shows as a failed save with the folder's name in it.
    if (!QDir().mkpath(folder))
        return folder;
    const bool perUser = requested.isEmpty() && folder != withSeparator(programFolder);
    if (perUser) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        migrateUserFiles(programFolder, folder);
    }
    return folder;
}
