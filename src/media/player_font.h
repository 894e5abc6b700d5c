#pragma once

#include <QFont>
#include <QString>

/// The player windows' font: 宋体 at 12 pixels (a Song/Serif CJK face stands in where it is missing).
inline QFont playerFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC")});
    font.setPixelSize(12);
    return font;
}
