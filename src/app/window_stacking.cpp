#include "app/window_stacking.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

// Menus, tool tips and the like place themselves; only windows a user works in are stacked.
bool isStackedKind(const QWidget& w)
{
    switch (w.windowType()) {
    case Qt::Dialog:
    case Qt::Tool:
    case Qt::Window:
    case Qt::Sheet: return true;
    default: return false;
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

bool WindowStacking::eventFilter(QObject* watched, QEvent* event)
{
    // The show event comes before the window is mapped, so the window manager reads the transient
    // parent with the window's first appearance.
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow() || window == m_face || !isStackedKind(*window) || !window->windowHandle())
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
