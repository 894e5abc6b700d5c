#pragma once

#include <QDialog>

/// The about box, created once and hidden between uses.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);
};
