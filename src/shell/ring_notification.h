#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

/// The desktop notification of a ringing alarm, for an alarm that rings while the face is in the
/// tray, on another workspace or behind a locked screen: summary the alarm's caption, body the time
/// and the reminder's first lines, urgency critical, with the ringing window's two buttons as
/// actions. It goes over org.freedesktop.Notifications on the session bus without waiting for an
/// answer; a desktop without a notification server simply shows nothing.
class RingNotification : public QObject {
    Q_OBJECT
public:
    explicit RingNotification(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    /// Withdraws the notification.
    ~RingNotification() override;

    /// Shows the notification, replacing the one shown before.
    void show(const QString& caption, const QString& time, const QString& reminder);
    /// Takes the notification off the desktop; also when its answer is still on the way.
    void withdraw();

    /// The body: the time, then at most the reminder's first three lines.
    static QString bodyText(const QString& time, const QString& reminder);

signals:
    /// The notification's "打盹儿" action was chosen.
    void snoozeRequested();
    /// The notification's "确定" action was chosen.
    void okRequested();

private slots:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    uint m_id = 0;          // the notification on the desktop, 0: none
    bool m_pending = false; // asked for, its number not known yet
    // Actions that came before the number of the notification they were for: D-Bus may hand over
    // the signal before the answer to Notify.
    QList<QPair<uint, QString>> m_early;
    bool m_withdrawn = false;
};
