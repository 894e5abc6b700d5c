#include <csignal>
#include <cstdio>
#include <memory>

#include <sys/resource.h>

#include <QApplication>

#include "alarms/alarm_list_file.h"
#include "alarms/alarm_list_window.h"
#include "app/alarm_command_client.h"
#include "app/application.h"
#include "app/command_line.h"
#include "app/display_failure.h"
#include "app/display_platform.h"
#include "app/exit_signals.h"
#include "app/fonts.h"
#include "app/interface_language.h"
#include "app/single_instance.h"
#include "app/translations.h"
#include "clockface/main_window.h"
#include "media/glib_slices.h"
#include "platform/autostart.h"
#include "platform/clock.h"
#include "platform/data_folder.h"
#include "platform/errors.h"
#include "platform/heap_trim.h"
#include "platform/output_volume.h"
#include "platform/power_control.h"
#include "platform/process_age.h"
#include "platform/program_folder.h"
#include "ringing/alarm_dispatcher.h"
#include "shell/alarm_bus.h"
#include "shell/program_icon.h"
#include "ui/error_report.h"

namespace {

/// Every connection, file and sound stream takes a descriptor. The soft limit (often 1,024) is raised
/// to what the system allows, so that a shortage never stops an alarm from being heard.
void raiseOpenFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

UiLanguage interfaceLanguage(const QStringList& arguments)
{
    const auto env = [](const char* name) { return qEnvironmentVariable(name); };
    try {
        return chooseUiLanguage(arguments, env);
    } catch (const ConversionError&) {
        // A --lang other than zh or en is refused in the language of the environment.
        return chooseUiLanguage(arguments.mid(0, 1), env);
    }
}

/// The interface's translations, installed into `app`: the program's English, or Qt's own Chinese.
std::unique_ptr<EnglishInterface> installLanguage(QCoreApplication& app)
{
    if (interfaceLanguage(QCoreApplication::arguments()) == UiLanguage::English)
        return std::make_unique<EnglishInterface>();
    installChineseTranslations(app);
    return nullptr;
}

struct OwnCommandLine {
    CommandLine commandLine;
    QString noDisplay; // what is said when no display answers, in the interface's language
};

/// The command line is read before the windowing system is reached, so --help and the alarm
/// commands work without a display; it speaks the interface's language already.
OwnCommandLine readOwnCommandLine(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const auto english = installLanguage(app);
    CommandLine commandLine = readCommandLine(QCoreApplication::arguments());
    if (!commandLine.exitCode && !commandLine.command.isEmpty())
        commandLine.exitCode = runCommandLine(commandLine.command, commandLine.dataDir);
    return {commandLine, noDisplayMessage()};
}

} // namespace

int main(int argc, char* argv[])
{
    keepOneHeap();
    // Before anything opens a descriptor: the application's display connection and event loop
    // are opened under the raised limit, as everything after them is.
    raiseOpenFileLimit();
    const auto [commandLine, noDisplay] = readOwnCommandLine(argc, argv);
    if (commandLine.exitCode)
        return *commandLine.exitCode;
    // The clock runs all day, a command ends at once: only the clock starts itself again.
    startWithSlicesInTheHeap(argv);

    // The face repaints a few small pictures twice a second. Through shared memory every repaint also
    // wakes the X connection's thread and then the main thread for the server's completion event, over
    // three wake-ups a repaint where the timer makes one; plain requests cost nothing extra at this size.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    chooseDisplayPlatform();
    auto displayGuard = std::make_unique<DisplayFailureGuard>(noDisplay);
    QApplication app(argc, argv);
    displayGuard.reset();
    // The command line has been checked: --lang, when given, is zh or en.
    const auto english = installLanguage(app);
    QApplication::setApplicationName(QStringLiteral("Belvane"));
    // The clock lives on in the tray and behind dialogs: only the clock window's closing ends the run.
    QApplication::setQuitOnLastWindowClosed(false);
    installFontSubstitutes();
    // Every window, message boxes included, and the tray show the program's icon.
    addProgramIconsToTheme(programFolder());
    QApplication::setWindowIcon(programIcon());

    SingleInstance instance;
    if (!commandLine.open.isEmpty())
        instance.setRequest("open " + commandLine.open.toUtf8());
    switch (instance.becomePrimary()) {
    case SingleInstance::Start::Primary:
        break;
    case SingleInstance::Start::Shown:
        return 0; // the running copy has been asked to show its clock
    case SingleInstance::Start::Unreachable:
        std::fputs(QCoreApplication::translate(
                       "Main", "belvane: 已有一个 Belvane 在运行，但它没有应答；请结束它后再启动。\n")
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 1;
    }

    const AppFolders folders{programFolder(), settleDataFolder(programFolder(), commandLine.dataDir)};
    SystemClock clock;
    XdgAutostart autostart(argumentsToRepeat(commandLine, folders.data));
    PulseOutputVolume volume;
    LinuxPowerControl power;
    Services services{clock, autostart, volume, power};
    BelvaneWindows windows(services, folders, clock.now().addMSecs(-processAgeMs()));
    QObject::connect(&instance, &SingleInstance::showRequested, &windows.main(), &TFormMain::bringToFront);
    QObject::connect(&instance, &SingleInstance::openRequested, &windows.main(),
                     [&windows](const QString& window) { windows.openWindow(window); });
    // The alarm commands of a later start, and the same over D-Bus.
    auto* running = new RunningAlarms(windows.store(), windows.scheduler(), clock);
    instance.answerOther = [running, &clock](const QByteArray& line) {
        return answerCommandRequest(line, *running, clock.now());
    };
    exportOnSessionBus(
        running, *running, [&windows] { windows.main().bringToFront(); },
        [&windows](const QString& window) { return windows.openWindow(window); });
    if (!instance.listenError().isEmpty()) {
        // Said once, after the scheduler has started: this copy runs and rings all the same.
        const QString text =
            QCoreApplication::translate(
                "Main", "无法在 %1 等待再次启动（%2）：闹钟照常响铃，但再次启动的 Belvane 找不到这一个。")
                .arg(instance.socketPath(), instance.listenError());
        std::fputs(("belvane: " + text + '\n').toLocal8Bit().constData(), stderr);
        reportError(text);
    }
    QObject::connect(&windows.main(), &TFormMain::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    // Logging out, shutting down and Ctrl+C end the run as "退出" does; so does the session manager.
    ExitSignals exitSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&exitSignals, &ExitSignals::received, &windows.main(), &TFormMain::menuExitClick);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&windows] { windows.shutDown(); });
    windows.main().show();
    if (!commandLine.open.isEmpty())
        windows.openWindow(commandLine.open);
    return app.exec();
}
