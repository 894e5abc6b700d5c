#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QStringList>

/// What the X server and its window manager say about client windows, read over a connection of the
/// test's own: the window manager's stacking order, the actions and states it gives a window, its
/// transient parent and its frame.
namespace x11 {

using WindowId = unsigned long;

/// Client windows from bottom to top (_NET_CLIENT_LIST_STACKING).
QList<WindowId> stacking();
/// How high a window stands in `stacking()`; -1 when the window manager does not list it.
int stackingIndex(WindowId window);
/// The names of the actions the window manager offers (_NET_WM_ALLOWED_ACTIONS), "_NET_WM_ACTION_" cut.
QStringList allowedActions(WindowId window);
/// The names of the window's states (_NET_WM_STATE), "_NET_WM_STATE_" cut.
QStringList states(WindowId window);
/// The boxes and functions the window asks its window manager for (_MOTIF_WM_HINTS): whether it asks
/// for a minimise box or function, and for a maximise one.
struct AskedBoxes {
    bool minimise = true;
    bool maximise = true;
};
AskedBoxes askedBoxes(WindowId window);
/// The window the window manager has made active (_NET_ACTIVE_WINDOW); 0 when none is.
WindowId activeWindow();
/// WM_TRANSIENT_FOR; 0 when the window has none.
WindowId transientFor(WindowId window);
/// The frame the window manager put around the window (_NET_FRAME_EXTENTS).
QMargins frameExtents(WindowId window);
/// The window's client area on the screen, as the X server has it.
QRect clientRect(WindowId window);
/// The window and the frame around it on the screen, as the user sees them: the client area grown by
/// the frame's extents.
QRect frameRect(WindowId window);
/// The window is mapped, and so are its frame and whatever else holds it.
bool viewable(WindowId window);

} // namespace x11
