#include "platform/inhibitors.h"

#include <utility>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
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

IdleInhibitor::IdleInhibitor(QDBusConnection session, QDBusConnection system, QObject* parent)
    : QObject(parent), m_session(std::move(session)), m_system(std::move(system))
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
    // Each holding has its own answers: one that comes after its holding was let go (the alarm was
    // answered at once) is given back as it comes, even when the next holding has begun.
    const quint64 holding = ++m_holding;
    // The watchers are children: an answer that comes after the end of the run is not looked at.
    if (m_session.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(kScreenSaver, kScreenSaverPath, kScreenSaver,
                                                           QStringLiteral("Inhibit"));
        call << QStringLiteral("Belvane") << why;
        auto* watcher = new QDBusPendingCallWatcher(m_session.asyncCall(call, kCallTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, holding] {
            watcher->deleteLater();
            const QDBusPendingReply<uint> reply = *watcher;
            if (reply.isError())
                return;
            if (m_held && holding == m_holding && m_cookie == 0)
                m_cookie = reply.value();
            else
                unInhibitScreenSaver(reply.value());
        });
    }
    if (m_system.isConnected()) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kLogind, kLogindPath, kLogindManager, QStringLiteral("Inhibit"));
        call << QStringLiteral("idle") << QStringLiteral("Belvane") << why << QStringLiteral("block");
        auto* watcher = new QDBusPendingCallWatcher(m_system.asyncCall(call, kCallTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, holding] {
            watcher->deleteLater();
            const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
            // A descriptor not kept is closed as the reply goes, which ends logind's inhibitor.
            if (!reply.isError() && m_held && holding == m_holding)
                m_logind = reply.value();
        });
    }
}

void IdleInhibitor::release()
{
    if (!std::exchange(m_held, false))
        return;
    if (m_cookie != 0)
        unInhibitScreenSaver(std::exchange(m_cookie, 0u));
    m_logind = QDBusUnixFileDescriptor(); // closing the descriptor ends logind's inhibitor
}

void IdleInhibitor::unInhibitScreenSaver(uint cookie)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kScreenSaver, kScreenSaverPath, kScreenSaver,
                                                       QStringLiteral("UnInhibit"));
    call << cookie;
    m_session.call(call, QDBus::Block, kCallTimeoutMs);
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
        m_fd = logindInhibit(m_system, QStringLiteral("sleep"), QCoreApplication::translate("SleepDelay", "闹钟在睡眠前设置唤醒定时器"),
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
