// Draws every picture asset: the two skins and the icons. Usage: make-pictures ASSET_FOLDER
#include "paint_kit.h"
#include "pictures.h"

#include <QDir>
#include <QGuiApplication>

int main(int argc, char** argv) {
    // Only images are painted; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2)
        fail(QStringLiteral("usage: make-pictures ASSET_FOLDER"));
    const QDir assets(args[1]);
    for (const char* sub : {"Digital", "Santa Claus", "icons"}) {
        if (!assets.mkpath(sub))
            fail(QStringLiteral("%1: cannot create the folder").arg(assets.filePath(sub)));
    }
    makeDigitalSkin(assets.filePath("Digital"));
    makeSantaClausSkin(assets.filePath("Santa Claus"));
    makeIcons(assets.filePath("icons"));
    return 0;
}
