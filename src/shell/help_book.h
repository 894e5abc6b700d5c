#pragma once

#include <QString>
#include <QUrl>

/// The help book's first page, help/index.htm in the program folder (which ends with a separator).
QString helpTopicPath(const QString& programFolder);

/// Where a link clicked in the help viewer leads.
enum class HelpLinkTarget {
    Book,    ///< a page of the book: the viewer follows it
    Desktop, ///< anything else (web pages, mail, other files): the desktop opens it
};

/// Sorts a link, already resolved against the page that holds it: a local HTML page inside the
/// book's folder (or below it) is the book's, everything else is handed to the desktop.
HelpLinkTarget helpLinkTarget(const QUrl& link, const QString& bookFolder);
