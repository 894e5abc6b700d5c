#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QFile>
#include <QRegularExpression>

#include "program_copy.h"

namespace {

/// The soft limit on open files of a running process, as the kernel reports it.
qint64 softOpenFileLimit(qint64 pid)
{
    QFile limits(QStringLiteral("/proc/%1/limits").arg(pid));
    if (!limits.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression kLine(QStringLiteral("^Max open files\\s+(\\d+)\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = kLine.match(QString::fromLatin1(limits.readAll()));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

} // namespace

// A session that starts programs with a low soft limit (often 1,024) and a higher hard one: the
// running program has raised its soft limit as far as the hard limit lets it. The limit is raised
// before the program opens anything, so even one that leaves no room to open the display is no bar.
TEST(OpenFileLimit, TheRunningProgramHasRaisedItsSoftLimitToTheHardLimit)
{
    struct Case {
        const char* situation;
        rlim_t soft, hard;
    };
    const Case cases[] = {
        {"a low soft limit", 256, 2048},
        {"the usual soft limit", 1024, 4096},
        {"no room beyond the standard streams and two more", 5, 2048},
    };
    rlimit own{};
    getrlimit(RLIMIT_NOFILE, &own);
    for (const Case& c : cases) {
        if (c.hard > own.rlim_max)
            GTEST_SKIP() << "this test runs with a hard limit of " << own.rlim_max << " open files";
        ProgramCopy copy;
        auto program = copy.start([c] {
            const rlimit limit{c.soft, c.hard};
            setrlimit(RLIMIT_NOFILE, &limit);
        });
        ASSERT_TRUE(copy.waitForListening(30000)) << c.situation << ": the program never listened";
        EXPECT_EQ(softOpenFileLimit(program->processId()), qint64(c.hard)) << c.situation;
        program->kill();
        program->waitForFinished();
    }
}
