#include "platform/window_owner.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

void setOwnerOfShownWindow(QWindow& window, QWindow& owner)
{
    window.setTransientParent(&owner); // for the next time Qt maps it
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display || !window.isVisible() || !owner.isVisible())
        return;
    // The window manager follows WM_TRANSIENT_FOR when it changes on a mapped window.
    XSetTransientForHint(display, Window(window.winId()), Window(owner.winId()));
    XFlush(display);
}
