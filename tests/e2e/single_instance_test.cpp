#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <memory>
#include <vector>

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "app/single_instance.h"
#include "helpers/eventually.h"
#include "helpers/temp_folder.h"

namespace {

/// A copy of the built program in a fresh program folder, with its own runtime folder.
class ProgramCopy {
public:
    ProgramCopy()
    {
        QFile::copy(BELVANE_EXE, m_folder.file("belvane"));
        QFile::setPermissions(m_folder.file("belvane"), QFileDevice::ExeOwner | QFileDevice::ReadOwner);
        m_folder.write("al.ini", "0\r\n");
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        m_env.insert("XDG_CONFIG_HOME", m_config.path()); // the program writes its autostart entry at start
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
    }

    std::unique_ptr<QProcess> start() const
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(m_env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(m_folder.file("belvane"), {});
        p->waitForStarted();
        return p;
    }

    /// Waits until the running copy listens, which is when a second start can find it.
    bool waitForListening(int ms) const
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            for (const QString& f : QDir(m_runtime.path()).entryList(QDir::System))
                if (f.endsWith(".socket"))
                    return true;
            QThread::msleep(20);
        }
        return false;
    }

    /// Name, size, time and hash of every file in the program folder.
    QStringList snapshot() const
    {
        QStringList out;
        QDirIterator it(m_folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            out << path + " " + it.fileInfo().lastModified().toString(Qt::ISODateWithMs) + " " +
                       QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex();
        }
        out.sort();
        return out;
    }

    QString runtime() const { return m_runtime.path(); }

private:
    TempFolder m_folder;
    QTemporaryDir m_runtime;
    QTemporaryDir m_config;
    QProcessEnvironment m_env;
};

} // namespace

TEST(SingleInstance, SecondStartEndsAtOnceLeavingFirstRunningAndFilesUntouched)
{
    ProgramCopy copy;
    auto first = copy.start();
    ASSERT_TRUE(copy.waitForListening(30000)) << "the first copy never listened";
    // The first copy stores the instant its scheduler checked as it starts: that is its own writing.
    ASSERT_TRUE(QTest::qWaitFor([&] { return copy.snapshot().join('\n').contains("lastcheck.ini"); }, 30000));
    const QStringList before = copy.snapshot();

    auto second = copy.start();
    ASSERT_TRUE(second->waitForFinished(30000)) << "the second copy did not end";
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(copy.snapshot(), before);
    EXPECT_EQ(first->state(), QProcess::Running);

    first->kill();
    first->waitForFinished();
}

TEST(SingleInstance, SecondStartAsksTheRunningCopyToShowItsClock)
{
    // This test process plays the running copy; the real program is the second start.
    ProgramCopy copy;
    SingleInstance primary(copy.runtime());
    ASSERT_EQ(primary.becomePrimary(), SingleInstance::Start::Primary);
    QSignalSpy shown(&primary, &SingleInstance::showRequested);
    auto second = copy.start();
    EXPECT_TRUE(shown.wait(30000));
    EXPECT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitCode(), 0);
}

TEST(SingleInstance, CrashedCopyDoesNotBlockTheNextStart)
{
    ProgramCopy copy;
    auto crashed = copy.start();
    ASSERT_TRUE(copy.waitForListening(30000));
    crashed->kill(); // leaves its lock and socket files behind
    crashed->waitForFinished();

    auto next = copy.start();
    SingleInstance probe(copy.runtime());
    // The next start answers on the socket path the crashed copy left behind.
    EXPECT_TRUE(probe.askPrimaryToShow(30000)) << "the next start never answered";
    EXPECT_EQ(next->state(), QProcess::Running) << "the next start ended instead of running";
    EXPECT_EQ(probe.becomePrimary(), SingleInstance::Start::Shown);
    next->kill();
    next->waitForFinished();
}

