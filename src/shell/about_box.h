#pragma once

#include <functional>

#include <QDialog>

class QLabel;
class QPushButton;

/// The about box: the program's name and version and a link to the help book that comes with it.
/// Created once at start-up and hidden between uses.
class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

    /// Whether this machine can be woken for alarms, asked at every showing (the wake helper may
    /// have started or failed since the last).
    std::function<QString()> wakeStatus;
    /// Shows a wake status that changed while the box is up.
    void setWakeStatus(const QString& text);

signals:
    /// The help book's link was clicked.
    void helpRequested();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Label4Click();
    /// Sets every text in the interface's language; again when the language changes.
    void retranslate();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* LabelWake;
    QPushButton* ButtonOK;
};
