#pragma once

#include <optional>

#include <QDateTime>
#include <QString>

/// What the list's "下次响铃" column shows for an alarm's next ringing, seen from `now` (both local):
/// "今天 13:30", "明天 07:00", the weekday within the coming week ("周二 07:00"), the date later
/// ("12月24日 07:00", with the year when it is not this year's), and "—" when it will not ring again.
QString nextRingText(const std::optional<QDateTime>& next, const QDateTime& now);

/// The text for an alarm that will not ring again.
inline const QString kNoNextRing = QStringLiteral("—");

/// The tray icon's tooltip: "Belvane · 下次 周二 07:00 起床", the caption shortened so the whole fits
/// the tray's 63 characters; "Belvane" alone when no alarm will ring (an empty `when`).
QString nextRingHint(const QString& when, const QString& caption);

/// The tooltip while an alarm is snoozed: "Belvane · 打盹至 07:10 起床", within 63 characters.
QString snoozeHint(const QDateTime& until, const QString& caption);

/// The first instant of the next local day after `now`: the texts above change then.
QDateTime nextMidnight(const QDateTime& now);
