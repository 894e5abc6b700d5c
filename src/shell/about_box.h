#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

/// The about box: the program's name and version, the home page and the support address. Created
/// once at start-up and hidden between uses; a click on an address opens it.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Label4Click();
    void Label6Click();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* ButtonOK;
};
