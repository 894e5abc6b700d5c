#include "clockface/face_layout.h"

SkinLayout digitalSkinLayout() {
    SkinLayout layout;
    layout.useFixedKeyColour = true;
    layout.keyColour = {255, 0, 0};
    layout.digitTop = 2;
    layout.leftStart12 = 3;
    layout.leftStart24 = 3;
    layout.secondsOwnDigits = true;
    layout.showSecondColon = false;
    layout.secondsLayout = SecondsLayout::Bottom;
    layout.amPmLayout = AmPmLayout::AfterMinTop;
    return layout;
}

SkinLayout santaClausSkinLayout() {
    SkinLayout layout;
    layout.useFixedKeyColour = false;
    layout.digitTop = 181;
    layout.leftStart12 = 36;
    layout.leftStart24 = 43;
    layout.secondsOwnDigits = false;
    layout.showSecondColon = true;
    layout.secondsLayout = SecondsLayout::Normal;
    layout.amPmLayout = AmPmLayout::AfterSec;
    return layout;
}

SkinLayout skinLayoutFor(const QString& skinName) {
    return skinName == QLatin1String("Santa Claus") ? santaClausSkinLayout() : digitalSkinLayout();
}

namespace {

QSize sizeOf(const SkinPictureSizes& sizes, FacePicture picture, int digit) {
    switch (picture) {
    case FacePicture::HourDigit:
        return sizes.hourDigits.at(digit);
    case FacePicture::SecondDigit:
        return sizes.secondDigits.at(digit);
    case FacePicture::Am:
        return sizes.am;
    case FacePicture::Pm:
        return sizes.pm;
    case FacePicture::ColonOn:
        return sizes.colonOn;
    case FacePicture::ColonOff:
        return sizes.colonOff;
    case FacePicture::None:
        break;
    }
    return {};
}

PicturePlacement show(const SkinPictureSizes& sizes, FacePicture picture, int digit, int left, int top) {
    return {picture, digit, QRect(QPoint(left, top), sizeOf(sizes, picture, digit)), true};
}

} // namespace

FacePlacement placeFace(const SkinLayout& layout, const SkinPictureSizes& sizes, QTime time, bool military) {
    const int hour = time.hour();
    const int minute = time.minute();
    const int second = time.second();
    const FacePicture colon = time.msec() <= 500 ? FacePicture::ColonOn : FacePicture::ColonOff;
    const int top = layout.digitTop;

    FacePlacement face;
    int x = military ? layout.leftStart24 : layout.leftStart12;
    const auto next = [&x](const PicturePlacement& placed) {
        x += placed.rect.width();
        return placed;
    };

    const int shownHour = faceHour(hour, military);
    face.hour1 = next(show(sizes, FacePicture::HourDigit, shownHour / 10, x, top));
    face.hour2 = next(show(sizes, FacePicture::HourDigit, shownHour % 10, x, top));
    face.colon1 = next(show(sizes, colon, 0, x, top));

    face.min1 = next(show(sizes, FacePicture::HourDigit, minute / 10, x, top));
    face.min2 = next(show(sizes, FacePicture::HourDigit, minute % 10, x, top));

    if (layout.showSecondColon)
        face.colon2 = next(show(sizes, colon, 0, x, top));

    const FacePicture secondSet = layout.secondsOwnDigits ? FacePicture::SecondDigit : FacePicture::HourDigit;
    const QSize firstSecond = sizeOf(sizes, secondSet, second / 10);
    // Both second digits stand on the minutes' baseline as measured by the first one.
    const int secondTop = layout.secondsLayout == SecondsLayout::Bottom
                              ? top + face.min1.rect.height() - firstSecond.height()
                              : top;
    face.sec1 = next(show(sizes, secondSet, second / 10, x, secondTop));
    face.sec2 = next(show(sizes, secondSet, second % 10, x, secondTop));

    const FacePicture amOrPm = hour >= 12 ? FacePicture::Pm : FacePicture::Am;
    if (layout.amPmLayout == AmPmLayout::AfterMinTop)
        face.amOrPm = show(sizes, amOrPm, 0, face.min2.rect.left() + face.min2.rect.width(), top);
    else
        face.amOrPm = show(sizes, amOrPm, 0, x + 2, top + 2);
    face.amOrPm.visible = !military;
    return face;
}

QString faceTimeText(QTime time, bool military, bool seconds)
{
    const int hour = time.hour();
    QString text = QStringLiteral("%1:%2").arg(faceHour(hour, military), 2, 10, QLatin1Char('0')).arg(time.minute(), 2, 10, QLatin1Char('0'));
    if (seconds)
        text += QStringLiteral(":%1").arg(time.second(), 2, 10, QLatin1Char('0'));
    if (!military)
        text += hour >= 12 ? QStringLiteral(" PM") : QStringLiteral(" AM");
    return text;
}

int faceHour(int hour, bool military)
{
    // Midnight keeps its 00 in 12-hour form; only 13..23 fold back.
    return !military && hour > 12 ? hour - 12 : hour;
}
