#include "app/application.h"

#include <QDir>
#include <QStringList>
#include <QTimer>

#include "alarms/alarm_list_file.h"
#include "alarms/alarm_list_window.h"
#include "clockface/hourly_chime.h"
#include "clockface/main_window.h"
#include "clockface/options_dialog.h"
#include "media/preview_window.h"
#include "media/run_play_window.h"
#include "platform/autostart.h"
#include "platform/inhibitors.h"
#include "platform/program_folder.h"
#include "platform/text_codec.h"
#include "platform/wake_timer.h"
#include "ringing/alarm_dispatcher.h"
#include "ringing/alarm_occurrence.h"
#include "ringing/next_ring_watch.h"
#include "ringing/wake_guard.h"
#include "shell/about_box.h"
#include "shell/help_book.h"
#include "shell/help_viewer.h"
#include "shell/ring_notification.h"
#include "shell/sys_tray.h"
#include "shell/tray_ringing_entries.h"
#include "ui/error_report.h"
#include "ui/window_stacking.h"
#include <QCoreApplication>

BelvaneWindows::BelvaneWindows(Services& services, const AppFolders& folders, const QDateTime& launchedAt)
    : m_services(services), m_folders(folders)
{
    const QString programFolder = folders.program;
    m_store = std::make_unique<AlarmListStore>(folders.data);
    QString loadError;
    try {
        m_store->load();
    } catch (const BelvaneError& e) {
        loadError = e.text();
    }
    QString offError;
    try {
        m_store->loadOffSwitches();
    } catch (const BelvaneError& e) {
        offError = e.text();
    }
    m_main = std::make_unique<TFormMain>(services, folders);
    setErrorBoxOwner(m_main.get());
    m_options = std::make_unique<TFormOptions>(folders);
    m_options->FormCreate();
    m_about = std::make_unique<TFormAbout>();
    m_play = std::make_unique<TFormPlay>();
    m_runPlay = std::make_unique<TFormRunPlay>(*m_options);
    m_options->setPreviewPlayer(m_play.get());

    // The options are the live settings, but the start-with-desktop entry changes only when the user
    // confirms them: a trial start with another data folder or language must not take over the login.
    TFormOptions* options = m_options.get();
    options->setStartWithDesktop = [&services](bool enabled) {
        services.autostart.setEnabled(enabled, programPath());
    };
    options->startsWithDesktop = [&services] { return services.autostart.isEnabled(); };
    options->showWhetherStartsWithDesktop();
    m_chime = std::make_unique<HourlyChime>(*options, services.clock, *m_runPlay);

    m_main->setPartners([this] { return &alarmList(); }, options, m_about.get());
    m_main->setOptions(options);
    QObject::connect(m_about.get(), &TFormAbout::helpRequested, m_about.get(), [this, programFolder] {
        guarded([&] { ShowHelp(m_about.get(), helpTopicPath(programFolder)); });
    });

    m_dispatcher =
        std::make_unique<AlarmDispatcher>(services, *m_store, folders.data, programFolder, *m_runPlay);
    m_dispatcher->setWindowParent(m_main.get());
    m_wakeTimer =
        std::make_unique<LinuxWakeTimer>(QDir(programFolder).filePath(QStringLiteral("belvane-wake")));
    m_idle = std::make_unique<IdleInhibitor>();
    m_sleep = std::make_unique<SleepDelay>();
    m_dispatcher->setWakeTimer(m_wakeTimer.get());
    new WakeGuard(*m_dispatcher, *m_store, services.clock, *m_wakeTimer, *m_idle, *m_sleep);
    m_about->wakeStatus = [wake = m_wakeTimer.get()] {
        wake->settle();
        return WakeGuard::wakeStatusText(*wake);
    };
    // An open box follows the helper as it goes and comes back.
    QObject::connect(m_wakeTimer.get(), &LinuxWakeTimer::statusChanged, m_about.get(),
                     [about = m_about.get(), wake = m_wakeTimer.get()] {
                         about->setWakeStatus(WakeGuard::wakeStatusText(*wake));
                     });
    m_dispatcher->setChimes(
        [options] {
            const ChimeOptions c = options->chimes();
            return c.hourly || c.halfHourly || c.quarterHourly;
        },
        [chime = m_chime.get()] { chime->step(); });
    QObject::connect(options, &QDialog::finished, m_dispatcher.get(), &AlarmDispatcher::rearm);
    // Every change of the list, whoever made it, moves the scheduler on.
    QObject::connect(m_store.get(), &AlarmListStore::changed, m_dispatcher.get(), &AlarmDispatcher::rearm);
    showNextRings(services);
    new TrayRingingEntries(*m_main->sysTray()->PopupMenu(), *m_dispatcher);
    // An alarm nobody answered says so on the desktop, where it is found on coming back.
    auto* unanswered = new UnansweredNotification(QDBusConnection::sessionBus(), m_dispatcher.get());
    QObject::connect(m_dispatcher.get(), &AlarmDispatcher::alarmUnanswered, unanswered,
                     [unanswered](int, const Occurrence& o) {
                         unanswered->show(decodeText(o.row.caption), o.due.toString(QStringLiteral("HH:mm")));
                     });
    QObject::connect(unanswered, &UnansweredNotification::openListRequested, m_main.get(),
                     [this] { showWithoutWaiting(alarmList()); });
    m_dispatcher->start(launchedAt);
    reportStartUpProblems(loadError);
    if (!offError.isEmpty())
        reportError(offError);
}

