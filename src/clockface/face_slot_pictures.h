#pragma once

#include <QHash>
#include <QPixmap>
#include <QRect>

#include "clockface/face_layout.h"

/// The face's places composed once per skin and size: for each place a picture stands in and each
/// picture it shows there, the background under that place with the picture over it, in the
/// screen's own pixel format. A tick then copies one small picture per changed place into the
/// window, with no clipping, no blending and no background drawn under it.
class FaceSlotPictures {
public:
    /// Forgets every composed picture: the skin, its size or its pictures changed.
    void reset(const QPixmap& background);

    /// The place `p` as a full draw of the face leaves it; `picture` is what stands there (none for
    /// an empty or hidden place). Composed at the first use, kept after.
    const QPixmap& at(const PicturePlacement& p, const QPixmap* picture);

private:
    struct Key {
        QRect rect;
        FacePicture picture;
        int digit;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed)
    {
        return qHashMulti(seed, key.rect.x(), key.rect.y(), key.rect.width(), key.rect.height(),
                          int(key.picture), key.digit);
    }

    QPixmap m_background;
    QHash<Key, QPixmap> m_composed;
};

/// Whether two of the shown places overlap: a place's composed picture would then hide part of the
/// picture drawn over it.
bool placesOverlap(const FacePlacement& placement);
