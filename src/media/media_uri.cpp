#include "media/media_uri.h"

#include <QFileInfo>
#include <QUrl>

QByteArray mediaFileUri(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
}
