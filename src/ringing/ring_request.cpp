#include "ringing/ring_request.h"

#include <QCoreApplication>

#include "platform/errors.h"

namespace {
// A busy machine may open a window a second or two after its second: that is not worth a note.
constexpr qint64 kNoteAfterSeconds = 10;
}

AlarmSettings ringingSettings(const RingRequest& request, QString& memo)
{
    AlarmSettings settings;
    if (request.trial) {
        settings = *request.trial;
    } else {
        // An error box here would stand between the alarm and its sound, and what was read before a
        // bad line may be a volume of zero: the alarm rings with the defaults and the error takes the
        // reminder's place.
        try {
            ReadAlarmSettingsFile(request.dataFolder, request.settingsFileName(), SettingsReader::Ringing,
                                  settings);
        } catch (const BelvaneError& e) {
            const QString name = request.settingsFileName();
            memo = e.text().contains(name)
                       ? e.text()
                       : QStringLiteral("%1: %2").arg(request.dataFolder + name, e.text());
            return fallbackAlarmSettings();
        }
    }
    memo = settings.reminderText.join(QLatin1Char('\n'));
    return settings;
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
