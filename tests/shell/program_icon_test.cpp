#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QIcon>

#include "helpers/temp_folder.h"
#include "shell/program_icon.h"

// Offscreen there is no icon theme: the program's icon is the one built into it.

TEST(ProgramIcon, WithoutAThemeItIsTheBuiltInIconAtEverySize)
{
    const QIcon icon = programIcon();
    QList<int> sizes;
    for (const QSize& size : icon.availableSizes()) {
        EXPECT_EQ(size.width(), size.height());
        sizes << size.width();
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (QList<int>{16, 22, 24, 32, 48, 64, 128, 256}));
    EXPECT_EQ(icon.pixmap(48).size(), QSize(48, 48)); // drawn from its own picture, not scaled up
}

TEST(ProgramIcon, AProgramFolderWithIconsAddsThemAfterTheDesktopsOwn)
{
    const QStringList desktops = {QStringLiteral("/nonexistent/share/icons"), QStringLiteral(":/icons")};
    QIcon::setThemeSearchPaths(desktops);
    TempFolder installed; // an installed program folder: its icons lie in the desktop's theme folders
    addProgramIconsToTheme(installed.path());
    EXPECT_EQ(QIcon::themeSearchPaths(), desktops);

    TempFolder built;
    QDir(built.path()).mkpath(QStringLiteral("icons/hicolor/16x16/apps"));
    for (int start = 0; start < 2; ++start) // a second call changes nothing
        addProgramIconsToTheme(built.path());
    EXPECT_EQ(QIcon::themeSearchPaths(), desktops + QStringList{QDir::cleanPath(built.file("icons"))});
    QIcon::setThemeSearchPaths({});
}
