#include "clockface/options_dialog.h"

TFormOptions::TFormOptions(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("选项"));
}
