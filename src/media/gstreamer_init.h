#pragma once

#include <mutex>

#include <gst/gst.h>

#include "platform/heap_trim.h"

/// GStreamer is started on first use, by whichever part of the program needs it first.
inline void initialiseGStreamer()
{
    static std::once_flag once;
    std::call_once(once, [] {
        notePagesBeforeSound();
        gst_init(nullptr, nullptr);
    });
}
