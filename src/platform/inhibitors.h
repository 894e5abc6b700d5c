#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

/// Keeps the screen from blanking or locking and the session from going idle to sleep while held:
/// org.freedesktop.ScreenSaver.Inhibit on the session bus and logind's idle inhibitor ("block") on
/// the system bus. Either may be missing on a desktop; what is there is used. Taking them waits for
/// no answer, so a bus that hangs never holds up a ringing alarm; an answer that comes after the
/// release is given back at once.
class IdleInhibitor : public QObject {
    Q_OBJECT
public:
    explicit IdleInhibitor(QDBusConnection session = QDBusConnection::sessionBus(),
                           QDBusConnection system = QDBusConnection::systemBus(), QObject* parent = nullptr);
    /// Lets go of whatever is still held.
    ~IdleInhibitor() override;

    /// Takes both inhibitors, unless held already.
    void hold(const QString& why);
    /// Lets go of both, waiting for the screen saver to hear it: the program may end right after.
    void release();
    bool isHeld() const { return m_held; }

private:
    void unInhibitScreenSaver(uint cookie);

    QDBusConnection m_session;
    QDBusConnection m_system;
    bool m_held = false;
    quint64 m_holding = 0; // counts the holdings, so an answer is matched to its own
    uint m_cookie = 0; // the screen saver's, 0: none
    QDBusUnixFileDescriptor m_logind;
};

/// logind's delay inhibitor for sleep: held all the time the program runs, so logind tells it
/// before the machine sleeps and waits (a few seconds at most) for it to let go. At
/// PrepareForSleep(true) `aboutToSleep` is emitted and handled, then the inhibitor is let go so the
/// sleep goes on; it is taken again after the resume.
class SleepDelay : public QObject {
    Q_OBJECT
public:
    explicit SleepDelay(QDBusConnection system = QDBusConnection::systemBus(), QObject* parent = nullptr);

    bool isHeld() const { return m_fd.isValid(); }

signals:
    void aboutToSleep();

private slots:
    void onPrepareForSleep(bool goingToSleep);

private:
    void take();

    QDBusConnection m_system;
    QDBusUnixFileDescriptor m_fd;
};
