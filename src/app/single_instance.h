#pragma once

#include <memory>

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

/// One running copy per user. The first copy holds a lock file and listens on a local socket, both in
/// the user's runtime folder; a later copy finds the lock taken, asks the first to come to the front
/// and ends without creating a window or touching a file.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    /// `folder` is where the lock and the socket live; empty means $XDG_RUNTIME_DIR, else the
    /// temporary folder.
    explicit SingleInstance(QString folder = {});
    ~SingleInstance() override;

    /// True when this process is now the running copy. False only when a running copy answered on the
    /// socket (it has then been asked to come to the front): a lock file left by a copy that is gone,
    /// or one that names no process (cut short by a power failure), is taken over.
    bool becomePrimary(int answerTimeoutMs = 3000);
    /// Asks the running copy to bring its clock window to the front; true when it answered.
    bool askPrimaryToShow(int timeoutMs = 3000);

signals:
    void showRequested();

private:
    void onNewConnection();
    bool listen();

    QString m_lockPath;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};
