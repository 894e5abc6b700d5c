#pragma once

class QWindow;

/// Makes a window that is already on screen belong over `owner` (its transient parent), so the window
/// manager stacks it above the owner and raises it with it. Qt tells the window manager a window's
/// owner only when it maps the window; this tells it at once, on X11. Elsewhere only Qt learns it.
void setOwnerOfShownWindow(QWindow& window, QWindow& owner);
