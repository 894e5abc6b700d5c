#include "platform/wake_timer.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QtDebug>

namespace {
// Starting a program and creating a timer take milliseconds; a machine about to sleep waits this
// long at most for the helper to take in the last instant.
constexpr int kSettleMs = 2000;

/// Runs in the helper's process between fork and exec, where only async-signal-safe calls are
/// allowed: every descriptor but its standard three (its pipes by then) is closed at exec, whatever
/// the libraries of this process opened without saying so.
void closeOthersAtExec()
{
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    // Kernels before 5.11 know no such flag: each descriptor the limit allows is marked.
    rlimit limit{};
    const rlim_t highest = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                               ? std::min<rlim_t>(limit.rlim_cur, 1 << 20)
                               : 1 << 16;
    for (rlim_t fd = 3; fd < highest; ++fd)
        ::fcntl(int(fd), F_SETFD, FD_CLOEXEC);
}
} // namespace

LinuxWakeTimer::LinuxWakeTimer(const QString& helperPath, QObject* parent)
    : QObject(parent), m_helper(new QProcess(this)), m_helperPath(helperPath)
{
    connect(m_helper, &QProcess::readyReadStandardOutput, this, &LinuxWakeTimer::readAnswers);
    connect(m_helper, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // A helper that started and then ended is handled when it has finished.
        if (error == QProcess::FailedToStart)
            helperEnded(QCoreApplication::translate("WakeTimer", "找不到唤醒程序 %1").arg(m_helperPath),
                        m_helper->errorString());
    });
    connect(m_helper, &QProcess::finished, this, [this](int, QProcess::ExitStatus status) {
        const QString said = QString::fromLocal8Bit(m_helper->readAllStandardError()).trimmed();
        QString reason;
        if (said.contains(QLatin1String("cap_wake_alarm")))
            reason = QCoreApplication::translate("WakeTimer", "唤醒程序没有 cap_wake_alarm 权限");
        else if (status == QProcess::CrashExit)
            reason = QCoreApplication::translate("WakeTimer", "唤醒程序意外结束，正在重新启动");
        else
            reason = QCoreApplication::translate("WakeTimer", "唤醒程序无法设置唤醒定时器");
        helperEnded(reason, said);
    });
    // What it says goes to the log only when it fails; the machine's own clock is never touched.
    m_helper->setProcessChannelMode(QProcess::SeparateChannels);
    m_helper->setChildProcessModifier(closeOthersAtExec);
    m_restart.setSingleShot(true);
    connect(&m_restart, &QTimer::timeout, this, &LinuxWakeTimer::startHelper);
}

LinuxWakeTimer::~LinuxWakeTimer()
{
    // A helper that goes now is not started again.
    disconnect(m_helper, nullptr, this, nullptr);
    m_restart.stop();
    if (m_helper->state() == QProcess::NotRunning)
        return;
    m_helper->closeWriteChannel();
    if (!m_helper->waitForFinished(kSettleMs)) {
        m_helper->kill();
        m_helper->waitForFinished(kSettleMs); // gone, with its timer, before this returns
    }
}

int LinuxWakeTimer::restartDelayMs(int quickFailures)
{
    // At once after a helper that had been running (killed, out of memory), then doubling, and once
    // a minute for a helper that keeps failing: each start costs a process, and a reason that does
    // not go away by itself (a capability missing) must not cost more.
    if (quickFailures >= kQuickFailuresBeforeSlowRestarts)
        return 60 * 1000;
    return 1000 << std::max(0, quickFailures - 1);
}

void LinuxWakeTimer::startHelper()
{
    m_restart.stop();
    m_started = true;
    m_ready = false;
    m_awaited.clear();
    m_runningSince.start();
    m_helper->start(m_helperPath, {});
    // A helper started again takes up where the last one was left: the instant asked for last.
    if (m_instant.isValid())
        arm(m_instant);
}

void LinuxWakeTimer::helperEnded(const QString& reason, const QString& said)
{
    m_ready = false;
    m_awaited.clear();
    m_failure = reason;
    // Said once, not at every start that fails the same way.
    if (reason != std::exchange(m_said, reason))
        qWarning().noquote() << QStringLiteral("belvane: ") + reason +
                                    (said.isEmpty() ? QString() : QStringLiteral(": ") + said);
    const bool quick = !m_runningSince.isValid() || m_runningSince.elapsed() < kSteadyRunMs;
    m_quickFailures = quick ? m_quickFailures + 1 : 0;
    m_restart.start(restartDelayMs(m_quickFailures));
    emit statusChanged();
}

void LinuxWakeTimer::arm(const QDateTime& instant)
{
    m_instant = instant;
    // Started with the first instant to wake at: a program with no alarm to wake for runs no helper.
    if (!m_started) {
        if (!instant.isValid())
            return;
        startHelper();
        return;
    }
    // Between a helper's end and the next start the instant waits, and is given at the start.
    if (m_helper->state() == QProcess::NotRunning)
        return;
    const QByteArray line = instant.isValid() ? QByteArray::number(instant.toSecsSinceEpoch()) : QByteArray();
    m_helper->write(line + '\n');
    m_awaited = instant.isValid() ? "armed " + line : QByteArray("disarmed");
}

void LinuxWakeTimer::settle()
{
    // Asked before any instant was given (the about box, a sleep with no alarm): the helper is
    // started with nothing to wake for, so that whether the machine can be woken is known. One that
    // waits to be started again is started now, unless it keeps failing.
    if (!m_started || (m_restart.isActive() && m_quickFailures < kQuickFailuresBeforeSlowRestarts))
        startHelper();
    if (m_helper->state() == QProcess::NotRunning)
        return;
    m_helper->waitForStarted(kSettleMs);
    while (m_helper->bytesToWrite() > 0 && m_helper->waitForBytesWritten(kSettleMs)) {
    }
    // In force once the helper has said so for the last instant sent, not when it was written: the
    // machine may go to sleep right after this returns.
    QDeadlineTimer deadline(kSettleMs);
    readAnswers();
    while ((!m_ready || !m_awaited.isEmpty()) && m_helper->state() == QProcess::Running &&
           m_helper->waitForReadyRead(int(deadline.remainingTime())))
        readAnswers();
}

QString LinuxWakeTimer::cannotWakeReason() const
{
    if (m_ready)
        return {};
    return m_failure.isEmpty() ? QCoreApplication::translate("WakeTimer", "唤醒程序尚未就绪") : m_failure;
}

void LinuxWakeTimer::readAnswers()
{
    while (m_helper->canReadLine()) {
        const QByteArray answer = m_helper->readLine().trimmed();
        if (answer == "ready") {
            m_ready = true;
            m_failure.clear();
            emit statusChanged();
        } else if (answer == m_awaited) {
            m_awaited.clear();
        }
    }
}
