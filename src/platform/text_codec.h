#pragma once

#include <QByteArray>
#include <QString>

// The program's text files are GB18030: byte for byte the same as code page 936 for every character
// that code page has, and able to hold every other character a user types.

/// Bytes of a text file line to text.
QString decodeText(const QByteArray& bytes);
/// Text to the bytes stored in a text file.
QByteArray encodeText(const QString& text);
