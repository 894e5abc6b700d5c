#pragma once

#include <QObject>
#include <QPointer>

class AlarmDispatcher;
class QAction;
class QMenu;
class TAlarmRun;

/// "停止闹铃" and "打盹儿" at the top of the tray's menu while a ringing window is open, doing what
/// the window's own buttons do, so an alarm can be silenced without finding its window.
class TrayRingingEntries : public QObject {
    Q_OBJECT
public:
    TrayRingingEntries(QMenu& menu, AlarmDispatcher& dispatcher);

    QAction* stop() const { return m_stop; }
    QAction* snooze() const { return m_snooze; }

private:
    void show(TAlarmRun* window);

    QPointer<TAlarmRun> m_window;
    QAction* m_stop;
    QAction* m_snooze;
    QAction* m_separator;
};
