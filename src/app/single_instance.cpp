#include "app/single_instance.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace {
const QByteArray kShowRequest = "show\n";
const QByteArray kShowAnswer = "ok\n";

QString defaultFolder()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    return dir;
}
} // namespace

SingleInstance::SingleInstance(QString folder)
{
    if (folder.isEmpty())
        folder = defaultFolder();
    // The user id keeps two users of a shared temporary folder apart.
    const QString base = QDir(folder).filePath(QStringLiteral("belvane-%1").arg(getuid()));
    m_lockPath = base + QStringLiteral(".lock");
    m_socketPath = base + QStringLiteral(".socket");
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance()
{
    m_server.close();
}

bool SingleInstance::becomePrimary(int answerTimeoutMs)
{
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Only a dead owner makes the lock stale, however long the clock has run.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return listen();
    qint64 pid = 0;
    QString host, app;
    const bool named = m_lock->getLockInfo(&pid, &host, &app) && pid > 0;
    const bool ownerAlive = named && (kill(pid_t(pid), 0) == 0 || errno == EPERM);
    // A live owner has a moment to answer; the process a lock names may also be an unrelated one that
    // took over its number, which never answers.
    if (ownerAlive && askPrimaryToShow(answerTimeoutMs)) {
        m_lock.reset();
        return false;
    }
    m_lock->removeStaleLockFile();
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return askPrimaryToShow(answerTimeoutMs) ? false : listen();
    }
    return listen();
}

bool SingleInstance::listen()
{
    // A copy that crashed leaves its socket file behind.
    QLocalServer::removeServer(m_socketPath);
    return m_server.listen(m_socketPath);
}

bool SingleInstance::askPrimaryToShow(int timeoutMs)
{
    // The running copy may hold the lock but not listen yet if it started a moment ago.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(int(qMax<qint64>(1, deadline.remainingTime())))) {
            socket.write(kShowRequest);
            socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())));
            while (!socket.canReadLine() && socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            }
            return socket.readLine() == kShowAnswer;
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kShowRequest) {
                emit showRequested();
                socket->write(kShowAnswer);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}
