#pragma once

#include <QString>
#include <QStringList>

/// A "name|patterns|name|patterns" filter text as the file dialog's name filters, "name (p1 p2 ...)".
/// A name that already ends in a bracketed pattern list has that list replaced; empty patterns are
/// dropped and "*.*" becomes "*", since a file name here need not have an extension.
QStringList nameFiltersFromFilterText(const QString& filterText);
