#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

/// What the list's "下次响铃" column shows for an alarm's next ringing, seen from `now` (both local):
/// "今天 13:30", "明天 07:00", the weekday within the coming week ("周二 07:00"), the date later
/// ("12月24日 07:00", with the year when it is not this year's), and "—" when it will not ring again.
/// The time reads "7:00 AM" instead when the face shows 12-hour times (`twelveHour`). In the
/// interface's language.
QString nextRingText(const std::optional<QDateTime>& next, const QDateTime& now, bool twelveHour = false);

/// A time of day as the next-ring texts show it: "07:00", or "7:00 AM" with `twelveHour`.
QString nextRingTime(const QTime& time, bool twelveHour);

/// The text for an alarm that will not ring again.
inline const QString kNoNextRing = QStringLiteral("—");

/// The tray icon's tooltip: "Belvane · 下次 周二 07:00 起床", the caption shortened so the whole fits
/// the tray's 63 characters; "Belvane" alone when no alarm will ring (an empty `when`).
QString nextRingHint(const QString& when, const QString& caption);

/// The tooltip while an alarm is snoozed: "Belvane · 打盹至 07:10 起床", within 63 characters.
QString snoozeHint(const QDateTime& until, const QString& caption, bool twelveHour = false);

/// The first instant of the next local day after `now`: the texts above change then.
QDateTime nextMidnight(const QDateTime& now);
