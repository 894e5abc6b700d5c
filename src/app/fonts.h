#pragma once

#include <QFont>
#include <QStringList>

/// The windows ask for "宋体", the Song typeface of Chinese desktops; on Linux the Noto CJK fonts
/// stand in for it, the serif (Song) face first.
inline void installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
}
