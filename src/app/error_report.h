#pragma once

#include <functional>
#include <utility>

#include <QString>

#include "platform/errors.h"

/// Shows an error's text in the application's standard error box, a message box titled "Belvane".
void reportError(const QString& text);

/// Where reported errors go; tests put a recorder here. An empty sink restores the message box.
using ErrorSink = std::function<void(const QString&)>;
void setErrorSink(ErrorSink sink);

/// Runs a handler's body; an error ends it and is reported, so no exception crosses the event loop.
template <class Handler>
void guarded(Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const BelvaneError& e) {
        reportError(e.text());
    } catch (const std::exception& e) {
        reportError(QString::fromLocal8Bit(e.what()));
    }
}
