// Draws the pictures of the help book: both clock faces as the program places their pictures, the face
// with its menu, and the icon in a tray. Usage: make-help-pictures ASSET_FOLDER OUTPUT_FOLDER
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include "clockface/face_layout.h"

namespace {

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "make-help-pictures: %s\n", qPrintable(message));
    std::exit(1);
}

QImage load(const QString& path)
{
    QImage image(path);
    if (image.isNull())
        fail(QStringLiteral("%1: cannot load the picture").arg(path));
    return image;
}

void save(const QImage& image, const QDir& out, const QString& name)
{
    if (!image.save(out.filePath(name), "PNG"))
        fail(QStringLiteral("%1: cannot write the picture").arg(out.filePath(name)));
}

/// A face at a time, cut to the skin's outline (transparent outside it).
QImage face(const QDir& assets, const QString& skinName, QTime time)
{
    const QDir dir(assets.filePath(skinName));
    const SkinLayout layout = skinLayoutFor(skinName);
    const QImage background = load(dir.filePath("Background.bmp")).convertToFormat(QImage::Format_RGB32);
    std::array<QImage, 10> hours, seconds;
    SkinPictureSizes sizes;
    for (int d = 0; d < 10; ++d) {
        hours[d] = load(dir.filePath(QStringLiteral("hour_%1.bmp").arg(d)));
        seconds[d] =
            layout.secondsOwnDigits ? load(dir.filePath(QStringLiteral("Second_%1.bmp").arg(d))) : hours[d];
        sizes.hourDigits[d] = hours[d].size();
        sizes.secondDigits[d] = seconds[d].size();
    }
    const QImage am = load(dir.filePath("AM.bmp")), pm = load(dir.filePath("PM.bmp"));
    const QImage colonOn = load(dir.filePath("Colon_ON.bmp")), colonOff = load(dir.filePath("Colon_OFF.bmp"));
    sizes.am = am.size();
    sizes.pm = pm.size();
    sizes.colonOn = colonOn.size();
    sizes.colonOff = colonOff.size();

    QImage result = background.convertToFormat(QImage::Format_ARGB32);
    QPainter p(&result);
    for (const PicturePlacement& placed : placeFace(layout, sizes, time, false).all()) {
        if (!placed.visible)
            continue;
        const QImage* picture = nullptr;
        switch (placed.picture) {
        case FacePicture::HourDigit:
            picture = &hours.at(placed.digit);
            break;
        case FacePicture::SecondDigit:
            picture = &seconds.at(placed.digit);
            break;
        case FacePicture::Am:
            picture = &am;
            break;
        case FacePicture::Pm:
            picture = &pm;
            break;
        case FacePicture::ColonOn:
            picture = &colonOn;
            break;
        case FacePicture::ColonOff:
            picture = &colonOff;
            break;
        case FacePicture::None:
            continue;
        }
        p.drawImage(placed.rect.topLeft(), *picture);
    }
    p.end();
    const QRgb key = layout.useFixedKeyColour
                         ? qRgb(layout.keyColour.red, layout.keyColour.green, layout.keyColour.blue)
                         : background.pixel(0, 0);
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            if ((background.pixel(x, y) & 0xffffff) == (key & 0xffffff))
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
    return result;
}

