#include "platform/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr const char* kFileEncoding = "GB18030";
}

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder decoder(kFileEncoding);
    return decoder.decode(bytes);
}

QByteArray encodeText(const QString& text)
{
    QStringEncoder encoder(kFileEncoding);
    return encoder.encode(text);
}
