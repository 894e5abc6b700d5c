#include <gtest/gtest.h>

#include <unistd.h>

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
    ASSERT_TRUE(primary.becomePrimary());
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
    EXPECT_FALSE(probe.becomePrimary());
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
        EXPECT_TRUE(instance.becomePrimary(500)) << c.situation;
        QLocalSocket probe;
        probe.connectToServer(runtime.filePath(QStringLiteral("belvane-%1.socket").arg(getuid())));
        EXPECT_TRUE(probe.waitForConnected(30000)) << c.situation << ": the copy that took over must listen";
    }
}
