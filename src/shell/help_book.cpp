#include "shell/help_book.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString helpTopicPath(const QString& programFolder)
{
    // The book in the interface's language: the English interface translates the page's name.
    return programFolder + QStringLiteral("help/") + QCoreApplication::translate("Belvane", "index.htm");
}

HelpLinkTarget helpLinkTarget(const QUrl& link, const QString& bookFolder)
{
    if (!link.isLocalFile())
        return HelpLinkTarget::Desktop;
    const QFileInfo page(link.toLocalFile());
    const QString suffix = page.suffix().toLower();
    if (suffix != QLatin1String("htm") && suffix != QLatin1String("html"))
        return HelpLinkTarget::Desktop;
    // Compared as cleaned absolute paths, so "../" cannot climb out of the book.
    const QString folder = QDir::cleanPath(QDir(bookFolder).absolutePath()) + QLatin1Char('/');
    const QString path = QDir::cleanPath(page.absoluteFilePath());
    return path.startsWith(folder) ? HelpLinkTarget::Book : HelpLinkTarget::Desktop;
}
