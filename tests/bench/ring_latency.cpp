// Prints how long an alarm takes from its due second to its sound playing: the scheduler's timer,
// the ringing window opening and the player starting the built-in sound (the play command returns
// once the sound plays). Run by hand: build/tests/bench/ring_latency [rounds]
// With a sound server the sound goes to it; offscreen by default.
#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "alarms/alarm_display.h"
#include "alarms/alarm_list_file.h"
#include "alarms/alarm_settings_file.h"
#include "helpers/fake_services.h"
#include "helpers/wav_file.h"
#include "media/player_settings.h"
#include "media/run_play_window.h"
#include "platform/line_file.h"
#include "ringing/alarm_dispatcher.h"
#include "ui/services.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? atoi(argv[1]) : 5;

    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    QDir(folder).mkdir("sounds");
    writeToneWav(folder + "sounds/Alarmrng.wav", 3000);
    AlarmSettings s;
    s.playSound = true, s.soundIndex = 2, s.volume = 50, s.closeNever = true;
    writeFileAtomically(folder + "0.ini", WriteAlarmSettings(s));

    SystemClock clock;
    RecordingAutostart autostart;
    RecordingVolume volume;
    RecordingPower power;
    Services services{clock, autostart, volume, power};
    TFormRunPlay player(defaultPlayerSettings());
    AlarmListStore store(folder);
    AlarmDispatcher scheduler(services, store, folder, folder, player);
    scheduler.start();

    QList<double> delays;
    for (int round = 0; round < rounds; ++round) {
        // A daily alarm two seconds ahead; the list changed, so the scheduler arms its timer for it.
        const QDateTime now = QDateTime::currentDateTime();
        const QDateTime due = now.addSecs(2).addMSecs(-now.time().msec());
        store.rows = {makeAlarmEntry({"bench", int(Frequency::Daily), due.date(), due.time(), "1111111"}, 0,
                                     RowOrigin::Add, DateTimeLocale::neutral())};
        scheduler.rearm();
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (player.Playing()) {
                delays.append(due.msecsTo(QDateTime::currentDateTime()));
                if (auto* ringing = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    ringing->close();
                loop.quit();
            }
        });
        poll.start();
        QTimer::singleShot(8000, &loop, &QEventLoop::quit);
        loop.exec();
        poll.stop();
        QElapsedTimer settle;
        settle.start();
        while (scheduler.ringingWindow() && settle.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        QApplication::processEvents(QEventLoop::AllEvents, 1200); // past the due second
    }
    std::sort(delays.begin(), delays.end());
    double sum = 0;
    for (double d : delays)
        sum += d;
    // The 95th percentile by nearest rank: the value 95 % of the rounds do not exceed.
    const qsizetype p95 = std::max<qsizetype>(0, (delays.size() * 95 + 99) / 100 - 1);
    std::printf("due second to sound playing, %lld rounds: min %.0f ms, median %.0f ms, mean %.0f ms, "
                "95th percentile %.0f ms, max %.0f ms\n",
                qlonglong(delays.size()), delays.value(0), delays.value(delays.size() / 2),
                delays.isEmpty() ? 0 : sum / delays.size(), delays.value(p95),
                delays.isEmpty() ? 0 : delays.last());
    return delays.size() == rounds ? 0 : 1;
}
