#include "ui/window_centring.h"

#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace {

class FrameCentring;

// The window manager's frame arrives as a property of the window (_NET_FRAME_EXTENTS), and Qt tells
// no widget about it. Its X event is watched here, so that a window is centred again the moment its
// frame is known. Off X11 there is no such event, and windows are centred without their frame.
class FrameExtentsWatch : public QAbstractNativeEventFilter {
public:
    static FrameExtentsWatch* instance()
    {
        static FrameExtentsWatch* watch = []() -> FrameExtentsWatch* {
            auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
            if (!x11 || !x11->display())
                return nullptr;
            auto* made = new FrameExtentsWatch(XInternAtom(x11->display(), "_NET_FRAME_EXTENTS", False));
            qGuiApp->installNativeEventFilter(made);
            return made;
        }();
        return watch;
    }

    void awaitFrame(WId window, FrameCentring* centring) { m_waiting.insert(window, centring); }
    void forget(WId window) { m_waiting.remove(window); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override;

private:
    explicit FrameExtentsWatch(Atom frameExtents) : m_frameExtents(frameExtents) {}

    const Atom m_frameExtents;
    QHash<WId, QPointer<FrameCentring>> m_waiting;
};

class FrameCentring : public QObject {
public:
    explicit FrameCentring(QWidget& window) : QObject(&window), m_window(window) {}
    ~FrameCentring() override { stopAwaitingFrame(); }

    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
            centre();
            if (!hasFrame())
                awaitFrame();
            break;
        case QEvent::Resize:
            // A player sized to its video after it was shown is centred at its new size.
            if (m_window.isVisible())
                centre();
            break;
        case QEvent::Hide:
            stopAwaitingFrame();
            break;
        default:
            break;
        }
        return false;
    }

    /// The frame's size has just been set on the window.
    void frameArrived()
    {
        if (!hasFrame())
            return;
        stopAwaitingFrame();
        if (m_window.isVisible())
            centre();
    }

private:
    void awaitFrame()
    {
        FrameExtentsWatch* watch = FrameExtentsWatch::instance();
        if (!watch || !m_window.windowHandle())
            return;
        m_awaited = m_window.windowHandle()->winId();
        watch->awaitFrame(m_awaited, this);
    }
    void stopAwaitingFrame()
    {
        if (m_awaited && FrameExtentsWatch::instance())
            FrameExtentsWatch::instance()->forget(m_awaited);
        m_awaited = 0;
    }

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
    WId m_awaited = 0;
};

bool FrameExtentsWatch::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
    if (type != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (property->atom != m_frameExtents)
        return false;
    if (const QPointer<FrameCentring> centring = m_waiting.value(property->window)) {
        // Qt reads the new frame when it handles this event, after this filter: centre after that.
        QMetaObject::invokeMethod(
            centring,
            [centring] {
                if (centring)
                    centring->frameArrived();
            },
            Qt::QueuedConnection);
    }
    return false;
}

} // namespace

void centreOnScreenWithFrame(QWidget& window)
{
    window.installEventFilter(new FrameCentring(window));
}
