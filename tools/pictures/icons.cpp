// The program icon (an alarm clock) as SVG and as PNGs of the usual sizes, and the 16x16 glyphs of the
// main menu. The icon is one list of shapes, written to SVG and painted with QPainter alike, so the
// two forms cannot drift apart.
#include "paint_kit.h"
#include "pictures.h"

#include <cmath>
#include <vector>

#include <QDir>
#include <QSaveFile>
#include <QStringList>

namespace {

struct Shape {
    enum Kind { Circle, Line, Polygon } kind;
    std::vector<QPointF> points; // circle: centre; line: the two ends; polygon: corners
    qreal radius = 0;
    QColor fill;       // invalid: no fill
    QColor stroke;     // invalid: no stroke
    qreal width = 0;   // stroke width
    int minSize = 0;   // painted only at this size and larger (always in the SVG)
    qreal boost = 1.0; // stroke width factor below 32 pixels, so thin parts stay visible
};

const QColor kDark(62, 34, 36);
const QColor kRed(214, 52, 52);
const QColor kGoldBell(244, 190, 52);
const QColor kFace(252, 250, 244);
const QColor kHands(44, 44, 56);

QPointF onDial(qreal hours, qreal radius) {
    const qreal a = hours / 12.0 * 2.0 * M_PI;
    return {128.0 + radius * std::sin(a), 142.0 - radius * std::cos(a)};
}

std::vector<Shape> clockIcon() {
    std::vector<Shape> s;
    s.push_back({Shape::Line, {{80, 206}, {56, 238}}, 0, {}, kDark, 20, 0, 1.3});
    s.push_back({Shape::Line, {{176, 206}, {200, 238}}, 0, {}, kDark, 20, 0, 1.3});
    s.push_back({Shape::Line, {{128, 48}, {128, 26}}, 0, {}, kDark, 12, 0, 1.0});
    s.push_back({Shape::Circle, {{128, 22}}, 11, kDark, {}, 0, 0, 1.0});
    s.push_back({Shape::Circle, {{70, 66}}, 42, kGoldBell, kDark, 9, 0, 1.4});
    s.push_back({Shape::Circle, {{186, 66}}, 42, kGoldBell, kDark, 9, 0, 1.4});
    s.push_back({Shape::Circle, {{128, 142}}, 98, kRed, kDark, 10, 0, 1.4});
    s.push_back({Shape::Circle, {{128, 142}}, 74, kFace, {}, 0, 0, 1.0});
    for (int h = 0; h < 12; ++h) {
        const bool major = h % 3 == 0;
        s.push_back({Shape::Line,
                     {onDial(h, major ? 54 : 60), onDial(h, 67)},
                     0,
                     {},
                     kHands,
                     major ? 9.0 : 6.0,
                     32,
                     1.0});
    }
    s.push_back({Shape::Line, {onDial(0, 0), onDial(10.2, 40)}, 0, {}, kHands, 15, 0, 1.6});
    s.push_back({Shape::Line, {onDial(0, 0), onDial(2, 56)}, 0, {}, kHands, 10, 0, 1.6});
    s.push_back({Shape::Circle, {onDial(0, 0)}, 9, kRed, {}, 0, 24, 1.0});
    return s;
}

void paint(QPainter& p, const std::vector<Shape>& shapes, int size) {
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    for (const Shape& shape : shapes) {
        if (size < shape.minSize)
            continue;
        const qreal width = shape.width * (size < 32 ? shape.boost : 1.0);
        p.setPen(shape.stroke.isValid()
                     ? QPen(shape.stroke, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                     : QPen(Qt::NoPen));
        p.setBrush(shape.fill.isValid() ? QBrush(shape.fill) : QBrush(Qt::NoBrush));
        switch (shape.kind) {
        case Shape::Circle:
            p.drawEllipse(shape.points[0], shape.radius, shape.radius);
            break;
        case Shape::Line:
            p.drawLine(shape.points[0], shape.points[1]);
            break;
        case Shape::Polygon:
            p.drawPolygon(shape.points.data(), int(shape.points.size()));
            break;
        }
    }
}

QString svgColour(QColor c) {
    return c.isValid() ? c.name() : QStringLiteral("none");
}

QString number(qreal v) {
    return QString::number(std::round(v * 100.0) / 100.0, 'g', 10);
}

QByteArray svg(const std::vector<Shape>& shapes) {
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                                 "viewBox=\"0 0 256 256\">\n"
                                 "  <title>Belvane</title>\n");
    for (const Shape& shape : shapes) {
        const QString paintAttrs =
            QStringLiteral(" fill=\"%1\" stroke=\"%2\"%3")
                .arg(svgColour(shape.fill), svgColour(shape.stroke),
                     shape.stroke.isValid() ? QStringLiteral(" stroke-width=\"%1\" stroke-linecap=\"round\" "
                                                             "stroke-linejoin=\"round\"")
                                                  .arg(number(shape.width))
                                            : QString());
        switch (shape.kind) {
        case Shape::Circle:
            out += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\"%4/>\n")
                       .arg(number(shape.points[0].x()), number(shape.points[0].y()), number(shape.radius),
                            paintAttrs);
            break;
        case Shape::Line:
            out += QStringLiteral("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"%5/>\n")
                       .arg(number(shape.points[0].x()), number(shape.points[0].y()),
                            number(shape.points[1].x()), number(shape.points[1].y()), paintAttrs);
            break;
        case Shape::Polygon: {
            QStringList corners;
            for (QPointF pt : shape.points)
                corners << number(pt.x()) + ',' + number(pt.y());
            out += QStringLiteral("  <polygon points=\"%1\"%2/>\n").arg(corners.join(' '), paintAttrs);
            break;
        }
        }
    }
    out += QStringLiteral("</svg>\n");
    return out.toUtf8();
}

// ----------------------------------------------------------------------------------- menu glyphs

using Glyph = void (*)(QPainter&);

QPen pen(QColor c, qreal w) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void sendToTray(QPainter& p) {
    p.setPen(pen(kDark, 1.0));
    p.setBrush(kFace);
    p.drawRect(QRectF(1.5, 1.5, 9, 7));
    p.fillRect(QRectF(2, 2, 8, 2), QColor(60, 110, 200));
    p.setPen(pen(QColor(40, 140, 70), 1.8));
    p.drawLine(QPointF(12.5, 3), QPointF(12.5, 10));
    p.drawPolyline(QPolygonF({{10.2, 8}, {12.5, 10.5}, {14.8, 8}}));
    p.setPen(pen(kDark, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{1.5, 11}, {1.5, 14.5}, {14.5, 14.5}, {14.5, 12.5}}));
}

