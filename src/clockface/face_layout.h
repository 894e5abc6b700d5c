#pragma once

#include <array>

#include <QRect>
#include <QSize>
#include <QString>
#include <QTime>

/// Where the seconds stand in the digit row.
enum class SecondsLayout {
    Bottom, ///< on the baseline of the minute digits (small second digits)
    Normal, ///< at the top of the digit row, like the other digits
};

/// Where the AM/PM picture goes.
enum class AmPmLayout {
    AfterMinTop, ///< right after the second minute digit, at the top of the digit row
    AfterSec,    ///< 2 pixels right of and below the end of the seconds
};

struct KeyColour {
    int red = 0, green = 0, blue = 0;
    bool operator==(const KeyColour&) const = default;
};

/// The fixed layout of a skin. Only a skin's pictures come from files; these numbers are built in, and
/// the pictures are drawn to suit them.
struct SkinLayout {
    /// When false the window outline is cut by the colour of the background's top-left pixel.
    bool useFixedKeyColour = false;
    KeyColour keyColour;
    int digitTop = 0;
    int leftStart12 = 0;
    int leftStart24 = 0;
    /// When false the seconds use the hour digit pictures.
    bool secondsOwnDigits = false;
    bool showSecondColon = false;
    SecondsLayout secondsLayout = SecondsLayout::Normal;
    AmPmLayout amPmLayout = AmPmLayout::AfterSec;
};

/// The layout of the "Digital" skin.
SkinLayout digitalSkinLayout();
/// The layout of the "Santa Claus" skin.
SkinLayout santaClausSkinLayout();
/// The layout for a stored skin name: "Santa Claus" exactly, else "Digital".
SkinLayout skinLayoutFor(const QString& skinName);

/// The sizes of a skin's pictures, as loaded from its files.
struct SkinPictureSizes {
    std::array<QSize, 10> hourDigits;   ///< also the minute digits
    std::array<QSize, 10> secondDigits; ///< read only when the skin has second digits of its own
    QSize am, pm, colonOn, colonOff;
};

/// Which loaded picture a place on the face shows.
enum class FacePicture { None, HourDigit, SecondDigit, Am, Pm, ColonOn, ColonOff };

struct PicturePlacement {
    FacePicture picture = FacePicture::None;
    int digit = 0; ///< 0..9 for HourDigit and SecondDigit
    /// Top-left corner and the size of the picture shown; empty for FacePicture::None.
    QRect rect;
    bool visible = false;
};

/// One drawing of the face: every picture control with the picture it shows and where it stands.
struct FacePlacement {
    PicturePlacement hour1, hour2, colon1, min1, min2, colon2, sec1, sec2, amOrPm;

    /// Copies of all nine, in drawing order (later ones over earlier ones).
    std::array<PicturePlacement, 9> all() const {
        return {hour1, hour2, colon1, min1, min2, colon2, sec1, sec2, amOrPm};
    }
};

/// Places the time `time` (hour, minute, second and millisecond are read; it must be valid) on a face
/// with `layout` and pictures of `sizes`, in 24-hour form when `military` is true. Each picture stands
/// right after the one before it, so the row follows the pictures' own widths. Pure: the caller assigns
/// the pictures and moves its controls.
///
/// Every digit has a leading zero. In 12-hour form the hour 0 shows as 00, 12 as 12 and 13..23 as
/// 01..11. The colons are lit up to and including millisecond 500 and dark after it. The second colon
/// exists only when the layout shows it; otherwise `colon2` has no picture and is not visible. The
/// AM/PM picture (PM from hour 12 on) is placed in both forms but visible only in 12-hour form.
FacePlacement placeFace(const SkinLayout& layout, const SkinPictureSizes& sizes, QTime time, bool military);

/// The hour the face shows for hour 0..23: 13..23 fold back to 01..11 in 12-hour form.
int faceHour(int hour, bool military);

/// The time as the face shows it, in words of text: "hh:mm" and, with `seconds`, ":ss"; in 12-hour
/// form with the face's hour rule and " AM" or " PM". For the face without its pictures and for
/// screen readers.
QString faceTimeText(QTime time, bool military, bool seconds);
