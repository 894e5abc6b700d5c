// Composes the clock faces as the program places the pictures, for looking at the skins: every skin at
// 00:07:09, 12:00:00 (also with the dark colon) and 23:59:59, in 12- and 24-hour form. What the window
// outline cuts away shows as a grey checkerboard. Writes one PNG per face and one sheet per skin, twice
// the size. Usage: compose-face ASSET_FOLDER OUTPUT_FOLDER
#include "paint_kit.h"

#include <cstdio>

#include <QDir>
#include <QGuiApplication>

#include "clockface/face_layout.h"

namespace {

struct Skin {
    QImage background, am, pm, colonOn, colonOff;
    std::array<QImage, 10> hourDigits, secondDigits;
    SkinPictureSizes sizes;
};

QImage load(const QDir& dir, const QString& name) {
    QImage image(dir.filePath(name));
    if (image.isNull())
        fail(QStringLiteral("%1: cannot load the picture").arg(dir.filePath(name)));
    return image.convertToFormat(QImage::Format_RGB32);
}

Skin loadSkin(const QDir& dir, const SkinLayout& layout) {
    Skin skin;
    skin.background = load(dir, "Background.bmp");
    for (int d = 0; d < 10; ++d) {
        skin.hourDigits[d] = load(dir, QStringLiteral("hour_%1.bmp").arg(d));
        skin.secondDigits[d] =
            layout.secondsOwnDigits ? load(dir, QStringLiteral("Second_%1.bmp").arg(d)) : skin.hourDigits[d];
        skin.sizes.hourDigits[d] = skin.hourDigits[d].size();
        skin.sizes.secondDigits[d] = skin.secondDigits[d].size();
    }
    skin.am = load(dir, "AM.bmp");
    skin.pm = load(dir, "PM.bmp");
    skin.colonOn = load(dir, "Colon_ON.bmp");
    skin.colonOff = load(dir, "Colon_OFF.bmp");
    skin.sizes.am = skin.am.size();
    skin.sizes.pm = skin.pm.size();
    skin.sizes.colonOn = skin.colonOn.size();
    skin.sizes.colonOff = skin.colonOff.size();
    return skin;
}

const QImage& pictureOf(const Skin& skin, const PicturePlacement& placed) {
    switch (placed.picture) {
    case FacePicture::HourDigit:
        return skin.hourDigits.at(placed.digit);
    case FacePicture::SecondDigit:
        return skin.secondDigits.at(placed.digit);
    case FacePicture::Am:
        return skin.am;
    case FacePicture::Pm:
        return skin.pm;
    case FacePicture::ColonOn:
        return skin.colonOn;
    case FacePicture::ColonOff:
        return skin.colonOff;
    case FacePicture::None:
        break;
    }
    fail(QStringLiteral("no picture to draw"));
}

QImage compose(const Skin& skin, const SkinLayout& layout, QTime time, bool military, const QString& label) {
    const QRgb key = layout.useFixedKeyColour
                         ? qRgb(layout.keyColour.red, layout.keyColour.green, layout.keyColour.blue)
                         : skin.background.pixel(0, 0);
    QImage face = skin.background.copy();
    QPainter p(&face);
    const FacePlacement placement = placeFace(layout, skin.sizes, time, military);
    for (const PicturePlacement& placed : placement.all()) {
        if (!placed.visible)
            continue;
        if (!face.rect().contains(placed.rect))
            std::fprintf(stderr, "%s: a picture at (%d, %d) reaches outside the background\n",
                         qPrintable(label), placed.rect.x(), placed.rect.y());
        p.drawImage(placed.rect.topLeft(), pictureOf(skin, placed));
    }
    p.end();
    // The window shows only the background's non-key pixels: cut the rest away.
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            if ((skin.background.pixel(x, y) & 0xffffff) == (key & 0xffffff))
                face.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(200, 200, 200) : qRgb(236, 236, 236));
    return face;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        fail(QStringLiteral("usage: compose-face ASSET_FOLDER OUTPUT_FOLDER"));
    const QDir assets(args[1]);
    QDir out(args[2]);
    if (!out.mkpath("."))
        fail(QStringLiteral("%1: cannot create the folder").arg(args[2]));

    const QTime times[] = {QTime(0, 7, 9), QTime(12, 0, 0), QTime(12, 0, 0, 750), QTime(23, 59, 59)};
    for (const char* name : {"Digital", "Santa Claus"}) {
        const SkinLayout layout = skinLayoutFor(name);
        const Skin skin = loadSkin(QDir(assets.filePath(name)), layout);
        const QSize cell = skin.background.size() * 2;
        QImage sheet(cell.width() * 2 + 12, (cell.height() + 4) * int(std::size(times)) + 4,
                     QImage::Format_RGB32);
        sheet.fill(qRgb(90, 90, 96));
        QPainter sheetPainter(&sheet);
        int row = 0;
        for (QTime time : times) {
            for (bool military : {false, true}) {
                const QString label = QStringLiteral("%1-%2-%3")
                                          .arg(QString::fromLatin1(name).remove(' '),
                                               military ? "24h" : "12h", time.toString("HHmmss.zzz"));
                const QImage face = compose(skin, layout, time, military, label);
                writePng(face, out.filePath(label + ".png"));
                sheetPainter.drawImage(
                    QPoint(4 + (military ? cell.width() + 4 : 0), 4 + row * (cell.height() + 4)),
                    face.scaled(cell));
            }
            ++row;
        }
        sheetPainter.end();
        writePng(sheet, out.filePath(QString::fromLatin1(name).remove(' ') + "-sheet.png"));
    }
    return 0;
}
