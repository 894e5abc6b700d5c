#pragma once

#include <cmath>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

/// Writes a 16-bit mono 44.1 kHz WAV of a 660 Hz tone, for tests that need a real sound file.
inline void writeToneWav(const QString& path, int milliseconds)
{
    const int rate = 44100;
    const int samples = rate * milliseconds / 1000;
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * 660 * i / rate)), pcm.data() + 2 * i);
    QByteArray header("RIFF");
    auto u32 = [&](quint32 v) { header.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](quint16 v) { header.append(reinterpret_cast<const char*>(&v), 2); };
    u32(36 + pcm.size());
    header += "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
    header += "data";
    u32(pcm.size());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(header + pcm);
}
