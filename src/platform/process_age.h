#pragma once

#include <QtGlobal>

/// How long ago process `pid` (0: this one) was started, in milliseconds, from the kernel's record of
/// it (/proc/PID/stat against /proc/uptime, both on the boot clock, so a changed wall clock does not
/// matter); 0 when it cannot be read. Good to the kernel's tick, 10 ms.
qint64 processAgeMs(qint64 pid = 0);
