// The "Santa Claus" skin: Santa holding a sign that carries the time, cut out of magenta. The key colour
// is read from the background's top-left corner, which the figure leaves free.
#include "paint_kit.h"
#include "pictures.h"

#include <functional>

#include <QDir>

namespace {

const QColor kKey(255, 0, 255);
const QColor kOutline(58, 28, 30);
const QColor kSuit(204, 34, 44);
const QColor kSuitShade(172, 24, 36);
const QColor kFur(246, 246, 240);
const QColor kSkin(250, 212, 178);
const QColor kCheek(242, 156, 146);
const QColor kNose(236, 142, 124);
const QColor kBeard(250, 250, 250);
const QColor kBlack(40, 36, 38);
const QColor kGold(232, 186, 60);
const QColor kMitten(36, 120, 70);
const QColor kWood(150, 96, 50);
const QColor kCard(252, 246, 226);
const QColor kRedInk(186, 26, 38);
const QColor kGreenInk(28, 108, 58);
const QColor kFaint(234, 222, 198);

constexpr int kWidth = 220;
constexpr int kHeight = 298;
constexpr QSize kDigit(18, 26);
constexpr QSize kColon(8, 26);
constexpr QSize kAmPm(22, 14);

class Figure {
public:
    explicit Figure(QImage& art) : m_p(&art) { m_p.setRenderHint(QPainter::Antialiasing); }

