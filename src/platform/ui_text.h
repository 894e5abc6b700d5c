#pragma once

#include <QCoreApplication>
#include <QString>

/// A text of the interface, in the interface's language: the Chinese source, or its translation when
/// the English interface is installed. Never used for what goes into a file.
inline QString uiText(const char* source)
{
    return QCoreApplication::translate("Belvane", source);
}
