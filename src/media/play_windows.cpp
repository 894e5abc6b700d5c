#include "media/play_windows.h"

TFormPlay::TFormPlay(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormPlay"));
}

TFormRunPlay::TFormRunPlay(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormRunPlay"));
}