void BelvaneWindows::showNextRings(Services& services)
{
    // Owned by the scheduler it follows.
    m_nextRings = new NextRingWatch(*m_dispatcher, *m_store, services.clock);
    m_nextRings->twelveHour = [options = m_options.get()] { return !options->military(); };
    QObject::connect(m_nextRings, &NextRingWatch::changed, m_main.get(),
                     [watch = m_nextRings, tray = m_main->sysTray()] { tray->setHint(watch->hint()); });
}

TFormAlarmList& BelvaneWindows::alarmList()
{
    if (m_alarmList)
        return *m_alarmList;
    // Made when first opened: a clock that is only looked at never lays out the list, nor loads the
    // fonts its texts are measured in.
    m_alarmList = std::make_unique<TFormAlarmList>(m_services, *m_store, m_folders);
    TFormAlarmList* list = m_alarmList.get();
    list->nextRingOf = [watch = m_nextRings](int row) { return watch->rowText(row); };
    list->FormCreate();
    list->setPreviewPlayer(m_play.get());
    list->tryAlarm = [dispatcher = m_dispatcher.get()](const AlarmSettings& s) { dispatcher->ringTrial(s); };
    QObject::connect(m_nextRings, &NextRingWatch::changed, list, &TFormAlarmList::showNextRings);
    QObject::connect(list, &TFormAlarmList::optionsRequested, m_options.get(),
                     &TFormOptions::showWithoutWaiting);
    QObject::connect(list, &TFormAlarmList::aboutRequested, m_about.get(),
                     [about = m_about.get()] { showWithoutWaiting(*about); });
    QObject::connect(list, &TFormAlarmList::helpRequested, list,
                     [this, list] { guarded([&] { ShowHelp(list, helpTopicPath(m_folders.program)); }); });
    return *list;
}

bool BelvaneWindows::openWindow(const QString& window)
{
    const bool newAlarm = window == QLatin1String("new-alarm");
    if (!newAlarm && window != QLatin1String("alarm-list"))
        return false;
    m_main->bringToFront();
    TFormAlarmList& list = alarmList();
    // From the event loop: the list and the editor run modal loops of their own, and the caller (a
    // D-Bus call, a second start) is answered first. The list opens before the editor goes over it.
    if (!list.isVisible())
        QTimer::singleShot(0, m_main.get(), [main = m_main.get()] { main->Alarms1Click(); });
    else
        list.raise();
    if (newAlarm)
        QTimer::singleShot(0, &list, [&list] { guarded([&list] { list.ButtonAddClick(); }); });
    return true;
}

void BelvaneWindows::reportStartUpProblems(const QString& loadError)
{
    if (!loadError.isEmpty())
        reportError(loadError, [store = m_store.get()] { store->acknowledgeDamage(); });
    QStringList silent;
    for (const AlarmEntry& row : m_store->rows)
        if (!isKnownFrequency(row.frequencyText))
            silent << decodeText(row.caption);
    if (!silent.isEmpty())
        reportError(QCoreApplication::translate("Application", "%1 个闹钟永远不会响：%2")
                        .arg(QString::number(silent.size()),
                             silent.join(QCoreApplication::translate("Application", "，"))));
}

void BelvaneWindows::shutDown()
{
    m_dispatcher->stop();
    // The ringing window is closed but may not be gone before the program ends.
    m_idle->release();
}

// Destroyed in the reverse order: the scheduler first, so nothing rings while the players go.
BelvaneWindows::~BelvaneWindows() = default;
