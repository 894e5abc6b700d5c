#pragma once

#include <QtGlobal>

/// Chooses how the windows reach the screen on a Wayland desktop, before the application starts:
/// through its X server (Xwayland) when there is one, since a frameless always-on-top face, its
/// shape and turning the display off need X11; natively on Wayland otherwise, and also when the X
/// server does not answer. An explicit QT_QPA_PLATFORM is left alone.
inline void chooseDisplayPlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "wayland" : "xcb;wayland");
}
