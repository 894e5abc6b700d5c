#include "platform/file_filter.h"

#include <QRegularExpression>

QStringList nameFiltersFromFilterText(const QString& filterText)
{
    static const QRegularExpression kTrailingPatterns(QStringLiteral("\\s*\\([^()]*\\)$"));
    const QStringList parts = filterText.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        name.remove(kTrailingPatterns);
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns.append(p == QStringLiteral("*.*") ? QStringLiteral("*") : p);
        filters.append(QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' '))));
    }
    return filters;
}
