#include <gtest/gtest.h>

#include <QSettings>

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
    const QString entry = home.dir.file("autostart/Belvane.desktop");
    EXPECT_EQ(XdgAutostart::entryPath(), entry);

    autostart.setEnabled(true, "/opt/belvane/belvane");
    {
        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup("Desktop Entry");
        EXPECT_EQ(desktop.value("Type").toString(), "Application");
        EXPECT_EQ(desktop.value("Exec").toString(), "/opt/belvane/belvane");
        EXPECT_EQ(desktop.value("Hidden").toString(), "false");
    }
    autostart.setEnabled(false, "/opt/belvane/belvane");
    QSettings desktop(entry, QSettings::IniFormat);
    desktop.beginGroup("Desktop Entry");
    EXPECT_EQ(desktop.value("Hidden").toString(), "true");
    EXPECT_EQ(desktop.value("Exec").toString(), "/opt/belvane/belvane");
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
