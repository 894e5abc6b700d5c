#include "ringing/next_ring_text.h"

#include <QTimeZone>

#include <QCoreApplication>

namespace {


constexpr int kMaxHintLength = 63;
const QString kProgram = QStringLiteral("Belvane");

/// `head` followed by as much of `caption` as fits; a cut caption ends with "…" and never splits a
/// character outside the basic plane.
QString fitted(const QString& head, const QString& caption)
{
    QString hint = head + caption;
    if (hint.size() <= kMaxHintLength)
        return hint.trimmed();
    qsizetype room = kMaxHintLength - head.size() - 1;
    if (room > 0 && caption.at(room - 1).isHighSurrogate())
        --room;
    return head + caption.left(std::max<qsizetype>(0, room)) + QStringLiteral("…");
}

} // namespace

QString nextRingTime(const QTime& time, bool twelveHour)
{
    return time.toString(twelveHour ? QStringLiteral("h:mm AP") : QStringLiteral("HH:mm"));
}

QString nextRingText(const std::optional<QDateTime>& next, const QDateTime& now, bool twelveHour)
{
    if (!next || !next->isValid())
        return kNoNextRing;
    const QDateTime local = next->toLocalTime();
    const QDate day = local.date();
    const QDate today = now.toLocalTime().date();
    const QString time = nextRingTime(local.time(), twelveHour);
    const qint64 days = today.daysTo(day);
    if (days == 0)
        return QCoreApplication::translate("NextRingText", "今天") + QLatin1Char(' ') + time;
    if (days == 1)
        return QCoreApplication::translate("NextRingText", "明天") + QLatin1Char(' ') + time;
    if (days > 1 && days < 7) {
        static const char* const kDays[] = {
            QT_TRANSLATE_NOOP("NextRingText", "周一"), QT_TRANSLATE_NOOP("NextRingText", "周二"),
            QT_TRANSLATE_NOOP("NextRingText", "周三"), QT_TRANSLATE_NOOP("NextRingText", "周四"),
            QT_TRANSLATE_NOOP("NextRingText", "周五"), QT_TRANSLATE_NOOP("NextRingText", "周六"),
            QT_TRANSLATE_NOOP("NextRingText", "周日")};
        return QCoreApplication::translate("NextRingText", kDays[day.dayOfWeek() - 1]) + QLatin1Char(' ') +
               time;
    }
    const QString date =
        day.year() == today.year()
            ? QCoreApplication::translate("NextRingText", "%1月%2日").arg(day.month()).arg(day.day())
            : QCoreApplication::translate("NextRingText", "%1年%2月%3日")
                  .arg(day.year())
                  .arg(day.month())
                  .arg(day.day());
    return date + QLatin1Char(' ') + time;
}

QString nextRingHint(const QString& when, const QString& caption)
{
    if (when.isEmpty() || when == kNoNextRing)
        return kProgram;
    return fitted(kProgram + QStringLiteral(" · ") + QCoreApplication::translate("NextRingText", "下次") +
                      QLatin1Char(' ') + when + QLatin1Char(' '),
                  caption.simplified());
}

QString snoozeHint(const QDateTime& until, const QString& caption, bool twelveHour)
{
    return fitted(kProgram + QStringLiteral(" · ") + QCoreApplication::translate("NextRingText", "打盹至") +
                      QLatin1Char(' ') + nextRingTime(until.toLocalTime().time(), twelveHour) +
                      QLatin1Char(' '),
                  caption.simplified());
}

QDateTime nextMidnight(const QDateTime& now)
{
    const QDateTime local = now.toLocalTime();
    return QDateTime(local.date().addDays(1), QTime(0, 0));
}
