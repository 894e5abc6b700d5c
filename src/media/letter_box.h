#pragma once

#include <QRect>
#include <QSize>

/// Where a picture of `frame` size is drawn inside `area` keeping its proportions: as large as fits,
/// centred, with bars left and right or above and below. Empty when either size is empty.
QRect letterBoxRect(const QSize& frame, const QRect& area);
