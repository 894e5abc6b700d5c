#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "platform/autostart.h"
#include "platform/clock.h"
#include "platform/output_volume.h"
#include "platform/power_control.h"
#include "ui/services.h"

/// Records what the program asked of start-with-the-desktop.
class RecordingAutostart final : public Autostart {
public:
    bool isEnabled() const override { return enabled; }
    void setEnabled(bool on, const QString& programPath) override
    {
        enabled = on;
        calls.append({on, programPath});
    }
    bool enabled = false; // whether an entry is there, as the desktop would read it
    QList<QPair<bool, QString>> calls;
};

/// An output device in memory that remembers every volume it was given.
class RecordingVolume final : public OutputVolume {
public:
    std::optional<DeviceVolume> read() override { return device; }
    void setVolume(quint32 packed) override
    {
        device.packed = packed;
        history.append(packed);
    }
    void setMuted(bool muted) override { device.muted = muted; }
    quint64 server() override { return serverId; }
    void release() override { ++releases; }
    DeviceVolume device{0x80008000, false};
    quint64 serverId = 1;
    QList<quint32> history;
    int releases = 0;
};

/// Records power actions; never touches the machine.
class RecordingPower final : public PowerControl {
public:
    void displayOff() override { calls.append("display off"); }
    void standby() override { calls.append("standby"); }
    void shutDown() override { calls.append("shut down"); }
    QStringList calls;
};

/// A set of services for window tests: a clock the test sets and fakes for the platform.
struct FakeServices {
    explicit FakeServices(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(6, 0))) : clock(std::move(start)) {}
    ManualClock clock;
    RecordingAutostart autostart;
    RecordingVolume volume;
    RecordingPower power;
    Services services{clock, autostart, volume, power};
};
