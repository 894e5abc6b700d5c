#include "clockface/window_shape.h"

#include <vector>

#include <QGuiApplication>

QRegion RegionFromBitmap(const QImage& picture, std::optional<QColor> fixedKey)
{
    if (picture.isNull())
        return {};
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = (fixedKey ? fixedKey->rgb() : image.pixel(0, 0)) & RGB_MASK;
    std::vector<QRect> runs;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int start = -1;
        // x = width is a sentinel that closes a run reaching the right edge.
        for (int x = 0; x <= image.width(); ++x) {
            const bool isKey = x == image.width() || (row[x] & RGB_MASK) == key;
            if (!isKey && start < 0)
                start = x;
            else if (isKey && start >= 0) {
                runs.emplace_back(start, y, x - start, 1);
                start = -1;
            }
        }
    }
    // The runs come row by row, left to right, never overlapping: already the banded form a
    // region is made of, so they go in at once instead of one union at a time.
    QRegion region;
    region.setRects(runs.data(), int(runs.size()));
    return region;
}

bool windowMasksApply()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
