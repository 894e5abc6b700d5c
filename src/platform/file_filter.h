#pragma once

#include <QString>
#include <QStringList>

/// The media file choosers' name filters for these extensions (without dots): all supported files,
/// audio files, video files, and all files ("*", since a file name here need not have an extension).
/// An extension may be in both lists (an Ogg or Matroska file holds either); "所有支持的文件" lists
/// each once, in the order first met.
QStringList mediaNameFilters(const QStringList& audioExtensions, const QStringList& videoExtensions);
