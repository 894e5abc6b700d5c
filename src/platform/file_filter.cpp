#include "platform/file_filter.h"

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
    return {filter(QStringLiteral("所有支持的文件"), all),
            filter(QStringLiteral("音频文件"), audioExtensions),
            filter(QStringLiteral("视频文件"), videoExtensions), QStringLiteral("所有文件 (*)")};
}
