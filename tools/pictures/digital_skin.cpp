// The "Digital" skin: a grey LCD desk clock on a stand, cut out of pure red. Its digit row starts at
// (3, 2), so the glass reaches nearly to the top-left corner; the bezel there is 2 pixels thin.
#include "paint_kit.h"
#include "pictures.h"

#include <QDir>

namespace {

const QColor kKey(255, 0, 0);
const QColor kBezel(44, 48, 54);
const QColor kGlass(188, 200, 168);
const QColor kGhost(176, 188, 156);
const QColor kInk(30, 38, 34);
const QColor kBody(86, 92, 102);
const QColor kBodyLight(124, 132, 144);

constexpr int kWidth = 198;
constexpr int kHeight = 82;
constexpr QSize kDigit(32, 58);
constexpr QSize kSecond(18, 32);
constexpr QSize kColon(14, 58);
constexpr QSize kAmPm(36, 18);
constexpr qreal kSlant = 0.07;

// A rectangle with its own radius at each corner: top-left, top-right, bottom-right, bottom-left.
QPainterPath corners(const QRectF& r, qreal tl, qreal tr, qreal br, qreal bl) {
    QPainterPath p;
    p.moveTo(r.left() + tl, r.top());
    p.lineTo(r.right() - tr, r.top());
    p.quadTo(r.right(), r.top(), r.right(), r.top() + tr);
    p.lineTo(r.right(), r.bottom() - br);
    p.quadTo(r.right(), r.bottom(), r.right() - br, r.bottom());
    p.lineTo(r.left() + bl, r.bottom());
    p.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - bl);
    p.lineTo(r.left(), r.top() + tl);
    p.quadTo(r.left(), r.top(), r.left() + tl, r.top());
    p.closeSubpath();
    return p;
}

QImage background() {
    QImage art = newArt(kWidth, kHeight);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(kBezel, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // The stand, behind the panel, with a small speaker grille.
    QPainterPath stand;
    stand.moveTo(58, 60);
    stand.lineTo(132, 60);
    stand.lineTo(142, 76);
    stand.quadTo(143, 80, 138, 80);
    stand.lineTo(52, 80);
    stand.quadTo(47, 80, 48, 76);
    stand.closeSubpath();
    p.setPen(outline);
    p.setBrush(kBody);
    p.drawPath(stand);
    p.setPen(QPen(kBodyLight, 1.0));
    p.drawLine(QPointF(60, 70.5), QPointF(130, 70.5));
    p.setPen(QPen(kBezel, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(83 + i * 6, 74), QPointF(83 + i * 6, 77));

    // The snooze button on the right side.
    p.setPen(outline);
    p.setBrush(kBody);
    p.drawPath(corners(QRectF(183, 20, 13, 28), 0, 4, 4, 0));
    p.setPen(QPen(kBodyLight, 1.0));
    p.drawLine(QPointF(193.5, 24), QPointF(193.5, 44));

    // The panel: bezel, then the glass. The bezel is only as wide as the digit row's start allows.
    p.setPen(Qt::NoPen);
    p.setBrush(kBezel);
    p.drawPath(corners(QRectF(0, 0, 190, 68), 2, 8, 8, 8));
    p.setBrush(kGlass);
    p.drawPath(corners(QRectF(2, 2, 186, 64), 0, 6, 6, 6));
    p.end();
    return cutOut(art, kBezel, kKey);
}

QImage digit(QSize size, int value, QRectF box, qreal thickness) {
    QImage art = newArt(size.width(), size.height());
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    drawSevenSegment(p, value, box, thickness, kInk, kGhost, kSlant);
    p.end();
    return onGround(art, kGlass);
}

QImage colon(bool lit) {
    QImage art = newArt(kColon.width(), kColon.height());
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    drawSegmentColon(p, QRectF(0, 4, kColon.width(), 50), 5.5, lit ? kInk : kGhost, kSlant);
    p.end();
    return onGround(art, kGlass);
}

QImage amPm(const char* text) {
    QImage art = newArt(kAmPm.width(), kAmPm.height());
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    drawStrokeText(p, text, QRectF(5, 4, 26, 10), 3,
                   QPen(kInk, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.end();
    return onGround(art, kGlass);
}

} // namespace

void makeDigitalSkin(const QString& folder) {
    const QDir dir(folder);
    writeBmp(background(), dir.filePath("Background.bmp"));
    for (int d = 0; d < 10; ++d) {
        writeBmp(digit(kDigit, d, QRectF(5, 4, 23, 50), 6.0),
                 dir.filePath(QStringLiteral("hour_%1.bmp").arg(d)));
        writeBmp(digit(kSecond, d, QRectF(3, 3, 12.5, 26), 4.0),
                 dir.filePath(QStringLiteral("Second_%1.bmp").arg(d)));
    }
    writeBmp(colon(true), dir.filePath("Colon_ON.bmp"));
    writeBmp(colon(false), dir.filePath("Colon_OFF.bmp"));
    writeBmp(amPm("AM"), dir.filePath("AM.bmp"));
    writeBmp(amPm("PM"), dir.filePath("PM.bmp"));
}
