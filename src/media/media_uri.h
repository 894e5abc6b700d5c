#pragma once

#include <QByteArray>
#include <QString>

/// The file URI of a path as handed to the media framework. The path is always a local file name,
/// made absolute against the current folder: a stored line such as "http://host/x.mp3" names a file
/// "http:/host/x.mp3" below it and is never fetched from a network.
QByteArray mediaFileUri(const QString& path);
