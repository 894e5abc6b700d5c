#include "alarms/alarm_display.h"

#include "platform/text_codec.h"

namespace {

QString timeColumn(const EditedAlarmInfo& a, RowOrigin origin, const DateTimeLocale& locale)
{
    const QDateTime t(a.date.isValid() ? a.date : QDate(2000, 1, 1), a.time);
    if (a.frequencyIndex == int(Frequency::Hourly))
        return formatDateTime(QStringLiteral("nn:ss"), t, locale) +
               (origin == RowOrigin::Add ? QStringLiteral(" 每小时") : QStringLiteral(" of every hour"));
    return formatDateTime(QStringLiteral("hh:nn:ss AM/PM"), t, locale);
}

QString dateColumn(const EditedAlarmInfo& a, RowOrigin origin, const DateTimeLocale& locale)
{
    switch (Frequency(a.frequencyIndex)) {
    case Frequency::FixedDate:
        return formatShortDate(a.date, locale);
    case Frequency::Monthly:
        return origin == RowOrigin::Add ? QString::number(a.date.day()) + QStringLiteral(" 每月") : QStringLiteral("--");
    case Frequency::Yearly:
        return formatDateTime(QStringLiteral("mm/dd"), QDateTime(a.date, QTime(0, 0)), locale);
    default:
        return QStringLiteral("--");
    }
}

} // namespace

AlarmEntry makeAlarmEntry(const EditedAlarmInfo& a, int number, RowOrigin origin, const DateTimeLocale& locale)
{
    const QDateTime at(a.date, a.time);
    AlarmEntry row;
    row.caption = encodeText(a.caption);
    row.frequencyText = frequencyBytes(a.frequencyIndex);
    row.timeDisplay = encodeText(timeColumn(a, origin, locale));
    row.dateDisplay = encodeText(dateColumn(a, origin, locale));
    row.timeCode = formatDateTime(QStringLiteral("hhnnss"), at, locale).toLatin1();
    row.dateCode = formatDateTime(QStringLiteral("ddmmyyyy"), at, locale).toLatin1();
    row.weekdayMask = a.weekdayMask.toLatin1();
    row.alarmNumber = QByteArray::number(number);
    return row;
}
