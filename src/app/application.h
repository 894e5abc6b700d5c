#pragma once

#include <memory>

#include <QString>

#include "app/services.h"

class TFormMain;
class TFormAlarmList;
class TFormOptions;
class TFormAbout;
class TFormPlay;
class TFormRunPlay;
class HourlyChime;

/// The windows that live for the whole run, created in a fixed order: the clock window first, then
/// the alarm list (which loads the alarms and starts the scheduler), the options, the about box and
/// the two players. All exist before the event loop delivers the first timer tick.
class BelvaneWindows {
public:
    BelvaneWindows(Services& services, const QString& programFolder);
    ~BelvaneWindows();

    TFormMain& main() { return *m_main; }
    TFormAlarmList& alarmList() { return *m_alarmList; }
    TFormOptions& options() { return *m_options; }
    TFormRunPlay& runPlayer() { return *m_runPlay; }

private:
    std::unique_ptr<TFormMain> m_main;
    std::unique_ptr<TFormAlarmList> m_alarmList;
    std::unique_ptr<TFormOptions> m_options;
    std::unique_ptr<TFormAbout> m_about;
    std::unique_ptr<TFormPlay> m_play;
    std::unique_ptr<TFormRunPlay> m_runPlay;
    std::unique_ptr<HourlyChime> m_chime;
};
