#include "platform/file_filter.h"

#include <QCoreApplication>

namespace {

QString filter(const QString& name, const QStringList& extensions)
{
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns.append(QStringLiteral("*.") + extension);
    return name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

QStringList mediaNameFilters(const QStringList& audioExtensions, const QStringList& videoExtensions)
{
    QStringList all = audioExtensions + videoExtensions;
    all.removeDuplicates();
    return {filter(QCoreApplication::translate("FileFilter", "所有支持的文件"), all),
            filter(QCoreApplication::translate("FileFilter", "音频文件"), audioExtensions),
            filter(QCoreApplication::translate("FileFilter", "视频文件"), videoExtensions),
            QCoreApplication::translate("FileFilter", "所有文件 (*)")};
}
