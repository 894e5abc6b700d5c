#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "app/services.h"
#include "platform/autostart.h"
#include "platform/clock.h"

/// Records what the program asked of start-with-the-desktop.
class RecordingAutostart final : public Autostart {
public:
    void setEnabled(bool enabled, const QString& programPath) override { calls.append({enabled, programPath}); }
    QList<QPair<bool, QString>> calls;
};

/// A set of services for window tests: a clock the test sets and fakes for the platform.
struct FakeServices {
    explicit FakeServices(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(6, 0))) : clock(std::move(start)) {}
    ManualClock clock;
    RecordingAutostart autostart;
    Services services{clock, autostart};
};
