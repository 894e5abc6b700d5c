#include "platform/inhibitors.h"

#include <utility>

#include <QDBusMessage>
#include <QDBusReply>

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
// A bus that does not answer must not keep a ringing alarm, or the program's start, waiting long.
constexpr int kCallTimeoutMs = 5000;

/// logind's Inhibit: a descriptor that holds the inhibitor until it is closed; invalid when logind
/// is not there or refuses.
QDBusUnixFileDescriptor logindInhibit(QDBusConnection& bus, const QString& what, const QString& why,
                                      const QString& mode)
{
    if (!bus.isConnected())
        return {};
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLogind, kLogindPath, kLogindManager, QStringLiteral("Inhibit"));
    call << what << QStringLiteral("Belvane") << why << mode;
    const QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    return reply.isValid() ? reply.value() : QDBusUnixFileDescriptor();
}

} // namespace

IdleInhibitor::IdleInhibitor(QDBusConnection session, QDBusConnection system)
    : m_session(std::move(session)), m_system(std::move(system))
{
}

IdleInhibitor::~IdleInhibitor()
{
    release();
}

void IdleInhibitor::hold(const QString& why)
{
    if (m_held)
        return;
    m_held = true;
    if (m_session.isConnected()) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                           kScreenSaver, QStringLiteral("Inhibit"));
        call << QStringLiteral("Belvane") << why;
        const QDBusReply<uint> reply = m_session.call(call, QDBus::Block, kCallTimeoutMs);
        m_cookie = reply.isValid() ? reply.value() : 0;
    }
    m_logind = logindInhibit(m_system, QStringLiteral("idle"), why, QStringLiteral("block"));
}

void IdleInhibitor::release()
{
    if (!std::exchange(m_held, false))
        return;
    if (m_cookie != 0) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                           kScreenSaver, QStringLiteral("UnInhibit"));
        call << std::exchange(m_cookie, 0u);
        // Waited for, so it is delivered even when the program ends right after.
        m_session.call(call, QDBus::Block, kCallTimeoutMs);
    }
    m_logind = QDBusUnixFileDescriptor(); // closing the descriptor ends logind's inhibitor
}

SleepDelay::SleepDelay(QDBusConnection system, QObject* parent) : QObject(parent), m_system(std::move(system))
{
    if (!m_system.isConnected())
        return;
    // QtDBus connects signals by signature, so the slot is named the old way.
    m_system.connect(QString(), kLogindPath, kLogindManager, QStringLiteral("PrepareForSleep"), this,
                     SLOT(onPrepareForSleep(bool)));
    take();
}

void SleepDelay::take()
{
    if (!m_fd.isValid())
        m_fd = logindInhibit(m_system, QStringLiteral("sleep"), QStringLiteral("闹钟在睡眠前设置唤醒定时器"),
                             QStringLiteral("delay"));
}

void SleepDelay::onPrepareForSleep(bool goingToSleep)
{
    if (!goingToSleep) {
        take();
        return;
    }
    emit aboutToSleep();
    m_fd = QDBusUnixFileDescriptor();
}
