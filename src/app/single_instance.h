#pragma once

#include <functional>
#include <optional>

#include <QLocalServer>
#include <QObject>
#include <QString>

/// One running copy per user. The running copy holds an exclusive lock (flock) on a lock file for the
/// life of its process and listens on a local socket, both in the user's runtime folder. The lock is
/// the only authority: the kernel lets it go when the process ends however it ends, so a lock file
/// left behind never blocks a start, and a socket file (missing, garbled, left by a crash, or made by
/// something else) is moved aside by whoever holds the lock. A later copy asks the running one to come
/// to the front and ends without creating a window or touching a file.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Start {
        Primary,     ///< this process is now the running copy (see `listenError`)
        Shown,       ///< a running copy answered and was asked to show its clock
        Unreachable, ///< a running copy holds the lock but does not answer
    };

    /// At most this many connections are served at once; more are closed as they come.
    static constexpr int kMaxConnections = 8;
    /// A connection is closed after this long without its request, or once it has been answered.
    static constexpr int kIdleMs = 2000;
    /// A request longer than this is not one the program knows.
    static constexpr int kMaxRequestBytes = 256;

    /// `folder` is where the lock and the socket live; empty means $XDG_RUNTIME_DIR, else the
    /// temporary folder.
    explicit SingleInstance(QString folder = {});
    ~SingleInstance() override;

    /// Takes the lock, or asks its holder to show its clock (waiting up to `answerTimeoutMs` for it
    /// to listen, as one that started a moment ago may not yet).
    Start becomePrimary(int answerTimeoutMs = 3000);
    /// Asks the running copy to bring its clock window to the front; true when it answered.
    bool askPrimaryToShow(int timeoutMs = 3000);
    /// The running copy that cannot listen on its socket: why, empty while it listens. It runs all
    /// the same; a second start cannot reach it.
    const QString& listenError() const { return m_listenError; }
    const QString& socketPath() const { return m_socketPath; }

    /// Takes the lock without listening, for a command that changes the files while no copy runs;
    /// false when a copy holds it. Held until this object goes.
    bool lockWhileNoCopyRuns();
    /// What a second start asks of the running copy instead of "show": "open new-alarm" or
    /// "open alarm-list" (see `openRequested`).
    void setRequest(const QByteArray& line) { m_request = line + '\n'; }
    /// Sends one request line (at most kMaxRequestBytes with its line end) and gives the one line
    /// answered, without its line end; nothing when no copy answered in time.
    std::optional<QByteArray> ask(const QByteArray& line, int timeoutMs = 3000);
    /// Answers a request line other than "show" and "open"; an empty answer closes the connection.
    std::function<QByteArray(const QByteArray& line)> answerOther;

signals:
    void showRequested();
    /// A second start asked for a window of the running copy: "new-alarm" or "alarm-list".
    void openRequested(const QString& window);

private:
    void onNewConnection();
    bool listen();
    /// Takes the lock for the life of this object, writing the process id into the file.
    bool takeLock();

    QByteArray m_request = "show\n";
    QString m_lockPath;
    QString m_socketPath;
    QString m_listenError;
    int m_lockFd = -1;
    int m_connections = 0;
    QLocalServer m_server;
};
