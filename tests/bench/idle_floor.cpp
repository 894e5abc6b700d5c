// The floor for an idle clock face: a bare Qt program whose one small window repaints its colon at each
// half-second of the wall clock, from one precise single-shot timer re-armed at every tick. The figures
// script measures its CPU time and wake-ups beside the program's. Run: build/tests/bench/idle_floor
#include <QApplication>
#include <QDateTime>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

constexpr QRect kColon(95, 15, 10, 30);

class HalfSecondClock : public QWidget {
public:
    HalfSecondClock()
    {
        setWindowTitle(QStringLiteral("idle floor"));
        resize(200, 60);
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            update(kColon);
            arm();
        });
        arm();
    }

protected:
    // A colon that is lit in the first half of each second and dark in the second, as the face's is.
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const bool lit = QDateTime::currentMSecsSinceEpoch() % 1000 < 500;
        painter.fillRect(kColon, lit ? QColor(255, 40, 20) : QColor(60, 10, 5));
    }

private:
    void arm() { m_timer.start(int(500 - QDateTime::currentMSecsSinceEpoch() % 500)); }
    QTimer m_timer;
};

} // namespace

int main(int argc, char** argv)
{
    // As the program does: without shared memory a repaint wakes nothing but the timer's own tick.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    HalfSecondClock clock;
    clock.show();
    return app.exec();
}