/// The mouse pointer, its tip at `tip`.
void drawPointer(QPainter& p, QPointF tip)
{
    QPainterPath arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(0, 17);
    arrow.lineTo(4.5, 13);
    arrow.lineTo(7.5, 20);
    arrow.lineTo(10, 19);
    arrow.lineTo(7, 12);
    arrow.lineTo(12, 12);
    arrow.closeSubpath();
    p.save();
    p.translate(tip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    p.restore();
}

/// The program's main menu, as the menu widget draws it.
QImage mainMenu(const QDir& icons)
{
    auto glyph = [&](const char* name) {
        return QIcon(icons.filePath(QStringLiteral("menu-%1.png").arg(name)));
    };
    QMenu menu;
    menu.addAction(glyph("sendtotray"), QStringLiteral("隐藏"));
    menu.addSeparator();
    menu.addAction(glyph("alarms"), QStringLiteral("闹钟"));
    menu.addAction(glyph("options"), QStringLiteral("选项"));
    QMenu* skins = menu.addMenu(glyph("skins"), QStringLiteral("皮肤"));
    skins->addAction(QStringLiteral("电子表"));
    skins->addAction(QStringLiteral("圣诞老人"));
    menu.addSeparator();
    menu.addAction(glyph("about"), QStringLiteral("关于"));
    menu.addAction(glyph("help"), QStringLiteral("帮助"));
    menu.addSeparator();
    menu.addAction(glyph("exit"), QStringLiteral("退出"));
    menu.ensurePolished();
    menu.adjustSize();
    return menu.grab().toImage();
}

constexpr QRgb kDesktop = 0xff5b7fa6;

/// The Digital face with the menu opened by a right click on it, right-aligned to the pointer.
QImage faceWithMenu(const QImage& clock, const QImage& menu)
{
    const QPoint facePos(16, 16);
    const QPoint click = facePos + QPoint(clock.width() * 3 / 4, clock.height() / 2);
    const QPoint menuPos(click.x() - menu.width(), click.y());
    QImage canvas(qMax(facePos.x() + clock.width(), click.x()) + 40, menuPos.y() + menu.height() + 16,
                  QImage::Format_ARGB32);
    canvas.fill(kDesktop);
    QPainter p(&canvas);
    p.drawImage(facePos, clock);
    p.drawImage(menuPos, menu);
    drawPointer(p, click);
    return canvas;
}

/// A strip of a desktop panel with the program's icon, its tooltip shown.
QImage trayStrip(const QDir& icons)
{
    const QImage icon = load(icons.filePath("belvane-24.png"));
    QImage canvas(300, 84, QImage::Format_ARGB32);
    canvas.fill(kDesktop);
    QPainter p(&canvas);
    p.fillRect(QRect(0, 0, canvas.width(), 32), QColor(40, 44, 52));
    // Neighbours in the tray, as plain tiles.
    const QColor others[] = {QColor(120, 160, 110), QColor(170, 130, 90), QColor(110, 130, 180)};
    int x = 150;
    for (const QColor& c : others) {
        p.fillRect(QRect(x, 6, 20, 20), c);
        x += 30;
    }
    const QPoint iconPos(x, 4);
    p.drawImage(iconPos, icon);
    drawPointer(p, iconPos + QPoint(17, 17));

    QFont font = QApplication::font();
    p.setFont(font);
    const QString tip = QStringLiteral("Belvane");
    const QRect tipRect(iconPos.x() - 30, 40, p.fontMetrics().horizontalAdvance(tip) + 12,
                        p.fontMetrics().height() + 6);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(255, 255, 225));
    p.drawRect(tipRect);
    p.setPen(Qt::black);
    p.drawText(tipRect, Qt::AlignCenter, tip);
    return canvas;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC")});
    font.setPixelSize(12);
    QApplication::setFont(font);

    const QStringList args = app.arguments();
    if (args.size() != 3)
        fail(QStringLiteral("usage: make-help-pictures ASSET_FOLDER OUTPUT_FOLDER"));
    const QDir assets(args[1]);
    const QDir icons(assets.filePath("icons"));
    QDir out(args[2]);
    if (!out.mkpath("."))
        fail(QStringLiteral("%1: cannot create the folder").arg(args[2]));

    const QTime shown(8, 30, 15);
    const QImage digital = face(assets, "Digital", shown);
    save(digital, out, "face-digital.png");
    save(face(assets, "Santa Claus", shown), out, "face-santa-claus.png");
    save(faceWithMenu(digital, mainMenu(icons)), out, "face-menu.png");
    save(trayStrip(icons), out, "tray.png");
    return 0;
}
