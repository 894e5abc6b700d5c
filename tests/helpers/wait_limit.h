#pragma once

/// How long a test waits for a window, a server or an event on the shared X server before giving up.
/// A busy machine may take many seconds; a generous limit costs nothing when things go well.
constexpr int kWaitLimitMs = 30000;
