// How close to the wall clock's half-seconds the clock face changes: the face runs on the real clock
// on the current display, and every paint it makes is stamped with the wall clock and set against the
// half-second it belongs to. Run by scripts/figures.sh under Xvfb: build/tests/bench/face_timing [seconds]
#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QDateTime>
#include <QTimer>

#include "clockface/main_window.h"
#include "helpers/fake_services.h"
#include "helpers/temp_folder.h"

namespace {

/// Stamps each paint of a widget with the wall clock.
class PaintStamps : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && recording)
            stamps.append(QDateTime::currentMSecsSinceEpoch());
        return false;
    }
    bool recording = false;
    QList<qint64> stamps;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, atoi(argv[1])) : 20;
    TempFolder dir;
    dir.installSkins();
    SystemClock clock;
    RecordingAutostart autostart;
    RecordingVolume volume;
    RecordingPower power;
    Services services{clock, autostart, volume, power};
    TFormMain face(services, dir.path());
    PaintStamps stamps;
    face.installEventFilter(&stamps);
    face.show();
    // The first second maps and exposes the window: its paints are not the tick's.
    QTimer::singleShot(1000, [&] { stamps.recording = true; });
    QTimer::singleShot(1000 + seconds * 1000, &app, &QApplication::quit);
    app.exec();

    // Each paint against the half-second it follows: the colon lights at the whole second and goes
    // dark one millisecond past the half.
    QList<qint64> offsets;
    for (qint64 t : stamps.stamps)
        offsets.append(t % 500);
    std::sort(offsets.begin(), offsets.end());
    if (offsets.isEmpty()) {
        std::printf("face_timing: no paints in %d s\n", seconds);
        return 1;
    }
    auto at = [&](double q) { return offsets[std::min<qsizetype>(offsets.size() - 1, qsizetype(q * offsets.size()))]; };
    std::printf("face paint after the half-second, %lld paints in %d s (%.2f/s): median %lld ms, 90%% %lld ms, max %lld ms\n",
                qlonglong(offsets.size()), seconds, double(offsets.size()) / seconds, at(0.5), at(0.9), offsets.last());
    return 0;
}
