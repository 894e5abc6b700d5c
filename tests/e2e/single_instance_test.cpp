#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/single_instance.h"
#include "helpers/eventually.h"
#include "helpers/read_only_folder.h"
#include "helpers/temp_folder.h"
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

TEST(SingleInstance, WhateverLiesAtTheSocketPathIsMovedAsideNeverFollowedNorEmptied)
{
    TempFolder elsewhere;
    elsewhere.write("note", "kept");
    const auto deadSocket = [](const QString& path) { // as a crashed copy leaves it
        sockaddr_un address{AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::close(fd);
    };
    struct Case {
        const char* situation;
        std::function<void(const QString& socket)> put;
        const char* kept; // where the note is found afterwards, after the socket's path
    };
    const Case cases[] = {
        {"a folder holding a file",
         [&](const QString& s) { QDir().mkpath(s), QFile::copy(elsewhere.file("note"), s + "/note"); },
         ".old/note"},
        {"a link to a folder elsewhere", [&](const QString& s) { QFile::link(elsewhere.path(), s); },
         ".old/note"},
        {"a file", [&](const QString& s) { QFile::copy(elsewhere.file("note"), s); }, ".old"},
        {"a socket left by a crash, and one moved aside before it",
         [&](const QString& s) { deadSocket(s + ".old"), deadSocket(s); }, nullptr},
    };
    for (const Case& c : cases) {
        ProgramCopy copy;
        const QString socket =
            QDir(copy.runtime()).filePath(QStringLiteral("belvane-%1.socket").arg(getuid()));
        c.put(socket);
        auto first = copy.start();
        SingleInstance second(copy.runtime()); // asked until the copy listens in its place
        ASSERT_TRUE(second.askPrimaryToShow(30000)) << c.situation << ": the copy did not listen";
        EXPECT_EQ(second.becomePrimary(30000), SingleInstance::Start::Shown) << c.situation;
        QFile note(socket + c.kept);
        EXPECT_TRUE(!c.kept || (note.open(QIODevice::ReadOnly) && note.readAll() == "kept")) << c.situation;
        EXPECT_FALSE(QFileInfo::exists(socket + ".old2")) << c.situation << ": left-behind sockets pile up";
        EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{"note"}) << c.situation;
        first->kill();
        first->waitForFinished();
    }
}

TEST(SingleInstance, ACopyThatCannotListenRunsAndSaysSoOnce)
{
    ProgramCopy copy;
    const QString socket = QDir(copy.runtime()).filePath(QStringLiteral("belvane-%1.socket").arg(getuid()));
    QDir().mkpath(socket);
    QFile(QDir(copy.runtime()).filePath(QStringLiteral("belvane-%1.lock").arg(getuid())))
        .open(QIODevice::WriteOnly);
    ReadOnlyFolder frozen(copy.runtime()); // nothing in it can be renamed
    if (!frozen.active())
        GTEST_SKIP() << "cannot make a folder read-only here";
    auto first = copy.start({}, QProcess::SeparateChannels);
    QByteArray said;
    const auto saidSoFar = [&] {
        return (said += first->readAllStandardError()).count(QFile::encodeName(socket));
    };
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return saidSoFar() > 0 || first->state() != QProcess::Running; }, 30000));
    auto second = copy.start(); // finds the lock taken and no one answering
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitCode(), 1);
    EXPECT_EQ(saidSoFar(), 1) << said.toStdString();
    EXPECT_EQ(first->state(), QProcess::Running) << "a copy that cannot listen ended";
    first->kill();
    first->waitForFinished();
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
    const auto open = [&](int from, int to) {
        return std::count_if(idle.begin() + from, idle.begin() + to,
                             [](const auto& s) { return s->state() == QLocalSocket::ConnectedState; });
    };
    // Beyond the eight the server keeps, connections are closed as they come: while the first eight
    // are open, not idle long enough to be closed, the others are closed already.
    EXPECT_EVENTUALLY(open(8, 20) == 0);
    EXPECT_EQ(open(0, 8), 8) << "the first connections are served";
    // Those it keeps are closed once they have been idle a while.
    EXPECT_EVENTUALLY(open(0, 8) == 0);

    // A request too long is cut as it arrives, not for its silence: a connection made before it is
    // still open.
    for (const QByteArray& request :
         {QByteArray(4096, 'x'), QByteArray(SingleInstance::kMaxRequestBytes + 1, 'x'),
          QByteArray(300, 'x') + '\n'}) {
        QLocalSocket before, oversized;
        for (QLocalSocket* s : {&before, &oversized}) {
            s->connectToServer(path);
            ASSERT_TRUE(s->waitForConnected(30000));
        }
        oversized.write(request);
        EXPECT_EVENTUALLY(oversized.state() == QLocalSocket::UnconnectedState) << request.size() << " bytes";
        EXPECT_EQ(before.state(), QLocalSocket::ConnectedState) << request.size() << " bytes";
    }

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
