#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <memory>
#include <vector>

#include <QDateTime>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/single_instance.h"
#include "helpers/eventually.h"
#include "program_copy.h"

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

TEST(SingleInstance, TheLockDecidesWhateverLiesInTheRuntimeFolder)
{
    struct Case {
        const char* situation;
        std::function<void(const QString& runtime)> spoil;
        SingleInstance::Start second; // what a second start finds: the running copy shown, or unreachable
    };
    const auto socketPath = [](const QString& runtime) {
        return QDir(runtime).filePath(QStringLiteral("belvane-%1.socket").arg(getuid()));
    };
    const Case cases[] = {
        {"socket file removed", [&](const QString& runtime) { QFile::remove(socketPath(runtime)); },
         SingleInstance::Start::Unreachable},
        {"socket file replaced by garbage",
         [&](const QString& runtime) {
             QFile::remove(socketPath(runtime));
             QFile garbage(socketPath(runtime));
             ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
             garbage.write("not a socket");
         },
         SingleInstance::Start::Unreachable},
        // However long ago the running copy started, its lock is its own for as long as it runs.
        {"lock file last written an hour ago",
         [](const QString& runtime) {
             QFile lock(QDir(runtime).filePath(QStringLiteral("belvane-%1.lock").arg(getuid())));
             ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
             const QDateTime hourAgo = QDateTime::currentDateTime().addSecs(-3600);
             ASSERT_TRUE(lock.setFileTime(hourAgo, QFileDevice::FileModificationTime));
             ASSERT_TRUE(lock.setFileTime(hourAgo, QFileDevice::FileAccessTime));
         },
         SingleInstance::Start::Shown},
    };
    for (const Case& c : cases) {
        ProgramCopy copy;
        auto first = copy.start();
        ASSERT_TRUE(copy.waitForListening(30000)) << c.situation << ": the first copy never listened";
        c.spoil(copy.runtime());

        auto second = copy.start();
        ASSERT_TRUE(second->waitForFinished(30000)) << c.situation << ": a second copy went on running";
        // A copy it cannot reach is not shown, and says so.
        EXPECT_EQ(second->exitCode(), c.second == SingleInstance::Start::Shown ? 0 : 1) << c.situation;
        EXPECT_EQ(first->state(), QProcess::Running) << c.situation;

        // A copy in this process cannot take the lock either while the program holds it.
        SingleInstance probe(copy.runtime());
        EXPECT_EQ(probe.becomePrimary(c.second == SingleInstance::Start::Shown ? 30000 : 200), c.second)
            << c.situation;
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
