#include "paint_kit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QBuffer>
#include <QSaveFile>
#include <QtEndian>

void fail(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

QImage newArt(int width, int height) {
    QImage art(width, height, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    return art;
}

namespace {

QRgb over(QRgb premultiplied, QColor ground) {
    const int a = qAlpha(premultiplied);
    const auto mix = [a](int top, int bottom) {
        return qBound(0, top + (bottom * (255 - a) + 127) / 255, 255);
    };
    return qRgb(mix(qRed(premultiplied), ground.red()), mix(qGreen(premultiplied), ground.green()),
                mix(qBlue(premultiplied), ground.blue()));
}

void save(const QByteArray& bytes, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        fail(QStringLiteral("%1: cannot write: %2").arg(path, file.errorString()));
}

void put16(QByteArray& out, quint16 v) {
    v = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&v), 2);
}

void put32(QByteArray& out, quint32 v) {
    v = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&v), 4);
}

} // namespace

QImage cutOut(const QImage& art, QColor edge, QColor key) {
    const QImage source = art.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(source.size(), QImage::Format_RGB32);
    const QRgb keyRgb = key.rgb() | 0xff000000u;
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if (qAlpha(in[x]) < 128) {
                line[x] = keyRgb;
                continue;
            }
            QRgb c = over(in[x], edge);
            if (c == keyRgb)
                c = qRgb(qRed(c) > 0 ? qRed(c) - 1 : 1, qGreen(c), qBlue(c));
            line[x] = c;
        }
    }
    return out;
}

QImage onGround(const QImage& art, QColor ground) {
    const QImage source = art.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            line[x] = over(in[x], ground);
    }
    return out;
}

void writeBmp(const QImage& image, const QString& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    const int rowBytes = (w * 3 + 3) & ~3;
    const quint32 pixelBytes = quint32(rowBytes) * quint32(h);
    QByteArray out;
    out.reserve(54 + int(pixelBytes));
    out.append("BM", 2);
    put32(out, 54 + pixelBytes); // file size
    put32(out, 0);               // reserved
    put32(out, 54);              // offset of the pixels
    put32(out, 40);              // BITMAPINFOHEADER
    put32(out, quint32(w));
    put32(out, quint32(h)); // positive: rows stored bottom-up
    put16(out, 1);          // planes
    put16(out, 24);         // bits per pixel
    put32(out, 0);          // BI_RGB, no compression
    put32(out, pixelBytes);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(char(qBlue(line[x])));
            out.append(char(qGreen(line[x])));
            out.append(char(qRed(line[x])));
        }
        out.append(rowBytes - w * 3, '\0');
    }
    save(out, path);
}

void writePng(const QImage& image, const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        fail(QStringLiteral("%1: cannot encode PNG").arg(path));
    save(bytes, path);
}

QPainterPath strokeGlyph(char c) {
    QPainterPath p;
    switch (c) {
    case '0':
        p.addEllipse(QRectF(0.0, 0.0, 1.0, 1.0));
        break;
    case '1':
        p.moveTo(0.2, 0.22);
        p.lineTo(0.6, 0.0);
        p.lineTo(0.6, 1.0);
        break;
    case '2':
        p.moveTo(0.04, 0.25);
        p.cubicTo(0.08, -0.06, 0.96, -0.08, 0.94, 0.28);
        p.cubicTo(0.92, 0.52, 0.3, 0.7, 0.0, 1.0);
        p.lineTo(1.0, 1.0);
        break;
    case '3':
        p.moveTo(0.04, 0.16);
        p.cubicTo(0.3, -0.06, 0.94, -0.04, 0.9, 0.26);
        p.cubicTo(0.87, 0.45, 0.6, 0.48, 0.38, 0.48);
        p.moveTo(0.38, 0.48);
        p.cubicTo(0.76, 0.48, 1.02, 0.6, 0.98, 0.78);
        p.cubicTo(0.94, 1.05, 0.22, 1.06, 0.0, 0.84);
        break;
    case '4':
        p.moveTo(0.74, 1.0);
        p.lineTo(0.74, 0.0);
        p.lineTo(0.0, 0.68);
        p.lineTo(1.0, 0.68);
        break;
    case '5':
        p.moveTo(0.92, 0.0);
        p.lineTo(0.16, 0.0);
        p.lineTo(0.08, 0.44);
        p.cubicTo(0.4, 0.3, 1.0, 0.38, 0.98, 0.7);
        p.cubicTo(0.95, 1.05, 0.22, 1.06, 0.0, 0.84);
        break;
    case '6':
        p.moveTo(0.86, 0.08);
        p.cubicTo(0.5, -0.1, 0.02, 0.08, 0.02, 0.66);
        p.addEllipse(QRectF(0.02, 0.38, 0.96, 0.62));
        break;
    case '7':
        p.moveTo(0.0, 0.0);
        p.lineTo(1.0, 0.0);
        p.lineTo(0.36, 1.0);
        break;
    case '8':
        p.addEllipse(QRectF(0.1, 0.0, 0.8, 0.46));
        p.addEllipse(QRectF(0.02, 0.46, 0.96, 0.54));
        break;
    case '9':
        p.addEllipse(QRectF(0.02, 0.0, 0.96, 0.62));
        p.moveTo(0.98, 0.34);
        p.cubicTo(0.98, 0.92, 0.5, 1.1, 0.14, 0.92);
        break;
    case 'A':
        p.moveTo(0.0, 1.0);
        p.lineTo(0.5, 0.0);
        p.lineTo(1.0, 1.0);
        p.moveTo(0.22, 0.62);
        p.lineTo(0.78, 0.62);
        break;
    case 'M':
        p.moveTo(0.0, 1.0);
        p.lineTo(0.0, 0.0);
        p.lineTo(0.5, 0.62);
        p.lineTo(1.0, 0.0);
        p.lineTo(1.0, 1.0);
        break;
    case 'P':
        p.moveTo(0.0, 1.0);
        p.lineTo(0.0, 0.0);
        p.lineTo(0.56, 0.0);
        p.cubicTo(1.06, 0.0, 1.06, 0.56, 0.56, 0.56);
        p.lineTo(0.0, 0.56);
        break;
    default:
        fail(QStringLiteral("no stroke glyph for '%1'").arg(QChar(c)));
    }
    return p;
}

