#include "app/application.h"

#include "alarms/alarm_list_window.h"
#include "clockface/main_window.h"
#include "clockface/options_dialog.h"
#include "media/player_settings.h"
#include "media/preview_window.h"
#include "media/run_play_window.h"
#include "app/error_report.h"
#include "shell/about_box.h"
#include "shell/help_book.h"
#include "shell/help_viewer.h"

BelvaneWindows::BelvaneWindows(Services& services, const QString& programFolder)
{
    m_main = std::make_unique<TFormMain>(services, programFolder);
    m_alarmList = std::make_unique<TFormAlarmList>(services, programFolder);
    m_alarmList->FormCreate();
    m_options = std::make_unique<TFormOptions>();
    m_about = std::make_unique<TFormAbout>();
    m_play = std::make_unique<TFormPlay>();
    m_runPlay = std::make_unique<TFormRunPlay>(defaultPlayerSettings());
    m_alarmList->setRunPlayer(m_runPlay.get());
    m_alarmList->setPreviewPlayer(m_play.get());

    m_main->setPartners(m_alarmList.get(), m_options.get(), m_about.get());
    QObject::connect(m_alarmList.get(), &TFormAlarmList::optionsRequested, m_options.get(), &QWidget::show);
    QObject::connect(m_alarmList.get(), &TFormAlarmList::aboutRequested, m_about.get(), &QWidget::show);
    QObject::connect(m_alarmList.get(), &TFormAlarmList::helpRequested, m_alarmList.get(), [this, programFolder] {
        guarded([&] { ShowHelp(m_alarmList.get(), helpTopicPath(programFolder)); });
    });
}

// Destroyed in the reverse order, the players last created going first.
BelvaneWindows::~BelvaneWindows() = default;
