#pragma once

/// The graph's volume and balance arithmetic. A graph keeps its volume on a linear scale of 0 (silent)
/// to 10000 (full) and its balance from -10000 to 10000; the sound output works in hundredths of a
/// decibel of attenuation, -10000 meaning silence.
namespace LinearVolume {

constexpr int kMinVolume = 0;
constexpr int kMaxVolume = 10000;
constexpr int kMinBalance = -10000;
constexpr int kMaxBalance = 10000;
/// Hundredths of a decibel at and below which nothing is heard.
constexpr int kSilence = -10000;

/// Rounds half to even, so 2.5 gives 2 and 3.5 gives 4.
long long roundHalfEven(double value);

/// The linear volume (clamped to 0..10000) in hundredths of a decibel: Round(ln(v + 1) * 1085.73) - 10000.
/// 10000 gives 0, 1000 gives -2499, 100 gives -4989 and 0 gives -10000.
int toHundredthsDb(int volume);

/// The volume in hundredths of a decibel: through the mapping above when `linear`, else volume - 10000.
int platformVolume(int volume, bool linear);

/// The linear balance (clamped to -10000..10000) in hundredths of a decibel: the magnitude
/// Round(ln(|b| + 1) * 1085.73), negative for a balance of 0 or more and positive below 0.
int balanceToHundredthsDb(int balance);

/// The balance passed on: through the mapping above when `linear`, else unchanged (clamped).
int platformBalance(int balance, bool linear);

/// The amplitude factor of an attenuation in hundredths of a decibel: 10^(db / 2000), so 0 gives 1.0
/// and -2000 gives 0.1; silence (-10000 or less) gives exactly 0.
double amplitudeOf(int hundredthsDb);

} // namespace LinearVolume
