// The cost of drawing the clock face: one draw as its tick makes it (placing the pictures and
// repainting what changed), offscreen. Run by hand: build/tests/bench/face_bench
#include <benchmark/benchmark.h>

#include <QApplication>

#include "clockface/main_window.h"
#include "helpers/fake_services.h"
#include "helpers/temp_folder.h"

namespace {

void FaceDraw(benchmark::State& state)
{
    TempFolder dir;
    dir.installSkins();
    FakeServices fake(QDateTime(QDate(2026, 12, 7), QTime(7, 0, 0, 100)));
    TFormMain face(fake.services, dir.path());
    face.show();
    face.timer().stop(); // only the draws measured here
    QApplication::processEvents();
    for (auto _ : state) {
        fake.clock.advanceMs(500); // every draw lands in the other half of a second
        face.DrawClock();
        QApplication::processEvents(); // paints what the draw marked as changed, as a tick does
    }
}
BENCHMARK(FaceDraw)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