    void fill(const QPainterPath& path, QColor colour, qreal outline = 2.0) {
        m_p.setPen(outline > 0 ? QPen(kOutline, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                               : QPen(Qt::NoPen));
        m_p.setBrush(colour);
        m_p.drawPath(path);
    }
    // A thick limb: the outline is a wider stroke under the coloured one.
    void limb(const QPainterPath& path, qreal width, QColor colour) {
        m_p.setBrush(Qt::NoBrush);
        m_p.setPen(QPen(kOutline, width + 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.drawPath(path);
        m_p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        m_p.drawPath(path);
    }
    void line(QPointF a, QPointF b, QColor colour, qreal width) {
        m_p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        m_p.drawLine(a, b);
    }
    QPainter& painter() { return m_p; }

private:
    QPainter m_p;
};

QPainterPath ellipse(qreal cx, qreal cy, qreal rx, qreal ry) {
    QPainterPath p;
    p.addEllipse(QPointF(cx, cy), rx, ry);
    return p;
}

QPainterPath rounded(qreal x, qreal y, qreal w, qreal h, qreal r) {
    QPainterPath p;
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
    return p;
}

QImage background() {
    QImage art = newArt(kWidth, kHeight);
    Figure f(art);

    // Boots and trousers.
    f.fill(rounded(50, 268, 54, 26, 11), kBlack);
    f.fill(rounded(116, 268, 54, 26, 11), kBlack);
    f.fill(rounded(66, 232, 88, 44, 6), kSuit);
    f.line({110, 250}, {110, 272}, kSuitShade, 2.0);

    // The coat, its fur hem and its fur front.
    QPainterPath coat;
    coat.moveTo(72, 112);
    coat.lineTo(148, 112);
    coat.quadTo(176, 118, 182, 168);
    coat.lineTo(188, 240);
    coat.quadTo(189, 252, 176, 252);
    coat.lineTo(44, 252);
    coat.quadTo(31, 252, 32, 240);
    coat.lineTo(38, 168);
    coat.quadTo(44, 118, 72, 112);
    coat.closeSubpath();
    f.fill(coat, kSuit);
    f.fill(rounded(101, 140, 18, 100, 4), kFur);
    f.fill(rounded(28, 236, 164, 20, 10), kFur);

    // Belt and buckle.
    f.fill(rounded(34, 217, 152, 16, 3), kBlack);
    f.fill(rounded(94, 213, 32, 24, 4), kGold);
    f.fill(rounded(103, 219, 14, 12, 2), kBlack, 0);

    // Sleeves down to the sign's ends, with fur cuffs.
    QPainterPath leftArm;
    leftArm.moveTo(66, 124);
    leftArm.quadTo(36, 140, 28, 180);
    QPainterPath rightArm;
    rightArm.moveTo(154, 124);
    rightArm.quadTo(184, 140, 192, 180);
    f.limb(leftArm, 24, kSuit);
    f.limb(rightArm, 24, kSuit);
    f.fill(ellipse(28, 180, 15, 7), kFur);
    f.fill(ellipse(192, 180, 15, 7), kFur);

    // Head, beard and face.
    f.fill(ellipse(110, 76, 28, 30), kSkin);
    QPainterPath beard;
    beard.moveTo(76, 82);
    beard.cubicTo(70, 120, 86, 156, 110, 166);
    beard.cubicTo(134, 156, 150, 120, 144, 82);
    beard.quadTo(110, 112, 76, 82);
    beard.closeSubpath();
    for (QPointF c :
         {QPointF(76, 98), {80, 120}, {90, 140}, {102, 154}, {118, 154}, {130, 140}, {140, 120}, {144, 98}})
        beard = beard.united(ellipse(c.x(), c.y(), 11, 11));
    f.fill(beard, kBeard);
    f.fill(ellipse(92, 86, 6, 5), kCheek, 0);
    f.fill(ellipse(128, 86, 6, 5), kCheek, 0);
    f.fill(ellipse(110, 105, 6, 4), kSuitShade, 1.5);
    f.fill(ellipse(97, 97, 14, 7).united(ellipse(123, 97, 14, 7)), kBeard, 1.5);
    f.fill(ellipse(110, 89, 7, 6), kNose, 1.5);
    f.fill(ellipse(100, 76, 3, 4), kBlack, 0);
    f.fill(ellipse(120, 76, 3, 4), kBlack, 0);
    f.fill(ellipse(101, 75, 1, 1), kFur, 0);
    f.fill(ellipse(121, 75, 1, 1), kFur, 0);
    f.line({94, 68}, {104, 67}, kBeard, 3.0);
    f.line({116, 67}, {126, 68}, kBeard, 3.0);

    // The hat, its tip flopping to the right, with fur brim and bobble.
    QPainterPath hat;
    hat.moveTo(80, 58);
    hat.cubicTo(82, 24, 120, 8, 152, 16);
    hat.cubicTo(168, 20, 178, 34, 176, 46);
    hat.lineTo(164, 44);
    hat.cubicTo(160, 36, 152, 32, 146, 36);
    hat.lineTo(140, 58);
    hat.closeSubpath();
    f.fill(hat, kSuit);
    f.line({100, 34}, {136, 22}, kSuitShade, 3.0);
    f.fill(rounded(72, 48, 76, 18, 9), kFur);
    f.fill(ellipse(172, 48, 10, 10), kFur);

    // The sign held in green mittens; the time is shown on its card.
    f.fill(rounded(22, 172, 176, 44, 6), kWood);
    f.fill(rounded(28, 177, 164, 34, 3), kCard, 0);
    f.fill(ellipse(20, 195, 12, 14), kMitten);
    f.fill(ellipse(200, 195, 12, 14), kMitten);
    f.line({14, 192}, {22, 188}, kOutline, 1.5);
    f.line({206, 192}, {198, 188}, kOutline, 1.5);

    f.painter().end();
    return cutOut(art, kOutline, kKey);
}

QImage card(QSize size, const std::function<void(QPainter&)>& draw) {
    QImage art = newArt(size.width(), size.height());
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return onGround(art, kCard);
}

} // namespace

void makeSantaClausSkin(const QString& folder) {
    const QDir dir(folder);
    writeBmp(background(), dir.filePath("Background.bmp"));
    const QPen ink(kRedInk, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (int d = 0; d < 10; ++d) {
        const char text[2] = {char('0' + d), 0};
        writeBmp(card(kDigit, [&](QPainter& p) { drawStrokeText(p, text, QRectF(3, 3.5, 12, 19), 0, ink); }),
                 dir.filePath(QStringLiteral("hour_%1.bmp").arg(d)));
    }
    for (bool lit : {true, false}) {
        writeBmp(card(kColon,
                      [&](QPainter& p) {
                          p.setPen(Qt::NoPen);
                          p.setBrush(lit ? kRedInk : kFaint);
                          p.drawEllipse(QPointF(4, 9), 2.0, 2.0);
                          p.drawEllipse(QPointF(4, 18), 2.0, 2.0);
                      }),
                 dir.filePath(lit ? "Colon_ON.bmp" : "Colon_OFF.bmp"));
    }
    const QPen green(kGreenInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    for (const char* text : {"AM", "PM"})
        writeBmp(
            card(kAmPm, [&](QPainter& p) { drawStrokeText(p, text, QRectF(2.5, 2.5, 17, 9), 2, green); }),
            dir.filePath(QStringLiteral("%1.bmp").arg(text)));
}
