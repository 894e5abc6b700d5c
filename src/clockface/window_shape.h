#pragma once

#include <optional>

#include <QColor>
#include <QImage>
#include <QRegion>

/// The window's outline from its background picture: every pixel whose RGB differs from the key
/// colour belongs to the window, taken row by row in runs. The key colour is the fixed one when
/// given, else the colour of the top-left pixel. No picture gives no region.
QRegion RegionFromBitmap(const QImage& picture, std::optional<QColor> fixedKey);

/// Whether the windowing system cuts a window to its mask. A native Wayland window ignores the
/// mask: the face is then a translucent window painted only inside its outline.
bool windowMasksApply();
