#include <gtest/gtest.h>

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

TEST(XdgAutostart, EnableWritesEntryAndDisableKeepsItHidden)
{
    ConfigHome home;
    XdgAutostart autostart;
    EXPECT_EQ(XdgAutostart::entryPath(), home.dir.file("autostart/Belvane.desktop"));
    // Read as plain lines: the two entries have the same size, and a settings cache might not notice.
    auto lines = [&] { return QString::fromUtf8(home.dir.read("autostart/Belvane.desktop")).split('\n'); };

    autostart.setEnabled(true, "/opt/belvane/belvane");
    QStringList entry = lines();
    EXPECT_EQ(entry.first(), "[Desktop Entry]");
    for (const char* line : {"Type=Application", "Name=Belvane", "Exec=/opt/belvane/belvane", "Hidden=false"})
        EXPECT_TRUE(entry.contains(line)) << line;

    autostart.setEnabled(false, "/opt/belvane/belvane");
    entry = lines();
    for (const char* line : {"Exec=/opt/belvane/belvane", "Hidden=true"})
        EXPECT_TRUE(entry.contains(line)) << line;
    EXPECT_FALSE(entry.contains("Hidden=false"));
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
                   {"/home/u/闹钟/belvane", "/home/u/闹钟/belvane"}}) {
        EXPECT_EQ(XdgAutostart::execArgument(QString::fromUtf8(c.path)), QString::fromUtf8(c.exec)) << c.path;
    }
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
