#pragma once

#include <QString>
#include <QTime>

/// The chime page of the options.
struct ChimeOptions {
    QString file;
    bool hourly = true;
    bool halfHourly = true;
    bool quarterHourly = true;
    bool onlyBetween = false;
    QTime from = QTime(8, 0);
    QTime to = QTime(22, 0);

    bool operator==(const ChimeOptions&) const = default;
};

/// The program-wide settings as they stand at this moment. The options dialog holds the live values
/// (a change counts as soon as it is made, before OK); the clock face, the alarm list, the ringing
/// player and the chime step read them through this.
class LiveOptions {
public:
    virtual ~LiveOptions() = default;
    virtual bool startWithDesktop() const = 0;
    /// Hide the clock and the alarm list to the tray right after start.
    virtual bool startInTray() const = 0;
    virtual bool fullScreenVideo() const = 0;
    /// The 24-hour face; false for the 12-hour face (also when neither was chosen).
    virtual bool military() const = 0;
    virtual ChimeOptions chimes() const = 0;
};

/// Options held in memory, for tests and for windows used before the options dialog exists.
class FixedLiveOptions final : public LiveOptions {
public:
    bool startWithDesktop() const override { return startup; }
    bool startInTray() const override { return tray; }
    bool fullScreenVideo() const override { return fullScreen; }
    bool military() const override { return twentyFourHour; }
    ChimeOptions chimes() const override { return chime; }

    bool startup = true;
    bool tray = false;
    bool fullScreen = true;
    bool twentyFourHour = false;
    ChimeOptions chime;
};
