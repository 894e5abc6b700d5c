#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

/// Stops the generator with a message naming what went wrong.
[[noreturn]] void fail(const QString& message);

/// A transparent canvas to paint art on with anti-aliasing.
QImage newArt(int width, int height);

/// Turns art into an opaque picture whose outline can be cut by exact colour: every pixel the art covers
/// at least half becomes opaque (laid over `edge`, the colour its outline is drawn in), every other
/// pixel becomes exactly `key`. The edge pixels so stay crisp: none is a blend with the key colour. A
/// covered pixel that happens to equal the key is moved one step off it, so no hole appears inside.
QImage cutOut(const QImage& art, QColor edge, QColor key);

/// Lays art over a uniform ground: for pictures drawn over a background of that colour.
QImage onGround(const QImage& art, QColor ground);

/// A 24-bit uncompressed Windows bitmap, written through a temporary file and a rename.
void writeBmp(const QImage& image, const QString& path);
void writePng(const QImage& image, const QString& path);

/// A letter or digit as pen strokes in the unit square (x right, y down): digits 0-9, 'A', 'M', 'P'.
QPainterPath strokeGlyph(char c);
/// Strokes `text` with `pen`, the letters side by side in `box`, `gap` pixels apart.
void drawStrokeText(QPainter& painter, const char* text, const QRectF& box, qreal gap, const QPen& pen);

/// A seven-segment digit in `box`, lit segments in `on`, the others in `off`; `slant` leans it right
/// (pixels of lean per pixel of height).
void drawSevenSegment(QPainter& painter, int digit, const QRectF& box, qreal thickness, QColor on, QColor off,
                      qreal slant);
/// The colon of the same display: two dots of `size`.
void drawSegmentColon(QPainter& painter, const QRectF& box, qreal size, QColor colour, qreal slant);
