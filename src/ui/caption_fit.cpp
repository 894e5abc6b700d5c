#include "ui/caption_fit.h"

#include <algorithm>

#include <QCheckBox>
#include <QRadioButton>

void fitCaptions(QWidget& window)
{
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button))
            continue;
        // The width given by the window is kept as the least it may have; a longer caption widens it.
        if (button->minimumWidth() == 0)
            button->setMinimumWidth(button->width());
        button->resize(std::max(button->minimumWidth(), button->sizeHint().width()), button->height());
    }
}
