#include "shell/ring_notification.h"

#include <utility>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kSnooze = QStringLiteral("snooze");
const QString kOk = QStringLiteral("ok");
const QString kOpenList = QStringLiteral("open-list");
constexpr int kReminderLines = 3;

void closeNotification(QDBusConnection& bus, uint id)
{
    bus.asyncCall(QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"))
                  << id);
}

} // namespace

RingNotification::RingNotification(QDBusConnection bus, QObject* parent) : QObject(parent), m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(notificationClosed(uint, uint)));
}

RingNotification::~RingNotification()
{
    withdraw();
}

QString RingNotification::bodyText(const QString& time, const QString& reminder)
{
    QStringList lines = reminder.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    lines = lines.mid(0, kReminderLines);
    lines.prepend(time);
    return lines.join(QLatin1Char('\n'));
}

void RingNotification::show(const QString& caption, const QString& time, const QString& reminder)
{
    if (!m_bus.isConnected())
        return;
    m_withdrawn = false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))},
                            {QStringLiteral("category"), QStringLiteral("x-belvane.alarm")},
                            {QStringLiteral("desktop-entry"), QStringLiteral("belvane")},
                            // kept after a snooze chosen on it, until the alarm is answered
                            {QStringLiteral("resident"), true}};
    call << QStringLiteral("Belvane") << m_id << QStringLiteral("belvane")
         << (caption.isEmpty() ? tr("闹铃") : caption) << bodyText(time, reminder)
         << QStringList{kSnooze, tr("打盹儿"), kOk, tr("确定")} << hints
         << 0; // stays until the alarm is answered
    m_pending = true;
    // Never waited for: a slow or missing server must not hold up the ringing. The answer may come
    // after this object has gone, and the notification is then withdrawn at once.
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call));
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
            [self = QPointer<RingNotification>(this), bus = m_bus](QDBusPendingCallWatcher* w) mutable {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                if (self)
                    self->m_pending = false;
                if (reply.isError())
                    return;
                if (!self || self->m_withdrawn) {
                    closeNotification(bus, reply.value());
                    return;
                }
                self->m_id = reply.value();
                for (const auto& [id, action] : std::exchange(self->m_early, {}))
                    self->actionInvoked(id, action);
            });
}

void RingNotification::withdraw()
{
    m_withdrawn = true;
    if (m_id != 0)
        closeNotification(m_bus, std::exchange(m_id, 0));
}

void RingNotification::actionInvoked(uint id, const QString& action)
{
    if (id != 0 && m_id == 0 && m_pending) {
        m_early.append({id, action});
        return;
    }
    if (id == 0 || id != m_id)
        return;
    if (action == kSnooze)
        emit snoozeRequested();
    else if (action == kOk)
        emit okRequested();
}

void RingNotification::notificationClosed(uint id, uint reason)
{
    Q_UNUSED(reason);
    if (id != 0 && id == m_id)
        m_id = 0;
}

UnansweredNotification::UnansweredNotification(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus))
{
    if (m_bus.isConnected())
        m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                      SLOT(actionInvoked(uint, QString)));
}

QString UnansweredNotification::text(const QString& caption, const QString& time)
{
    return tr("闹钟“%1”（%2）无人应答").arg(caption, time);
}

void UnansweredNotification::show(const QString& caption, const QString& time)
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
                            {QStringLiteral("category"), QStringLiteral("x-belvane.alarm.unanswered")},
                            {QStringLiteral("desktop-entry"), QStringLiteral("belvane")}};
    call << QStringLiteral("Belvane") << uint(0) << QStringLiteral("belvane") << text(caption, time) << QString()
         << QStringList{kOpenList, tr("打开闹钟列表")} << hints
         << 0; // never expires: it waits in the list for the user to come back
    // Not waited for; the number comes back to match the action chosen later.
    ++m_pending;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        --m_pending;
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError())
            m_ids.insert(reply.value());
        for (const auto& [id, action] : std::exchange(m_early, {}))
            actionInvoked(id, action);
    });
}

void UnansweredNotification::actionInvoked(uint id, const QString& action)
{
    if (action == kOpenList && !m_ids.contains(id) && m_pending > 0) {
        m_early.append({id, action});
        return;
    }
    if (action == kOpenList && m_ids.contains(id))
        emit openListRequested();
}
