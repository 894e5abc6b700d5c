#include <gtest/gtest.h>

#include <QList>

#include "clockface/options_file.h"
#include "helpers/temp_folder.h"
#include "platform/errors.h"

namespace {

/// The lines of an options file, joined with CR LF.
QByteArray optionsFile(const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

const QList<QByteArray> kStored{"***General***",
                                "FALSE",
                                "TRUE",
                                "FALSE",
                                "FALSE",
                                "***Hourly Chimes***",
                                "/home/user/\xd2\xf4\xc0\xd6/bell.wav", // "音乐" in the stored code page
                                "FALSE",
                                "TRUE",
                                "TRUE",
                                "TRUE",
                                "22",
                                "0",
                                "0",
                                "6",
                                "30",
                                "5"};

/// The stored file with one line (counted from 1) replaced.
QList<QByteArray> storedWith(int line, const QByteArray& text)
{
    QList<QByteArray> lines = kStored;
    lines[line - 1] = text;
    return lines;
}

} // namespace

TEST(OptionsFile, ReadsEveryLineInPlace)
{
    TempFolder dir;
    dir.write("Options.ini", optionsFile(kStored));
    OptionsSettings s;
    ASSERT_TRUE(loadOptions(dir.file("Options.ini"), s));
    EXPECT_FALSE(s.startup);
    EXPECT_TRUE(s.systemTray);
    EXPECT_FALSE(s.fullScreen);
    EXPECT_EQ(s.timeFormat, TimeFormat::Military);
    EXPECT_EQ(s.chime.file, QString::fromUtf8("/home/user/音乐/bell.wav"));
    EXPECT_FALSE(s.chime.hourly);
    EXPECT_TRUE(s.chime.halfHourly && s.chime.quarterHourly && s.chime.onlyBetween);
    EXPECT_EQ(s.chime.from, QTime(22, 0, 0));
    EXPECT_EQ(s.chime.to, QTime(6, 30, 5));
}

TEST(OptionsFile, CheckBoxesAndFormatLine)
{
    struct Case {
        const char* situation;
        int line;
        QByteArray text;
        bool startup;
        TimeFormat format;
        QByteArray formatWritten;
    };
    const Case cases[] = {
        {"start-up line TRUE", 2, "TRUE", true, TimeFormat::Military, "FALSE"},
        {"lower-case true reads unchecked", 2, "true", false, TimeFormat::Military, "FALSE"},
        {"TRUE with a trailing blank reads unchecked", 2, "TRUE ", false, TimeFormat::Military, "FALSE"},
        {"format TRUE is the 12-hour face", 5, "TRUE", false, TimeFormat::Standard, "TRUE"},
        {"format neither TRUE nor FALSE chooses no button", 5, "12", false, TimeFormat::Neither, "FALSE"},
        {"format empty chooses no button", 5, "", false, TimeFormat::Neither, "FALSE"},
    };
    for (const Case& c : cases) {
        OptionsSettings s;
        readOptions(optionsFile(storedWith(c.line, c.text)), s, "Options.ini");
        EXPECT_EQ(s.startup, c.startup) << c.situation;
        EXPECT_EQ(s.timeFormat, c.format) << c.situation;
        EXPECT_EQ(writeOptions(s).split('\n').at(4), c.formatWritten + "\r") << c.situation;
    }
}

TEST(OptionsFile, DamagedRangeStopsTheReadingAndKeepsWhatWasRead)
{
    struct Case {
        const char* situation;
        QList<QByteArray> lines;
        const char* error;
        const char* where;
        QTime from;
        QTime to;
    };
    const OptionsSettings initial;
    const QList<QByteArray> shortFile = kStored.mid(0, 14);
    const Case cases[] = {
        {"range start hour not a number", storedWith(12, "8a"), "\"8a\"不是整数", "第 12 行",
         initial.chime.from, initial.chime.to},
        {"range start second blank", storedWith(14, ""), "这一行是空的，应是一个整数", "第 14 行",
         initial.chime.from, initial.chime.to},
        {"range start hour 24", storedWith(12, "24"), "24:00:00 不是一天中的时刻", "第 12 到 14 行",
         initial.chime.from, initial.chime.to},
        {"range end hour 24", storedWith(15, "24"), "24:30:05 不是一天中的时刻", "第 15 到 17 行",
         QTime(22, 0), initial.chime.to},
        {"range end minute 60", storedWith(16, "60"), "6:60:05 不是一天中的时刻", "第 15 到 17 行",
         QTime(22, 0), initial.chime.to},
        {"range end minute negative", storedWith(16, "-1"), "6:-1:05 不是一天中的时刻", "第 15 到 17 行",
         QTime(22, 0), initial.chime.to},
        {"file ends after the range start", shortFile, "这一行是空的，应是一个整数", "第 15 行", QTime(22, 0),
         initial.chime.to},
    };
    for (const Case& c : cases) {
        OptionsSettings s;
        try {
            readOptions(optionsFile(c.lines), s, "/opt/clock/Options.ini");
            ADD_FAILURE() << c.situation << ": no error";
        } catch (const ConversionError& e) {
            EXPECT_TRUE(e.text().contains(QString::fromUtf8(c.error)))
                << c.situation << ": " << e.text().toStdString();
            EXPECT_TRUE(e.text().contains("\"/opt/clock/Options.ini\"" + QString::fromUtf8(c.where)))
                << c.situation << ": " << e.text().toStdString();
        }
        // Everything before the damage was read.
        EXPECT_TRUE(s.systemTray) << c.situation;
        EXPECT_EQ(s.timeFormat, TimeFormat::Military) << c.situation;
        EXPECT_EQ(s.chime.file, QString::fromUtf8("/home/user/音乐/bell.wav")) << c.situation;
        EXPECT_TRUE(s.chime.onlyBetween) << c.situation;
        EXPECT_EQ(s.chime.from, c.from) << c.situation;
        EXPECT_EQ(s.chime.to, c.to) << c.situation;
    }
}

TEST(OptionsFile, WritesSeventeenLinesThatReadBackByteForByte)
{
    TempFolder dir;
    const QByteArray stored = optionsFile(kStored);
    OptionsSettings s;
    readOptions(stored, s, "Options.ini");
    saveOptions(dir.file("Options.ini"), s);
    EXPECT_EQ(dir.read("Options.ini"), stored);

    const QByteArray first = writeOptions(defaultOptions("/opt/clock/"));
    EXPECT_EQ(first, optionsFile({"***General***", "TRUE", "TRUE", "TRUE", "TRUE", "***Hourly Chimes***",
                                  "/opt/clock/sounds/Cuckoo.wav", "TRUE", "TRUE", "TRUE", "FALSE", "8", "0",
                                  "0", "22", "0", "0"}));
    OptionsSettings back;
    readOptions(first, back, "Options.ini");
    EXPECT_EQ(back, defaultOptions("/opt/clock/"));
}
