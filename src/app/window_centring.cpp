#include "app/window_centring.h"

#include <QDeadlineTimer>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class FrameCentring : public QObject {
public:
    explicit FrameCentring(QWidget& window) : QObject(&window), m_window(window)
    {
        // Qt tells no widget when the window manager's frame arrives (it comes as a property of the
        // window), so it is looked for a few times a second until it is there, for a short while.
        m_frameWatch.setInterval(20);
        connect(&m_frameWatch, &QTimer::timeout, this, [this] {
            if (hasFrame()) {
                m_frameWatch.stop();
                centre();
            } else if (m_frameDeadline.hasExpired()) {
                m_frameWatch.stop(); // no window manager, no frame
            }
        });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            centre();
            if (!hasFrame()) {
                m_frameDeadline = QDeadlineTimer(kFrameWaitMs);
                m_frameWatch.start();
            }
            break;
        case QEvent::Resize:
            // A player sized to its video after it was shown is centred at its new size.
            if (m_window.isVisible())
                centre();
            break;
        case QEvent::Hide: m_frameWatch.stop(); break;
        default: break;
        }
        return false;
    }

private:
    static constexpr int kFrameWaitMs = 3000;

    QMargins frame() const
    {
        const QWindow* handle = m_window.windowHandle();
        return handle ? handle->frameMargins() : QMargins();
    }
    bool hasFrame() const { return !frame().isNull(); }

    void centre()
    {
        const QScreen* screen = m_window.screen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        const QMargins margins = frame();
        const QSize outer = m_window.size().grownBy(margins);
        // A window's position is that of its frame.
        const QPoint framePosition(area.x() + (area.width() - outer.width()) / 2,
                                   area.y() + (area.height() - outer.height()) / 2);
        if (QWindow* handle = m_window.windowHandle(); handle && handle->isVisible())
            handle->setFramePosition(framePosition);
        else
            m_window.move(framePosition);
    }

    QWidget& m_window;
    QTimer m_frameWatch;
    QDeadlineTimer m_frameDeadline;
};

} // namespace

void centreOnScreenWithFrame(QWidget& window)
{
    window.installEventFilter(new FrameCentring(window));
}
