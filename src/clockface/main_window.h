#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>

struct Services;

/// The main clock window: its closing ends the program.
class TFormMain : public QWidget {
    Q_OBJECT
public:
    explicit TFormMain(Services& services, QWidget* parent = nullptr);

    /// Brings the clock to the front, restoring it first when it is hidden in the tray.
    void bringToFront();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Timer1Timer();

    Services& m_services;
    QLabel* m_time;
    QTimer m_timer;
};
