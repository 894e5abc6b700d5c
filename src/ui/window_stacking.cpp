#include "ui/window_stacking.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include "platform/window_owner.h"

namespace {

// Menus, tool tips and the like place themselves; only windows a user works in are stacked, and
// only those the window manager manages (not the tray icon, which the tray host holds).
bool isStackedKind(const QWidget& w)
{
    if (w.windowFlags().testFlag(Qt::BypassWindowManagerHint))
        return false;
    switch (w.windowType()) {
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

} // namespace

WindowStacking::WindowStacking(QWidget& face) : QObject(&face), m_face(&face)
{
    qApp->installEventFilter(this);
}

WindowStacking::~WindowStacking()
{
    qApp->removeEventFilter(this);
}

QWidget* WindowStacking::ownerFor(const QWidget& window) const
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &window && !window.isAncestorOf(modal) && isShownWindow(modal))
        return modal;
    // A window whose parent is shown stays with its parent, as Qt made it.
    QWidget* parent = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    if (isShownWindow(parent))
        return parent;
    if (m_face && m_face.data() != &window && isShownWindow(m_face))
        return m_face;
    return nullptr;
}

void WindowStacking::adoptWindowsShownBeforeFace()
{
    if (!isShownWindow(m_face))
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == m_face || !isShownWindow(window) || !isStackedKind(*window))
            continue;
        // One owned by the face already was mapped while the face was not: the window manager found
        // no owner then, and is told again now.
        const QWindow* parent = window->windowHandle()->transientParent();
        if (!parent || !parent->isVisible() || parent == m_face->windowHandle())
            setOwnerOfShownWindow(*window->windowHandle(), *m_face->windowHandle());
    }
}

bool WindowStacking::eventFilter(QObject* watched, QEvent* event)
{
    // A window shown while the face was not (an error box while the face sat in the tray, say) has no
    // owner the window manager knows, and the face, always on top, would cover it. It is put on the
    // face when the face is first exposed after showing: the window manager has taken on both windows
    // by then and follows the change; told earlier, it may read it before it knows the face.
    if (m_ownersPending && event->type() == QEvent::Expose && m_face && watched == m_face->windowHandle() &&
        m_face->windowHandle()->isExposed()) {
        m_ownersPending = false;
        adoptWindowsShownBeforeFace();
        return false;
    }
    // The show event comes before the window is mapped, so the window manager reads the transient
    // parent with the window's first appearance.
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    if (window == m_face) {
        m_ownersPending = true;
        return false;
    }
    if (!window->isWindow() || !isStackedKind(*window) || !window->windowHandle())
        return false;
    if (QWidget* owner = ownerFor(*window))
        window->windowHandle()->setTransientParent(owner->windowHandle());
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
