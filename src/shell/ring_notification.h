#pragma once

#include <QDBusConnection>
#include <QList>
#include <QSet>
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

/// The desktop notification of an alarm that rang unanswered: it stays in the desktop's list of
/// notifications (no time-out) and offers to open the alarm list. One per unanswered ringing.
class UnansweredNotification : public QObject {
    Q_OBJECT
public:
    explicit UnansweredNotification(QDBusConnection bus = QDBusConnection::sessionBus(),
                                    QObject* parent = nullptr);

    /// Tells that the alarm `caption` due at `time` ("07:00") rang unanswered.
    void show(const QString& caption, const QString& time);
    static QString text(const QString& caption, const QString& time);

signals:
    /// The notification's "打开闹钟列表" action was chosen.
    void openListRequested();

private slots:
    void actionInvoked(uint id, const QString& action);

private:
    QDBusConnection m_bus;
    QSet<uint> m_ids; // the notifications shown, as the server numbered them
    int m_pending = 0; // asked for, their numbers not known yet
    // Actions that came before the number of a notification asked for: matched once it is known.
    QList<QPair<uint, QString>> m_early;
};
