#include "platform/wake_timer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

namespace {
// Starting a program and creating a timer take milliseconds; a machine about to sleep waits this
// long at most for the helper to take in the last instant.
constexpr int kSettleMs = 2000;
} // namespace

LinuxWakeTimer::LinuxWakeTimer(const QString& helperPath, QObject* parent)
    : QObject(parent), m_helper(new QProcess(this)), m_helperPath(helperPath)
{
    connect(m_helper, &QProcess::readyReadStandardOutput, this, &LinuxWakeTimer::readAnswers);
    connect(m_helper, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            m_failure = QCoreApplication::translate("WakeTimer", "找不到唤醒程序 %1").arg(m_helperPath);
    });
    connect(m_helper, &QProcess::finished, this, [this] {
        const QString said = QString::fromLocal8Bit(m_helper->readAllStandardError());
        m_ready = false;
        if (said.contains(QLatin1String("cap_wake_alarm")))
            m_failure = QCoreApplication::translate("WakeTimer", "唤醒程序没有 cap_wake_alarm 权限");
        else if (m_failure.isEmpty())
            m_failure = QCoreApplication::translate("WakeTimer", "唤醒程序无法设置唤醒定时器");
    });
    // What it says goes to the log only when it fails; the machine's own clock is never touched.
    m_helper->setProcessChannelMode(QProcess::SeparateChannels);
}

LinuxWakeTimer::~LinuxWakeTimer()
{
    if (m_helper->state() == QProcess::NotRunning)
        return;
    m_helper->closeWriteChannel();
    if (!m_helper->waitForFinished(kSettleMs)) {
        m_helper->kill();
        m_helper->waitForFinished(kSettleMs); // gone, with its timer, before this returns
    }
}

void LinuxWakeTimer::arm(const QDateTime& instant)
{
    if (m_helper->state() == QProcess::NotRunning && !m_failure.isEmpty())
        return;
    // Started with the first instant to wake at: a program with no alarm to wake for runs no helper.
    if (!m_started) {
        if (!instant.isValid())
            return;
        m_started = true;
        m_helper->start(m_helperPath, {});
    }
    const QByteArray line = instant.isValid() ? QByteArray::number(instant.toSecsSinceEpoch()) : QByteArray();
    m_helper->write(line + '\n');
    m_awaited = instant.isValid() ? "armed " + line : QByteArray("disarmed");
}

void LinuxWakeTimer::settle()
{
    // Asked before any instant was given (the about box, a sleep with no alarm): the helper is
    // started with nothing to wake for, so that whether the machine can be woken is known.
    if (!m_started && m_failure.isEmpty()) {
        m_started = true;
        m_helper->start(m_helperPath, {});
    }
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
        if (answer == "ready")
            m_ready = true;
        else if (answer == m_awaited)
            m_awaited.clear();
    }
}
