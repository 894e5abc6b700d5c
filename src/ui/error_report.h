#pragma once

#include <functional>
#include <utility>

#include <QString>

class QWidget;

#include "platform/errors.h"

/// Shows an error's text in the application's standard error box, a message box titled "Belvane".
/// The box does not wait: the caller goes on at once and the scheduler keeps ringing alarms while it
/// is open. `onClosed` runs once the user has closed it.
void reportError(const QString& text, std::function<void()> onClosed = {});
/// The same for a notice that is not an error (missed alarms).
void reportNotice(const QString& text);

/// Where reported errors and notices go; tests put a recorder here, and `onClosed` then runs at once.
/// An empty sink restores the message box.
using ErrorSink = std::function<void(const QString&)>;
void setErrorSink(ErrorSink sink);

/// The window a box is opened over when no window of the program is active: the clock face.
void setErrorBoxOwner(QWidget* window);

/// Runs a handler's body; an error ends it and is reported, so no exception crosses the event loop.
template <class Handler> void guarded(Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const BelvaneError& e) {
        reportError(e.text());
    } catch (const std::exception& e) {
        reportError(QString::fromLocal8Bit(e.what()));
    }
}
