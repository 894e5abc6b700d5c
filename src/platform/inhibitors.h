#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

/// Keeps the screen from blanking or locking and the session from going idle to sleep while held:
/// org.freedesktop.ScreenSaver.Inhibit on the session bus and logind's idle inhibitor ("block") on
/// the system bus. Either may be missing on a desktop; what is there is used.
class IdleInhibitor {
public:
    explicit IdleInhibitor(QDBusConnection session = QDBusConnection::sessionBus(),
                           QDBusConnection system = QDBusConnection::systemBus());
    /// Lets go of whatever is still held.
    ~IdleInhibitor();
    IdleInhibitor(const IdleInhibitor&) = delete;
    IdleInhibitor& operator=(const IdleInhibitor&) = delete;

    /// Takes both inhibitors, unless held already.
    void hold(const QString& why);
    void release();
    bool isHeld() const { return m_held; }

private:
    QDBusConnection m_session;
    QDBusConnection m_system;
    bool m_held = false;
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
