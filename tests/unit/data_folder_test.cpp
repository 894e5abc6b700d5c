#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "helpers/read_only_folder.h"
#include "helpers/temp_folder.h"
#include "platform/data_folder.h"

namespace {

/// Points $XDG_CONFIG_HOME at a fresh folder for one test.
struct FreshConfigHome {
    FreshConfigHome() { qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit()); }
    ~FreshConfigHome() { qunsetenv("XDG_CONFIG_HOME"); }
    QString userFolder() const { return home.path() + "belvane/"; }
    TempFolder home;
};

QStringList listing(const QString& folder)
{
    QStringList out;
    for (const QFileInfo& f :
         QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        out << f.fileName() + QLatin1Char(' ') + QString::number(f.size());
    return out;
}

} // namespace

TEST(DataFolder, ChosenOnceFromTheCommandLineThePortableCopyOrTheUserFolder)
{
    struct Case {
        const char* situation;
        QStringList programFiles;
        bool requested;
        const char* expected; // "program", "requested" or "user"
    };
    const Case cases[] = {
        {"fresh install, nothing stored", {}, false, "user"},
        {"portable copy with its alarm list", {"al.ini"}, false, "program"},
        {"portable copy with only its options", {"Options.ini"}, false, "program"},
        {"only a skin choice beside the program", {"skinname.ini"}, false, "user"},
        {"a folder on the command line beats a portable copy", {"al.ini"}, true, "requested"},
    };
    for (const Case& c : cases) {
        TempFolder program, home, requested;
        for (const QString& name : c.programFiles)
            program.write(name, "0\r\n");
        const QString got =
            chooseDataFolder(program.path(), c.requested ? requested.path() : QString(), home.path());
        const QString expected = QString::fromLatin1(c.expected) == "program"     ? program.path()
                                 : QString::fromLatin1(c.expected) == "requested" ? requested.path()
                                                                                  : home.path() + "belvane/";
        EXPECT_EQ(got, expected) << c.situation;
    }
}

TEST(DataFolder, ReadOnlyPortableCopyIsNotUsedInPlace)
{
    TempFolder program, home;
    program.write("al.ini", "0\r\n");
    ReadOnlyFolder readOnly(program.path());
    if (!readOnly.active())
        GTEST_SKIP() << "this file system cannot refuse writes to its owner";
    EXPECT_EQ(chooseDataFolder(program.path(), {}, home.path()), home.path() + "belvane/");
}

TEST(DataFolder, UserFolderIsCreatedAndFilledOnceFromAReadOnlyProgramFolder)
{
    FreshConfigHome config;
    TempFolder program;
    const QByteArray list =
        "1\r\nx\r\n\xc3\xbf\xcc\xec \r\n07:00:00\r\n--\r\n070000\r\n07122026\r\n0111110\r\n17\r\n";
    program.write("al.ini", list);
    program.write("17.ini", "***Frequency***\r\n2\r\n");
    program.write("Options.ini", "***General***\r\n");
    program.write("skinname.ini", "[Skin]\r\n");
    program.write("readme.txt", "not the user's");
    QDir(program.path()).mkpath("sounds");
    const QStringList before = listing(program.path());
    ReadOnlyFolder readOnly(program.path());
    if (!readOnly.active())
        GTEST_SKIP() << "this file system cannot refuse writes to its owner";

    const QString data = settleDataFolder(program.path(), {});
    ASSERT_EQ(data, config.userFolder());
    EXPECT_EQ(listing(data), (QStringList{"17.ini 20", "Options.ini 15",
                                          "al.ini " + QString::number(list.size()), "skinname.ini 8"}));
    QFile copied(data + "al.ini");
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), list);
    EXPECT_TRUE(QFileInfo(data + "al.ini").isWritable());
    EXPECT_EQ(listing(program.path()), before) << "the program folder is only read";

    // Once: a later start finds the folder and copies nothing again, even what the user deleted.
    QFile::remove(data + "17.ini");
    EXPECT_EQ(settleDataFolder(program.path(), {}), data);
    EXPECT_FALSE(QFile::exists(data + "17.ini"));
}

TEST(DataFolder, WritableFolderAndCommandLineFolderCopyNothing)
{
    FreshConfigHome config;
    TempFolder program, requested;
    program.write("skinname.ini", "[Skin]\r\n"); // writable, so the user keeps it where it is
    EXPECT_EQ(settleDataFolder(program.path(), {}), config.userFolder());
    EXPECT_TRUE(QDir(config.userFolder()).isEmpty());

    const QString asked = requested.path() + "alarms/today";
    EXPECT_EQ(settleDataFolder(program.path(), asked), asked + "/");
    EXPECT_TRUE(QDir(asked).exists());
    EXPECT_TRUE(QDir(asked).isEmpty());
}

TEST(DataFolder, AFolderOnTheCommandLineGetsNeitherTheOneTimeCopyNorAPrivateMode)
{
    FreshConfigHome config;
    TempFolder program, requested;
    program.write("al.ini",
                  "0\r\n"); // a read-only program folder with a user's list: copied for the per-user folder
    ReadOnlyFolder lock(program.path());
    if (!lock.active())
        GTEST_SKIP() << "this file system cannot refuse writes to its owner";
    const mode_t before = umask(022);
    const QString asked = requested.path() + "mine";
    EXPECT_EQ(settleDataFolder(program.path(), asked), asked + "/");
    umask(before);
    EXPECT_TRUE(QDir(asked).isEmpty()) << "the copy is for the per-user folder, not one the user named";
    EXPECT_TRUE(QFileInfo(asked).permissions().testFlag(QFileDevice::ReadOther))
        << "the folder the user named keeps the mode it was made with";
}