void alarms(QPainter& p) {
    p.setPen(pen(kDark, 1.0));
    p.setBrush(kGoldBell);
    p.drawEllipse(QPointF(3.8, 3.8), 2.6, 2.6);
    p.drawEllipse(QPointF(12.2, 3.8), 2.6, 2.6);
    p.setPen(pen(kDark, 1.4));
    p.drawLine(QPointF(4.5, 13.5), QPointF(3, 15));
    p.drawLine(QPointF(11.5, 13.5), QPointF(13, 15));
    p.setPen(pen(kDark, 1.0));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(8, 9), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(kFace);
    p.drawEllipse(QPointF(8, 9), 4.3, 4.3);
    p.setPen(pen(kHands, 1.2));
    p.drawPolyline(QPolygonF({{8, 6}, {8, 9}, {10.2, 10.2}}));
}

void options(QPainter& p) {
    QPainterPath gear;
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(8, 8);
        t.rotate(i * 45.0);
        gear.addPolygon(t.map(QPolygonF(QRectF(-1.6, -7.4, 3.2, 3.4))));
        gear.closeSubpath();
    }
    gear.addEllipse(QPointF(8, 8), 5.3, 5.3);
    gear = gear.simplified();
    QPainterPath hole;
    hole.addEllipse(QPointF(8, 8), 2.0, 2.0);
    p.setPen(pen(kDark, 1.0));
    p.setBrush(QColor(140, 148, 160));
    p.drawPath(gear.subtracted(hole));
}

