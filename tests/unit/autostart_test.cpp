#include <gtest/gtest.h>

#include <QDir>

#include "helpers/read_only_folder.h"
#include "helpers/temp_folder.h"
#include "platform/autostart.h"

namespace {

/// Points XDG_CONFIG_HOME at a fresh folder for one test.
struct ConfigHome {
    ConfigHome() : old(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", dir.path().toUtf8()); }
    ~ConfigHome() { qputenv("XDG_CONFIG_HOME", old); }
    TempFolder dir;
    QByteArray old;
};

} // namespace

TEST(XdgAutostart, EnableWritesBothKeysThatDesktopsReadAndDisableRemovesTheEntry)
{
    ConfigHome home;
    XdgAutostart autostart;
    EXPECT_EQ(XdgAutostart::entryPath(), home.dir.file("autostart/Belvane.desktop"));
    EXPECT_FALSE(autostart.isEnabled()) << "no entry yet";
    // Read as plain lines: a settings cache might not notice a rewritten file.
    auto lines = [&] { return QString::fromUtf8(home.dir.read("autostart/Belvane.desktop")).split('\n'); };

    // Some desktops read Hidden=, GNOME reads its own key: both must say the program starts.
    for (bool enabled : {true, false, true, false}) {
        autostart.setEnabled(enabled, "/opt/belvane/belvane");
        EXPECT_EQ(autostart.isEnabled(), enabled);
        EXPECT_EQ(home.dir.exists("autostart/Belvane.desktop"), enabled) << "a turned-off entry is removed";
        if (!enabled)
            continue;
        const QStringList entry = lines();
        EXPECT_EQ(entry.first(), "[Desktop Entry]");
        for (const char* line : {"Type=Application", "Name=Belvane", "Exec=/opt/belvane/belvane",
                                 "TryExec=/opt/belvane/belvane", "Hidden=false", "X-GNOME-Autostart-enabled=true"})
            EXPECT_EQ(entry.count(line), 1) << line;
    }
}

TEST(XdgAutostart, AnEntryTurnedOffByTheDesktopReadsAsOff)
{
    ConfigHome home;
    QDir(home.dir.path()).mkpath("autostart");
    struct Case {
        const char* situation;
        const char* text;
        bool enabled;
    };
    for (const Case& c : {
             Case{"hidden by an earlier version", "[Desktop Entry]\nExec=belvane\nHidden=true\n", false},
             {"switched off in GNOME's list",
              "[Desktop Entry]\nExec=belvane\nX-GNOME-Autostart-enabled=false\n", false},
             {"spaces around the equals sign", "[Desktop Entry]\nHidden = true\n", false},
             {"Hidden in another group", "[Desktop Entry]\nExec=belvane\n[Desktop Action a]\nHidden=true\n",
              true},
             {"written by hand", "[Desktop Entry]\nType=Application\nExec=belvane\n", true},
         }) {
        home.dir.write("autostart/Belvane.desktop", c.text);
        EXPECT_EQ(XdgAutostart().isEnabled(), c.enabled) << c.situation;
    }
}

TEST(XdgAutostart, ExecQuotesPathsWithReservedCharacters)
{
    struct Case {
        const char* path;
        const char* exec; // as it stands in the file
    };
    for (Case c : {Case{"/opt/belvane/belvane", "/opt/belvane/belvane"},
                   {"/home/u/My Clock/belvane", "\"/home/u/My Clock/belvane\""},
                   {"/home/u/a$b/belvane", "\"/home/u/a\\\\$b/belvane\""},
                   {"/home/u/100%/belvane", "/home/u/100%%/belvane"},
                   // Quoted, each of \ " ` $ takes a backslash; the file's string escape then doubles
                   // every backslash: a backslash in the path is four in the file.
                   {"/home/u/a\\b/belvane", "\"/home/u/a\\\\\\\\b/belvane\""},
                   {"/home/u/a\"b/belvane", "\"/home/u/a\\\\\"b/belvane\""},
                   {"/home/u/a`b/belvane", "\"/home/u/a\\\\`b/belvane\""},
                   {"/home/u/My 100%/belvane", "\"/home/u/My 100%%/belvane\""},
                   {"/home/u/闹钟/belvane", "/home/u/闹钟/belvane"}}) {
        EXPECT_EQ(XdgAutostart::execArgument(QString::fromUtf8(c.path)), QString::fromUtf8(c.exec)) << c.path;
    }
}

TEST(XdgAutostart, ExecRepeatsTheOptionsOfTheRunEachQuotedOnItsOwn)
{
    ConfigHome home;
    XdgAutostart autostart({"--data-dir", "/home/u/数据 %1 \"q\"", "--lang", "en"});
    autostart.setEnabled(true, "/opt/belvane/belvane");
    const QStringList entry = QString::fromUtf8(home.dir.read("autostart/Belvane.desktop")).split('\n');
    EXPECT_TRUE(entry.contains(QString::fromUtf8(
        "Exec=/opt/belvane/belvane --data-dir \"/home/u/数据 %%1 \\\\\"q\\\\\"\" --lang en")))
        << entry.join('\n').toStdString();
}

TEST(XdgAutostart, UnwritableFolderWritesNothingAndSaysNothing)
{
    ConfigHome home;
    ReadOnlyFolder lock(home.dir.path());
    if (!lock.active())
        GTEST_SKIP() << "cannot make a folder read-only here";
    XdgAutostart autostart;
    EXPECT_NO_THROW(autostart.setEnabled(true, "/opt/belvane/belvane"));
    EXPECT_FALSE(home.dir.exists("autostart/Belvane.desktop"));
}