TEST(SingleInstance, LockFileLeftBadlyIsTakenOver)
{
    struct Case {
        const char* situation;
        QByteArray lock;
    };
    const Case cases[] = {
        {"empty, after a power cut", ""},
        {"garbled", "\x01\x02garbage\n\n"},
        {"naming a process that is gone", "2147483646\nbelvane\nsomehost\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir runtime;
        QFile lock(runtime.filePath(QStringLiteral("belvane-%1.lock").arg(getuid())));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(c.lock);
        lock.close();
        SingleInstance instance(runtime.path());
        EXPECT_EQ(instance.becomePrimary(500), SingleInstance::Start::Primary) << c.situation;
        QLocalSocket probe;
        probe.connectToServer(runtime.filePath(QStringLiteral("belvane-%1.socket").arg(getuid())));
        EXPECT_TRUE(probe.waitForConnected(30000)) << c.situation << ": the copy that took over must listen";
    }
}

TEST(SingleInstance, TheLockDecidesWhateverLiesAtTheSocketsPath)
{
    struct Case {
        const char* situation;
        std::function<void(const QString& socketPath)> spoil;
    };
    const Case cases[] = {
        {"socket file removed", [](const QString& path) { QFile::remove(path); }},
        {"socket file replaced by garbage",
         [](const QString& path) {
             QFile::remove(path);
             QFile garbage(path);
             ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
             garbage.write("not a socket");
         }},
    };
    for (const Case& c : cases) {
        ProgramCopy copy;
        auto first = copy.start();
        ASSERT_TRUE(copy.waitForListening(30000)) << c.situation << ": the first copy never listened";
        c.spoil(QDir(copy.runtime()).filePath(QStringLiteral("belvane-%1.socket").arg(getuid())));

        auto second = copy.start();
        ASSERT_TRUE(second->waitForFinished(30000)) << c.situation << ": a second copy went on running";
        EXPECT_EQ(second->exitCode(), 1) << c.situation << ": a copy it cannot reach is not shown";
        EXPECT_EQ(first->state(), QProcess::Running) << c.situation;

        // A copy in this process cannot take the lock either while the program holds it.
        SingleInstance probe(copy.runtime());
        EXPECT_EQ(probe.becomePrimary(200), SingleInstance::Start::Unreachable) << c.situation;
        first->kill();
        first->waitForFinished();
        // Gone with its process: the next start takes the lock and replaces the socket file.
        SingleInstance next(copy.runtime());
        EXPECT_EQ(next.becomePrimary(200), SingleInstance::Start::Primary) << c.situation;
    }
}

TEST(SingleInstance, IdleAndOversizedConnectionsAreCutAndTheSocketStillAnswers)
{
    QTemporaryDir runtime;
    SingleInstance primary(runtime.path());
    ASSERT_EQ(primary.becomePrimary(), SingleInstance::Start::Primary);
    const QString path = runtime.filePath(QStringLiteral("belvane-%1.socket").arg(getuid()));

    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < 20; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        idle.back()->connectToServer(path);
        ASSERT_TRUE(idle.back()->waitForConnected(30000));
    }
    const auto open = [&] {
        return std::count_if(idle.begin(), idle.end(),
                             [](const auto& s) { return s->state() == QLocalSocket::ConnectedState; });
    };
    // Beyond the few the server keeps, connections are closed as they come.
    EXPECT_EVENTUALLY(open() <= 8);
    EXPECT_GE(open(), 1) << "the first connections are served";
    // Those it keeps are closed once they have been idle a while.
    EXPECT_EVENTUALLY_EQ(open(), 0);

    QLocalSocket oversized;
    oversized.connectToServer(path);
    ASSERT_TRUE(oversized.waitForConnected(30000));
    oversized.write(QByteArray(4096, 'x'));
    EXPECT_EVENTUALLY_EQ(oversized.state(), QLocalSocket::UnconnectedState);

    // A well-formed request is still answered (the server runs in this thread: no blocking wait here).
    QSignalSpy shown(&primary, &SingleInstance::showRequested);
    QLocalSocket asking;
    asking.connectToServer(path);
    ASSERT_TRUE(asking.waitForConnected(30000));
    asking.write("show\n");
    EXPECT_EVENTUALLY_EQ(shown.size(), 1);
    EXPECT_EVENTUALLY(asking.canReadLine());
    EXPECT_EQ(asking.readLine(), "ok\n");
}
