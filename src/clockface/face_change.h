#pragma once

#include <QtGlobal>

/// The first millisecond of a second at which the face's colon shows dark: it is lit up to and
/// including millisecond 500.
constexpr int kColonDarkFromMs = 501;

/// The face's picture changes twice a second: at each whole second of the wall clock (digits, colon
/// lit) and at `kColonDarkFromMs` past it (colon dark). Returns the first such instant strictly after
/// `epochMs`, both in milliseconds since the epoch (local time differs from it by whole minutes).
constexpr qint64 nextFaceChangeAfter(qint64 epochMs)
{
    // Floor division, so an instant before the epoch still belongs to the second it falls in.
    const qint64 second = (epochMs >= 0 ? epochMs / 1000 : (epochMs - 999) / 1000) * 1000;
    return epochMs - second < kColonDarkFromMs ? second + kColonDarkFromMs : second + 1000;
}
