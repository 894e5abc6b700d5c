#include "ui/window_stacking.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/window_owner.h"

namespace {

// Menus, tool tips and the like place themselves; only windows a user works in are stacked, and
// only those the window manager manages (not the tray icon, which the tray host holds).
bool isStackedKind(Qt::WindowFlags flags)
{
    if (flags.testFlag(Qt::BypassWindowManagerHint))
        return false;
    switch (Qt::WindowType(int(flags & Qt::WindowType_Mask))) {
    case Qt::Dialog:
    case Qt::Tool:
    case Qt::Window:
    case Qt::Sheet:
        return true;
    default:
        return false;
    }
}

bool isShownWindow(const QWidget* w)
{
    return w && w->isVisible() && w->windowHandle();
}

/// The window stays on top of other programs (the ringing window, the player of its video), or is
/// stacked over one that does.
bool staysOnTop(const QWindow* window)
{
    for (; window; window = window->transientParent())
        if (window->flags().testFlag(Qt::WindowStaysOnTopHint))
            return true;
    return false;
}

} // namespace

WindowStacking::WindowStacking(QWidget& face) : QObject(&face), m_face(&face)
{
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &WindowStacking::followActiveWindow);
}

WindowStacking::~WindowStacking()
{
    qApp->removeEventFilter(this);
}

QWidget* WindowStacking::ownerFor(const QWidget& window) const
{
    const bool onTop = window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    // Over the modal window in front a window is usable. A modal one is usable anyway: the ringing
    // window keeps away from an ordinary modal window, which the window manager would raise with it.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &window && !window.isAncestorOf(modal) && isShownWindow(modal) &&
        !(onTop && window.isModal() && !staysOnTop(modal->windowHandle())))
        return modal;
    // A window whose parent is shown stays with its parent, as Qt made it; an ordinary one not with
    // the face, whose layer it would share.
    QWidget* parent = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    if (isShownWindow(parent) && (onTop || parent != m_face))
        return parent;
    if (onTop && m_face && m_face.data() != &window && isShownWindow(m_face))
        return m_face;
    return nullptr;
}

void WindowStacking::followActiveWindow()
{
    // Focus passes from one window to the next in more than one step; the face follows where it ends.
    if (m_placePending)
        return;
    m_placePending = true;
    QTimer::singleShot(0, this, [this] {
        m_placePending = false;
        placeFace();
    });
}

void WindowStacking::placeFace()
{
    QWindow* face = m_face ? m_face->windowHandle() : nullptr;
    if (!face)
        return;
    QWindow* active = QGuiApplication::focusWindow();
    // A menu over a window leaves that window the active one.
    if (active && active != face && !isStackedKind(active->flags()))
        return;
    const bool ordinaryActive = active && active != face && !staysOnTop(active);
    if (face->flags().testFlag(Qt::WindowStaysOnTopHint) != ordinaryActive)
        return; // already where it belongs
    face->setFlag(Qt::WindowStaysOnTopHint, !ordinaryActive);
    // Openbox puts a window that leaves the top layer just under the active window; a window manager
    // that puts it over the ordinary windows would have it cover the active one, which is raised again
    // (a modal window together with the window it was opened from).
    if (ordinaryActive)
        active->raise();
}

void WindowStacking::bringForwardWindowsShownBeforeFace()
{
    if (!isShownWindow(m_face))
        return;
    bool onTopModalShown = false;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == m_face || !isShownWindow(window) || !isStackedKind(window->windowFlags()))
            continue;
        QWindow* handle = window->windowHandle();
        if (!staysOnTop(handle))
            continue;
        onTopModalShown = onTopModalShown || window->isModal();
        // One on top of other programs and owned by the face was mapped while the face was not: the
        // window manager found no owner then, and is told again now, so the face does not cover it.
        const QWindow* parent = handle->transientParent();
        if (!parent || !parent->isVisible() || parent == m_face->windowHandle()) {
            setOwnerOfShownWindow(*handle, *m_face->windowHandle());
            window->raise(); // the face, mapped later in the same layer, went over it
        }
    }
    // One the user works in (an error box while the face sat in the tray) is put in front, where it
    // was before the face came; not over a ringing window, which keeps the user's attention.
    if (!onTopModalShown && isShownWindow(m_shownWithoutFace)) {
        m_shownWithoutFace->raise();
        m_shownWithoutFace->activateWindow();
    }
    m_shownWithoutFace = nullptr;
}

bool WindowStacking::eventFilter(QObject* watched, QEvent* event)
{
    // The face is first exposed after showing once the window manager has taken it on: windows shown
    // while it was hidden are put back above it then; told earlier, the window manager may read the
    // change before it knows the face.
    if (m_facePending && event->type() == QEvent::Expose && m_face && watched == m_face->windowHandle() &&
        m_face->windowHandle()->isExposed()) {
        m_facePending = false;
        bringForwardWindowsShownBeforeFace();
        return false;
    }
    // The show event comes before the window is mapped, so the window manager reads the transient
    // parent with the window's first appearance.
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    if (window == m_face) {
        m_facePending = true;
        return false;
    }
    if (!window->isWindow() || !isStackedKind(window->windowFlags()) || !window->windowHandle())
        return false;
    QWidget* owner = ownerFor(*window);
    // Qt made a window owned by its parent; an ordinary window opened from the face belongs to none.
    if (owner || !window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        window->windowHandle()->setTransientParent(owner ? owner->windowHandle() : nullptr);
    // A window on top of other programs that is not modal is a report, which the user works in too.
    if ((!staysOnTop(window->windowHandle()) || !window->isModal()) && !isShownWindow(m_face))
        m_shownWithoutFace = window;
    return false;
}

void showWithoutWaiting(QWidget& window)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (window.isVisible() && modal && modal != &window && window.windowHandle() &&
        window.windowHandle()->transientParent() != modal->windowHandle())
        window.hide(); // a window stacked elsewhere would stay blocked behind the modal one
    if (window.isMinimized())
        window.showNormal();
    else
        window.show();
    window.raise();
    window.activateWindow();
}
