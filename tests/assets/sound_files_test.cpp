#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include <QDir>
#include <QFile>
#include <QtEndian>

#include "alarms/alarm_record.h"

namespace {

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<qint16> samples; // interleaved
    QString error;
};

quint16 u16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 u32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

// A strict reader of RIFF WAVE files: the chunks are walked as the format defines them.
Wave readWave(const QString& path) {
    Wave w;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        w.error = "cannot open";
        return w;
    }
    const QByteArray bytes = file.readAll();
    const char* d = bytes.constData();
    if (bytes.size() < 12 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0) {
        w.error = "not a RIFF WAVE file";
        return w;
    }
    if (u32(d + 4) != quint32(bytes.size() - 8)) {
        w.error = "RIFF size does not match the file";
        return w;
    }
    bool haveFormat = false, haveData = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const quint32 size = u32(d + at + 4);
        const char* body = d + at + 8;
        if (at + 8 + qsizetype(size) > bytes.size()) {
            w.error = "chunk runs past the end";
            return w;
        }
        if (std::memcmp(d + at, "fmt ", 4) == 0 && size >= 16) {
            w.format = u16(body);
            w.channels = u16(body + 2);
            w.rate = int(u32(body + 4));
            w.bits = u16(body + 14);
            if (u32(body + 8) != quint32(w.rate * w.channels * w.bits / 8) ||
                u16(body + 12) != w.channels * w.bits / 8) {
                w.error = "byte rate or block size inconsistent";
                return w;
            }
            haveFormat = true;
        } else if (std::memcmp(d + at, "data", 4) == 0) {
            if (!haveFormat || w.bits != 16) {
                w.error = "data before a 16-bit format chunk";
                return w;
            }
            w.samples.resize(size / 2);
            for (quint32 i = 0; i < size / 2; ++i)
                w.samples[i] = qint16(u16(body + 2 * i));
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveFormat || !haveData)
        w.error = "format or data chunk missing";
    return w;
}

double dbfs(double amplitude) {
    return 20.0 * std::log10(amplitude / 32768.0);
}

} // namespace

TEST(BuiltInSounds, TheSoundsFolderHoldsExactlyTheElevenSounds) {
    QStringList expected;
    for (int i = 0; i < kBuiltInSoundCount; ++i)
        expected << builtInSoundFile(i);
    expected.sort();
    const QStringList present = QDir(BELVANE_ASSET_FOLDER "/sounds").entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(present, expected);
}

TEST(BuiltInSounds, EachIs16BitPcmAt44100HzWithinTheLevelRules) {
    for (int i = 0; i < kBuiltInSoundCount; ++i) {
        const QString name = builtInSoundFile(i);
        SCOPED_TRACE(name.toStdString());
        const Wave w = readWave(QStringLiteral(BELVANE_ASSET_FOLDER "/sounds/") + name);
        ASSERT_TRUE(w.error.isEmpty()) << w.error.toStdString();
        EXPECT_EQ(w.format, 1); // PCM
        EXPECT_TRUE(w.channels == 1 || w.channels == 2);
        EXPECT_EQ(w.rate, 44100);
        EXPECT_EQ(w.bits, 16);
        ASSERT_GT(w.channels, 0);

        const double seconds = double(w.samples.size()) / w.channels / w.rate;
        EXPECT_GE(seconds, 1.0);
        EXPECT_LE(seconds, 4.0);

        double peak = 0, sum = 0, squares = 0;
        for (qint16 s : w.samples) {
            peak = std::max(peak, std::abs(double(s)));
            sum += s;
            squares += double(s) * s;
        }
        const double n = double(w.samples.size());
        EXPECT_GE(dbfs(peak), -3.0);
        EXPECT_LE(dbfs(peak), -1.0);
        EXPECT_LT(std::abs(sum / n), 33.0) << "DC offset above -60 dBFS";
        EXPECT_GT(dbfs(std::sqrt(squares / n)), -30.0) << "hardly audible";

        // No click at either end: the first and last samples are near silence and the first and last
        // half millisecond stay quiet.
        const size_t edge = size_t(w.rate / 2000 * w.channels);
        double startPeak = 0, endPeak = 0;
        for (size_t k = 0; k < edge; ++k) {
            startPeak = std::max(startPeak, std::abs(double(w.samples[k])));
            endPeak = std::max(endPeak, std::abs(double(w.samples[w.samples.size() - 1 - k])));
        }
        EXPECT_LE(std::abs(w.samples.front()), 33);
        EXPECT_LE(std::abs(w.samples.back()), 33);
        EXPECT_LT(dbfs(startPeak + 1), -30.0);
        EXPECT_LT(dbfs(endPeak + 1), -30.0);
    }
}
