#pragma once

#include <QDialog>

/// The options dialog, created once and hidden between uses.
class TFormOptions : public QDialog {
    Q_OBJECT
public:
    explicit TFormOptions(QWidget* parent = nullptr);
};
