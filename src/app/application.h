#pragma once

#include <memory>

#include <QDateTime>
#include <QString>

#include "platform/data_folder.h"
#include "ui/services.h"

class AlarmDispatcher;
class AlarmListStore;
class TFormMain;
class TFormAlarmList;
class TFormOptions;
class TFormAbout;
class TFormPlay;
class TFormRunPlay;
class HourlyChime;
class IdleInhibitor;
class LinuxWakeTimer;
class NextRingWatch;
class SleepDelay;

/// What lives for the whole run, created in a fixed order: the alarm list as read from "al.ini", the
/// clock window, the options, the about box, the two players and the scheduler; the alarm list window
/// when it is first opened.
/// The scheduler starts before any start-up error is shown, so a damaged file never keeps the alarms
/// that did load from ringing.
class BelvaneWindows {
public:
    /// `launchedAt`: when the program was started, for a first run's scheduler (see AlarmDispatcher::start).
    BelvaneWindows(Services& services, const AppFolders& folders, const QDateTime& launchedAt = {});
    ~BelvaneWindows();

    TFormMain& main() { return *m_main; }
    /// The alarm list, made the first time it is asked for.
    TFormAlarmList& alarmList();
    TFormOptions& options() { return *m_options; }
    TFormPlay& previewPlayer() { return *m_play; }
    TFormRunPlay& runPlayer() { return *m_runPlay; }
    AlarmDispatcher& scheduler() { return *m_dispatcher; }
    AlarmListStore& store() { return *m_store; }

    /// Opens a window as the desktop entry's actions ask: "alarm-list" shows the alarm list,
    /// "new-alarm" the editor for a new alarm over it. False for any other name.
    bool openWindow(const QString& window);

    /// The orderly end of the run, whatever asked for it: a ringing window puts the output device back,
    /// the skin choice and the instant last checked are stored.
    void shutDown();

private:
    void reportStartUpProblems(const QString& loadError);
    /// The list's "下次响铃" column and the tray icon's tooltip follow the scheduler.
    void showNextRings(Services& services);

    Services& m_services;
    const AppFolders m_folders;
    std::unique_ptr<AlarmListStore> m_store;
    std::unique_ptr<TFormMain> m_main;
    std::unique_ptr<TFormAlarmList> m_alarmList;
    std::unique_ptr<TFormOptions> m_options;
    std::unique_ptr<TFormAbout> m_about;
    std::unique_ptr<TFormPlay> m_play;
    std::unique_ptr<TFormRunPlay> m_runPlay;
    std::unique_ptr<HourlyChime> m_chime;
    // Outlive the scheduler, whose last ringing window may close as it goes.
    std::unique_ptr<LinuxWakeTimer> m_wakeTimer;
    std::unique_ptr<IdleInhibitor> m_idle;
    std::unique_ptr<SleepDelay> m_sleep;
    std::unique_ptr<AlarmDispatcher> m_dispatcher;
    NextRingWatch* m_nextRings = nullptr; // owned by the scheduler
};