void skins(QPainter& p) {
    QPainterPath palette;
    palette.addEllipse(QRectF(1, 2, 14, 12));
    QPainterPath thumb;
    thumb.addEllipse(QPointF(10.5, 10.5), 1.7, 1.7);
    QPainterPath notch;
    notch.addEllipse(QPointF(13.5, 13), 2.6, 2.6);
    p.setPen(pen(kDark, 1.0));
    p.setBrush(QColor(232, 200, 146));
    p.drawPath(palette.subtracted(thumb).subtracted(notch));
    p.setPen(Qt::NoPen);
    const QPointF dots[] = {{4.5, 6.5}, {8, 4.8}, {11.6, 6.2}, {4.6, 10.2}};
    const QColor colours[] = {kRed, QColor(40, 150, 70), QColor(50, 100, 210), kGoldBell};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colours[i]);
        p.drawEllipse(dots[i], 1.5, 1.5);
    }
}

void roundBadge(QPainter& p, QColor colour) {
    p.setPen(pen(colour.darker(150), 1.0));
    p.setBrush(colour);
    p.drawEllipse(QPointF(8, 8), 7, 7);
}

void about(QPainter& p) {
    roundBadge(p, QColor(40, 150, 120));
    p.setPen(pen(Qt::white, 2.0));
    p.drawLine(QPointF(8, 7.2), QPointF(8, 11.8));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 4.4), 1.2, 1.2);
}

void help(QPainter& p) {
    roundBadge(p, QColor(50, 100, 210));
    QPainterPath question;
    question.moveTo(5.6, 6.0);
    question.cubicTo(5.6, 3.2, 10.4, 3.2, 10.4, 5.8);
    question.cubicTo(10.4, 7.6, 8, 7.6, 8, 9.6);
    p.setPen(pen(Qt::white, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(question);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 12.2), 1.15, 1.15);
}

void exitGlyph(QPainter& p) {
    p.setPen(pen(kDark, 1.0));
    p.setBrush(QColor(170, 110, 60));
    p.drawRect(QRectF(1.5, 1.5, 8, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(kGoldBell);
    p.drawEllipse(QPointF(7.6, 8.5), 0.9, 0.9);
    p.setPen(pen(kRed, 2.0));
    p.drawLine(QPointF(8.5, 8), QPointF(13.5, 8));
    p.setPen(pen(kRed, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{11.6, 5.4}, {14.4, 8}, {11.6, 10.6}}));
}

void writeSvg(const QByteArray& bytes, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        fail(QStringLiteral("%1: cannot write: %2").arg(path, file.errorString()));
}

} // namespace

void makeIcons(const QString& folder) {
    const QDir dir(folder);
    const std::vector<Shape> icon = clockIcon();
    writeSvg(svg(icon), dir.filePath("belvane.svg"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image = newArt(size, size);
        QPainter p(&image);
        paint(p, icon, size);
        p.end();
        writePng(image, dir.filePath(QStringLiteral("belvane-%1.png").arg(size)));
    }
    const std::pair<const char*, Glyph> glyphs[] = {
        {"menu-sendtotray.png", sendToTray}, {"menu-alarms.png", alarms}, {"menu-options.png", options},
        {"menu-skins.png", skins},           {"menu-about.png", about},   {"menu-help.png", help},
        {"menu-exit.png", exitGlyph},
    };
    for (auto [name, draw] : glyphs) {
        QImage image = newArt(16, 16);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        p.end();
        writePng(image, dir.filePath(name));
    }
}
