#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace {
const QByteArray kShowRequest = "show\n";
const QByteArray kShowAnswer = "ok\n";
const QByteArray kOpenRequest = "open ";

QString defaultFolder()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    return dir;
}

/// Moves whatever lies at `path` (a socket, a file, a folder, a link) to a free name beside it,
/// "<path>.old", "<path>.old2"...: renamed as it is, never followed, never emptied. A socket left by
/// an earlier run takes the place of one moved aside before it, so crashes do not pile them up.
/// False when something stays in the way.
bool moveAside(const QString& path)
{
    const QByteArray from = QFile::encodeName(path);
    struct stat what {};
    if (::lstat(from.constData(), &what) != 0)
        return errno == ENOENT;
    constexpr int kNames = 100;
    for (int n = 1; n <= kNames; ++n) {
        const QByteArray to = from + ".old" + (n > 1 ? QByteArray::number(n) : QByteArray());
        struct stat there {};
        const bool taken = ::lstat(to.constData(), &there) == 0;
        if (taken && !(S_ISSOCK(what.st_mode) && S_ISSOCK(there.st_mode)))
            continue;
        int moved = taken
                        ? ::rename(from.constData(), to.constData())
                        : ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
        if (moved != 0 && !taken && errno == EINVAL) // a file system that cannot refuse to replace
            moved = ::rename(from.constData(), to.constData());
        if (moved == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
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
    // The connections go while the count they keep is still there.
    qDeleteAll(m_server.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly));
    if (m_lockFd != -1)
        ::close(m_lockFd);
}

SingleInstance::Start SingleInstance::becomePrimary(int answerTimeoutMs)
{
    if (!takeLock()) {
        if (askPrimaryToShow(answerTimeoutMs))
            return Start::Shown;
        // The holder may have been an alarm command changing the files while no copy ran: it lets
        // go within moments, and this start goes on as the running copy.
        if (!takeLock())
            return Start::Unreachable;
    }
    // Running without the socket beats not running: the alarms still ring, and only a second
    // start cannot reach this copy.
    listen();
    return Start::Primary;
}

bool SingleInstance::takeLock()
{
    m_lockFd = ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd != -1 && ::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
        // For whoever looks: the holder's process id. The lock itself is what counts.
        const QByteArray pid = QByteArray::number(qint64(getpid())) + '\n';
        [[maybe_unused]] const bool written =
            ::ftruncate(m_lockFd, 0) == 0 && ::pwrite(m_lockFd, pid.constData(), size_t(pid.size()), 0) > 0;
        return true;
    }
    if (m_lockFd != -1) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
    return false;
}

bool SingleInstance::listen()
{
    // Only the lock's holder gets here: whatever lies at the socket's path (left by a crash, garbled,
    // put there by something else) is in the way and is moved aside.
    if (!moveAside(m_socketPath)) {
        m_listenError = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (m_server.listen(m_socketPath))
        return true;
    m_listenError = m_server.errorString();
    return false;
}

bool SingleInstance::askPrimaryToShow(int timeoutMs)
{
    return ask(m_request.chopped(1), timeoutMs) == kShowAnswer.chopped(1);
}

bool SingleInstance::lockWhileNoCopyRuns()
{
    return takeLock();
}

std::optional<QByteArray> SingleInstance::ask(const QByteArray& line, int timeoutMs)
{
    if (line.size() + 1 > kMaxRequestBytes)
        return std::nullopt;
    // The running copy may hold the lock but not listen yet if it started a moment ago.
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(int(qMax<qint64>(1, deadline.remainingTime())))) {
            socket.write(line + '\n');
            socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())));
            while (!socket.canReadLine() &&
                   socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            }
            if (!socket.canReadLine())
                return std::nullopt;
            return socket.readLine().chopped(1);
        }
        QThread::msleep(50);
    }
    return std::nullopt;
}

void SingleInstance::onNewConnection()
{
    // Anything of the user's can connect: the socket must never use up the descriptors and the
    // attention an alarm needs. A few connections at once, each short-lived, one short request each.
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        if (m_connections >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_connections;
        // Read no further than one byte past the longest request, so a longer one is cut there.
        socket->setReadBufferSize(kMaxRequestBytes + 1);
        connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        connect(idle, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        idle->start(kIdleMs);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxRequestBytes) {
                    socket->abort();
                    socket->deleteLater();
                }
                return;
            }
            const QByteArray request = socket->readLine(kMaxRequestBytes + 1);
            if (request == kShowRequest) {
                emit showRequested();
                socket->write(kShowAnswer);
            } else if (request.startsWith(kOpenRequest) && request.endsWith('\n')) {
                emit openRequested(QString::fromUtf8(request.mid(kOpenRequest.size()).chopped(1)));
                socket->write(kShowAnswer);
            } else if (answerOther && request.endsWith('\n')) {
                const QByteArray answer = answerOther(request.chopped(1));
                if (!answer.isEmpty())
                    socket->write(answer + '\n');
            }
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}
