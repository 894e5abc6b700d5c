#include "platform/power_control.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace {

void callLogind(const char* method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
                                                       QStringLiteral("/org/freedesktop/login1"),
                                                       QStringLiteral("org.freedesktop.login1.Manager"),
                                                       QString::fromLatin1(method));
    call << false; // not interactive: never ask for a password
    // Sent without waiting for the answer: the clock does not freeze while the machine goes down.
    QDBusConnection::systemBus().send(call);
}

} // namespace

void LinuxPowerControl::displayOff()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return; // not on X11: nothing to do
    int event = 0, error = 0;
    if (DPMSQueryExtension(display, &event, &error) && DPMSCapable(display)) {
        DPMSEnable(display);
        DPMSForceLevel(display, DPMSModeOff);
    } else {
        XForceScreenSaver(display, ScreenSaverActive);
    }
    XFlush(display);
}

void LinuxPowerControl::standby()
{
    callLogind("Suspend");
}

void LinuxPowerControl::shutDown()
{
    callLogind("PowerOff");
}
