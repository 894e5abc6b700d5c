#include "clockface/face_slot_pictures.h"

#include <QPainter>

void FaceSlotPictures::reset(const QPixmap& background)
{
    m_background = background;
    m_composed.clear();
}

const QPixmap& FaceSlotPictures::at(const PicturePlacement& p, const QPixmap* picture)
{
    const bool shown = p.visible && picture && !picture->isNull();
    const Key key{p.rect, shown ? p.picture : FacePicture::None, shown ? p.digit : 0};
    auto found = m_composed.constFind(key);
    if (found != m_composed.constEnd())
        return *found;
    QPixmap composed(p.rect.size());
    QPainter painter(&composed);
    painter.drawPixmap(QPoint(0, 0), m_background, p.rect);
    if (shown)
        painter.drawPixmap(0, 0, *picture);
    painter.end();
    return *m_composed.insert(key, composed);
}

bool placesOverlap(const FacePlacement& placement)
{
    const auto all = placement.all();
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = i + 1; j < all.size(); ++j)
            if (all[i].rect.intersects(all[j].rect))
                return true;
    return false;
}