void drawStrokeText(QPainter& painter, const char* text, const QRectF& box, qreal gap, const QPen& pen) {
    const int count = int(qstrlen(text));
    const qreal width = (box.width() - gap * (count - 1)) / count;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen);
    for (int i = 0; i < count; ++i) {
        QTransform place;
        place.translate(box.left() + i * (width + gap), box.top());
        place.scale(width, box.height());
        painter.drawPath(place.map(strokeGlyph(text[i])));
    }
    painter.restore();
}

namespace {

// Segment order a (top), b (upper right), c (lower right), d (bottom), e (lower left), f (upper left),
// g (middle), as lit for each digit.
constexpr const char* kSegments[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                       "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};

QPolygonF segment(QPointF from, QPointF to, qreal t) {
    const qreal h = t / 2;
    if (from.y() == to.y())
        return QPolygonF({from,
                          {from.x() + h, from.y() - h},
                          {to.x() - h, to.y() - h},
                          to,
                          {to.x() - h, to.y() + h},
                          {from.x() + h, from.y() + h}});
    return QPolygonF({from,
                      {from.x() + h, from.y() + h},
                      {to.x() + h, to.y() - h},
                      to,
                      {to.x() - h, to.y() - h},
                      {from.x() - h, from.y() + h}});
}

QTransform lean(const QRectF& box, qreal slant) {
    // Lean about the middle row, so the digit stays centred in its box.
    const qreal mid = box.center().y();
    return QTransform(1, 0, -slant, 1, slant * mid, 0);
}

} // namespace

void drawSevenSegment(QPainter& painter, int digit, const QRectF& box, qreal thickness, QColor on, QColor off,
                      qreal slant) {
    const qreal t = thickness;
    const qreal gap = qMax(0.8, t * 0.18);
    const qreal left = box.left() + t / 2, right = box.right() - t / 2;
    const qreal top = box.top() + t / 2, bottom = box.bottom() - t / 2, mid = box.center().y();
    struct Seg {
        char name;
        QPointF from, to;
    };
    const Seg segs[] = {
        {'a', {left + gap, top}, {right - gap, top}},     {'b', {right, top + gap}, {right, mid - gap}},
        {'c', {right, mid + gap}, {right, bottom - gap}}, {'d', {left + gap, bottom}, {right - gap, bottom}},
        {'e', {left, mid + gap}, {left, bottom - gap}},   {'f', {left, top + gap}, {left, mid - gap}},
        {'g', {left + gap, mid}, {right - gap, mid}},
    };
    const QTransform leaning = lean(box, slant);
    painter.save();
    painter.setPen(Qt::NoPen);
    for (const Seg& s : segs) {
        const bool lit = digit >= 0 && std::strchr(kSegments[digit], s.name) != nullptr;
        painter.setBrush(lit ? on : off);
        painter.drawPolygon(leaning.map(segment(s.from, s.to, t)));
    }
    painter.restore();
}

void drawSegmentColon(QPainter& painter, const QRectF& box, qreal size, QColor colour, qreal slant) {
    const QTransform leaning = lean(box, slant);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (qreal y : {box.top() + box.height() * 0.32, box.top() + box.height() * 0.68}) {
        QPolygonF dot(QRectF(box.center().x() - size / 2, y - size / 2, size, size));
        painter.drawPolygon(leaning.map(dot));
    }
    painter.restore();
}
