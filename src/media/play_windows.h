#pragma once

#include <QDialog>

/// The modal preview player.
class TFormPlay : public QDialog {
    Q_OBJECT
public:
    explicit TFormPlay(QWidget* parent = nullptr);
};

/// The hidden ringing player, shared by the ringing window and the chimes.
class TFormRunPlay : public QDialog {
    Q_OBJECT
public:
    explicit TFormRunPlay(QWidget* parent = nullptr);
};
