#pragma once

#include <initializer_list>

#include <QObject>

class QSocketNotifier;

/// Turns SIGTERM, SIGINT and SIGHUP (logging out, shutting down, Ctrl+C) into a Qt signal delivered
/// by the event loop, through a pipe written by the signal handler, so the program ends the same way
/// as from its menu instead of dying with the output device at an alarm's volume. One per process.
class ExitSignals : public QObject {
    Q_OBJECT
public:
    explicit ExitSignals(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~ExitSignals() override;

signals:
    void received(int signalNumber);

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
};
