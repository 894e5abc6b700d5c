#include "ringing/ring_request.h"

#include <QCoreApplication>

namespace {
// A busy machine may open a window a second or two after its second: that is not worth a note.
constexpr qint64 kNoteAfterSeconds = 10;
}

QString lateRingingNote(const RingRequest& request)
{
    if (request.lateSeconds < kNoteAfterSeconds)
        return {};
    const QString due = request.occurrence.due.toString(QStringLiteral("HH:mm:ss"));
    const QString late =
        request.lateSeconds < 60
            ? QCoreApplication::translate("RingRequest", "%1 秒").arg(request.lateSeconds)
            : QCoreApplication::translate("RingRequest", "%1 分钟").arg(request.lateSeconds / 60);
    return QCoreApplication::translate("RingRequest", "原定 %1 响铃（晚了 %2）").arg(due, late);
}
