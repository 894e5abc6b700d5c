#include "x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace x11 {
namespace {

Display* display()
{
    static Display* d = XOpenDisplay(nullptr);
    return d;
}

/// A 32-bit list property of a window (XGetWindowProperty gives each item as a long).
QList<unsigned long> longs(WindowId window, const char* property, Atom type)
{
    Display* d = display();
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QList<unsigned long> out;
    if (XGetWindowProperty(d, window, XInternAtom(d, property, False), 0, 4096, False, type, &actualType,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            out.append(items[i]);
    }
    if (data)
        XFree(data);
    return out;
}

QStringList atomNames(WindowId window, const char* property, const QString& prefix)
{
    QStringList names;
    for (unsigned long atom : longs(window, property, XA_ATOM)) {
        char* name = XGetAtomName(display(), atom);
        QString text = QString::fromLatin1(name);
        XFree(name);
        if (text.startsWith(prefix))
            text = text.mid(prefix.size());
        names << text;
    }
    return names;
}

} // namespace

QList<WindowId> stacking()
{
    QList<WindowId> out;
    for (unsigned long w : longs(DefaultRootWindow(display()), "_NET_CLIENT_LIST_STACKING", XA_WINDOW))
        out.append(w);
    return out;
}

int stackingIndex(WindowId window)
{
    return int(stacking().indexOf(window));
}

QStringList allowedActions(WindowId window)
{
    return atomNames(window, "_NET_WM_ALLOWED_ACTIONS", QStringLiteral("_NET_WM_ACTION_"));
}

QStringList states(WindowId window)
{
    return atomNames(window, "_NET_WM_STATE", QStringLiteral("_NET_WM_STATE_"));
}

AskedBoxes askedBoxes(WindowId window)
{
    // flags, functions, decorations: a part counts only when its flag is set; without it, all.
    const QList<unsigned long> hints = longs(window, "_MOTIF_WM_HINTS", AnyPropertyType);
    AskedBoxes asked;
    if (hints.size() < 3)
        return asked;
    constexpr unsigned long kFunctionsFlag = 1, kDecorationsFlag = 2, kAll = 1;
    constexpr unsigned long kFunctionMinimise = 8, kFunctionMaximise = 16, kBoxMinimise = 32,
                            kBoxMaximise = 64;
    const bool functions = (hints[0] & kFunctionsFlag) && !(hints[1] & kAll);
    const bool boxes = (hints[0] & kDecorationsFlag) && !(hints[2] & kAll);
    asked.minimise = (!functions || (hints[1] & kFunctionMinimise)) || (!boxes || (hints[2] & kBoxMinimise));
    asked.maximise = (!functions || (hints[1] & kFunctionMaximise)) || (!boxes || (hints[2] & kBoxMaximise));
    return asked;
}

WindowId activeWindow()
{
    const QList<unsigned long> active = longs(DefaultRootWindow(display()), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return active.isEmpty() ? 0 : active.first();
}

WindowId transientFor(WindowId window)
{
    Window parent = 0;
    return XGetTransientForHint(display(), window, &parent) ? parent : 0;
}

QMargins frameExtents(WindowId window)
{
    const QList<unsigned long> e = longs(window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    return e.size() == 4 ? QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3])) : QMargins();
}

QRect clientRect(WindowId window)
{
    Display* d = display();
    XWindowAttributes attributes{};
    XGetWindowAttributes(d, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    return QRect(x, y, attributes.width, attributes.height);
}

QRect frameRect(WindowId window)
{
    return clientRect(window).marginsAdded(frameExtents(window));
}

bool viewable(WindowId window)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display(), window, &attributes) && attributes.map_state == IsViewable;
}

} // namespace x11
