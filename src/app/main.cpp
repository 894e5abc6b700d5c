#include <csignal>
#include <memory>

#include <QApplication>

#include "alarms/alarm_list_window.h"
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
#include "platform/autostart.h"
#include "platform/clock.h"
#include "platform/data_folder.h"
#include "platform/output_volume.h"
#include "platform/power_control.h"
#include "platform/process_age.h"
#include "platform/program_folder.h"

namespace {

/// The command line is read before the windowing system is reached, so --help works without a
/// display.
CommandLine readOwnCommandLine(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    installChineseTranslations(app);
    return readCommandLine(QCoreApplication::arguments());
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLine commandLine = readOwnCommandLine(argc, argv);
    if (commandLine.exitCode)
        return *commandLine.exitCode;

    // The face repaints a few small pictures twice a second. Through shared memory every repaint also
    // wakes the X connection's thread and then the main thread for the server's completion event, over
    // three wake-ups a repaint where the timer makes one; plain requests cost nothing extra at this size.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    chooseDisplayPlatform();
    auto displayGuard = std::make_unique<DisplayFailureGuard>();
    QApplication app(argc, argv);
    displayGuard.reset();
    // The command line has been checked: --lang, when given, is zh or en.
    std::unique_ptr<EnglishInterface> english;
    if (chooseUiLanguage(app.arguments(), [](const char* name) { return qEnvironmentVariable(name); }) ==
        UiLanguage::English)
        english = std::make_unique<EnglishInterface>();
    else
        installChineseTranslations(app);
    QApplication::setApplicationName(QStringLiteral("Belvane"));
    // The clock lives on in the tray and behind dialogs: only the clock window's closing ends the run.
    QApplication::setQuitOnLastWindowClosed(false);
    installFontSubstitutes();

    SingleInstance instance;
    if (!instance.becomePrimary())
        return 0; // the running copy has been asked to show its clock

    const AppFolders folders{programFolder(), settleDataFolder(programFolder(), commandLine.dataDir)};
    SystemClock clock;
    XdgAutostart autostart(argumentsToRepeat(commandLine, folders.data));
    PulseOutputVolume volume;
    LinuxPowerControl power;
    Services services{clock, autostart, volume, power};
    BelvaneWindows windows(services, folders, clock.now().addMSecs(-processAgeMs()));
    QObject::connect(&instance, &SingleInstance::showRequested, &windows.main(), &TFormMain::bringToFront);
    QObject::connect(&windows.main(), &TFormMain::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    // Logging out, shutting down and Ctrl+C end the run as "退出" does; so does the session manager.
    ExitSignals exitSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&exitSignals, &ExitSignals::received, &windows.main(), &TFormMain::menuExitClick);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&windows] { windows.shutDown(); });
    windows.main().show();
    return app.exec();
}
