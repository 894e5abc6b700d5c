#pragma once

#include <QString>
#include <QStringList>

/// The file chooser's filter list, as "description|patterns|description|patterns…" with the patterns
/// separated by ";", turned into name filters of the form "description (pattern pattern …)". Empty
/// patterns are dropped, and "*.*" becomes "*", since it means every file, with or without a dot.
QStringList nameFiltersFromFilterText(const QString& filterText);
