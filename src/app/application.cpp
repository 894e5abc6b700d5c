#include "app/application.h"

#include "alarms/alarm_list_window.h"
#include "clockface/hourly_chime.h"
#include "clockface/main_window.h"
#include "clockface/options_dialog.h"
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
    m_options = std::make_unique<TFormOptions>(programFolder);
    m_options->FormCreate();
    m_about = std::make_unique<TFormAbout>();
    m_play = std::make_unique<TFormPlay>();
    m_runPlay = std::make_unique<TFormRunPlay>(*m_options);
    m_alarmList->setRunPlayer(m_runPlay.get());
    m_alarmList->setPreviewPlayer(m_play.get());
    m_options->setPreviewPlayer(m_play.get());

    // The options are the live settings; the start-with-desktop entry follows the box from the start,
    // not only from the first OK, so a box that reads checked is never a program that does not start.
    TFormOptions* options = m_options.get();
    TFormAlarmList* list = m_alarmList.get();
    options->setStartWithDesktop = [list](bool enabled) { list->SetStartWithDesktop(enabled); };
    list->SetStartWithDesktop(options->startWithDesktop());
    list->startInTray = [options] { return options->startInTray(); };
    m_chime = std::make_unique<HourlyChime>(*options, services.clock, *m_runPlay);
    list->chimeStep = [chime = m_chime.get()] { chime->step(); };

    m_main->setPartners(list, options, m_about.get());
    m_main->setOptions(options);
    QObject::connect(m_alarmList.get(), &TFormAlarmList::optionsRequested, m_options.get(),
                     &TFormOptions::showWithoutWaiting);
    QObject::connect(m_alarmList.get(), &TFormAlarmList::aboutRequested, m_about.get(), &QWidget::show);
    QObject::connect(m_alarmList.get(), &TFormAlarmList::helpRequested, m_alarmList.get(), [this, programFolder] {
        guarded([&] { ShowHelp(m_alarmList.get(), helpTopicPath(programFolder)); });
    });
}

// Destroyed in the reverse order, the players last created going first.
BelvaneWindows::~BelvaneWindows() = default;
