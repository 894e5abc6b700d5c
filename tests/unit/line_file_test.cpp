#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "alarms/alarm_list_file.h"
#include "clockface/options_file.h"
#include "clockface/skin_choice.h"
#include "helpers/read_only_folder.h"
#include "helpers/temp_folder.h"
#include "platform/autostart.h"
#include "platform/errors.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"

TEST(LineReader, SplitsOnCrLfAndBareLfWithoutTrimming)
{
    LineReader in(QByteArray(" a \r\nb\n\r\nc\rd\r\nlast"));
    EXPECT_EQ(in.readLine(), " a ");
    EXPECT_EQ(in.readLine(), "b");
    EXPECT_EQ(in.readLine(), "");
    EXPECT_EQ(in.readLine(), "c\rd"); // a lone CR is part of the line
    EXPECT_EQ(in.readLine(), "last");
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.readLine(), ""); // past the end: empty lines
    EXPECT_EQ(in.lineNumber(), 6);
}

TEST(LineReader, BooleanIsTrueOnlyForExactCapitals)
{
    for (const char* line : {"TRUE"})
        EXPECT_TRUE(LineReader::isTrue(line)) << line;
    for (const char* line : {"true", "True", "TRUE ", " TRUE", "1", "", "FALSE"})
        EXPECT_FALSE(LineReader::isTrue(line)) << line;
}

TEST(ToInt, AcceptsDecimalAndRejectsEverythingElse)
{
    struct Case {
        const char* text;
        int value;
    };
    for (Case c : {Case{"0", 0}, {"17", 17}, {"-3", -3}, {"+4", 4}, {"0042", 42}, {"2147483647", 2147483647}})
        EXPECT_EQ(toInt(c.text), c.value) << c.text;
    for (const char* bad : {"", " 1", "1 ", "1a", "0x10", "$10", "+", "-", "+-1", "2147483648", "1.0"})
        EXPECT_THROW(toInt(bad), ConversionError) << bad;
    for (auto [bad, text] : {std::pair{"abc", "\"abc\"不是整数"}, {"", "这一行是空的，应是一个整数"}}) {
        try {
            toInt(bad);
            ADD_FAILURE() << bad;
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.text(), QString::fromUtf8(text));
        }
    }
}

TEST(TextCodec, ChineseIsCodePage936AndEmojiSurvives)
{
    // "每天 " is 5 bytes in code page 936: C3 BF CC EC 20.
    EXPECT_EQ(encodeText(QStringLiteral("每天 ")), QByteArray::fromHex("c3bfccec20"));
    const QString rare = QStringLiteral("起床 ⏰ 𠀀 ok");
    EXPECT_EQ(decodeText(encodeText(rare)), rare);
}

TEST(LineWriter, EndsEveryLineWithCrLf)
{
    LineWriter out;
    out.number(-5);
    out.boolean(true);
    out.boolean(false);
    out.line(QStringLiteral("闹钟"));
    out.raw("tail");
    EXPECT_EQ(out.bytes(),
              QByteArray("-5\r\nTRUE\r\nFALSE\r\n") + encodeText(QStringLiteral("闹钟")) + "\r\ntail");
}

TEST(AtomicWrite, ReplacesWholeFile)
{
    TempFolder dir;
    dir.write("a.ini", "old contents that are longer");
    writeFileAtomically(dir.file("a.ini"), "new");
    EXPECT_EQ(dir.read("a.ini"), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.ini"}); // no temporary left over
}

TEST(AtomicWrite, EverySaveReplacesTheFileWhileAReaderKeepsTheOldOne)
{
    // A save writes a new file and renames it over the old one: the old file is never opened for
    // writing, so a reader that holds it (or a crash in the middle of the write) still sees every old
    // byte. This holds for any user, root included.
    struct Case {
        const char* file;
        std::function<void(const TempFolder&)> save;
    };
    const Case cases[] = {
        {"a.ini", [](const TempFolder& d) { writeFileAtomically(d.file("a.ini"), "new"); }},
        {"al.ini",
         [](const TempFolder& d) {
             AlarmListStore store(d.path());
             store.save();
         }},
        {"Options.ini",
         [](const TempFolder& d) { saveOptions(d.file("Options.ini"), defaultOptions(d.path())); }},
        {"skinname.ini", [](const TempFolder& d) { WriteSkinChoice(d.path(), kSkinSantaClaus); }},
        {"autostart/Belvane.desktop",
         [](const TempFolder& d) {
             const QByteArray home = qgetenv("XDG_CONFIG_HOME");
             qputenv("XDG_CONFIG_HOME", d.path().toUtf8());
             XdgAutostart().setEnabled(true, "/opt/belvane/belvane");
             qputenv("XDG_CONFIG_HOME", home);
         }},
    };
    const QByteArray old = "the old contents, longer than any new ones would need to be to cover them all";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TempFolder dir;
        QDir(dir.path()).mkpath(QFileInfo(dir.file(c.file)).path());
        dir.write(c.file, old);
        const int held = ::open(QFile::encodeName(dir.file(c.file)).constData(), O_RDONLY);
        ASSERT_GE(held, 0);
        struct stat before {
        }, after{};
        ASSERT_EQ(::fstat(held, &before), 0);

        c.save(dir);

        ASSERT_EQ(::stat(QFile::encodeName(dir.file(c.file)).constData(), &after), 0);
        EXPECT_NE(after.st_ino, before.st_ino) << "the file was written in place";
        QByteArray seen(old.size() + 16, '\0');
        seen.resize(::pread(held, seen.data(), seen.size(), 0));
        ::close(held);
        EXPECT_EQ(seen, old) << "the file a reader held changed under it";
        EXPECT_NE(dir.read(c.file), old) << "nothing was saved";
    }
}

TEST(AtomicWrite, FailureInReadOnlyFolderKeepsOldFileAndNamesIt)
{
    TempFolder dir;
    dir.write("al.ini", "1\r\n");
    ReadOnlyFolder lock(dir.path());
    if (!lock.active())
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    try {
        writeFileAtomically(dir.file("al.ini"), "0\r\n");
        ADD_FAILURE() << "write into a read-only folder succeeded";
    } catch (const IoError& e) {
        EXPECT_TRUE(e.text().contains(dir.file("al.ini"))) << e.text().toStdString();
    }
    EXPECT_EQ(dir.read("al.ini"), "1\r\n");
}
