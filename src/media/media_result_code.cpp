#include "media/media_result_code.h"

#include <gst/gst.h>

namespace MediaResult {

std::uint32_t fromError(const GError* error)
{
    if (!error)
        return kStateChangeRefused;
    std::uint32_t domain = 0xF;
    if (error->domain == GST_CORE_ERROR)
        domain = 1;
    else if (error->domain == GST_LIBRARY_ERROR)
        domain = 2;
    else if (error->domain == GST_RESOURCE_ERROR)
        domain = 3;
    else if (error->domain == GST_STREAM_ERROR)
        domain = 4;
    return 0x80040000u | (domain << 12) | (static_cast<std::uint32_t>(error->code) & 0xFFFu);
}

} // namespace MediaResult
