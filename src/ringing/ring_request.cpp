#include "ringing/ring_request.h"

#include "platform/ui_text.h"

namespace {
// A busy machine may open a window a second or two after its second: that is not worth a note.
constexpr qint64 kNoteAfterSeconds = 10;
}

QString lateRingingNote(const RingRequest& request)
{
    if (request.lateSeconds < kNoteAfterSeconds)
        return {};
    const QString due = request.occurrence.due.toString(QStringLiteral("HH:mm:ss"));
    const QString late = request.lateSeconds < 60
                             ? uiText("%1 秒").arg(request.lateSeconds)
                             : uiText("%1 分钟").arg(request.lateSeconds / 60);
    return uiText("原定 %1 响铃（晚了 %2）").arg(due, late);
}
