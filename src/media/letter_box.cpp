#include "media/letter_box.h"

QRect letterBoxRect(const QSize& frame, const QRect& area)
{
    if (frame.isEmpty() || area.isEmpty())
        return {};
    const QSize fitted = frame.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.x() + (area.width() - fitted.width()) / 2,
                 area.y() + (area.height() - fitted.height()) / 2, fitted.width(), fitted.height());
}
