#include "media/linear_volume.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace LinearVolume {

namespace {
constexpr double kDecibelScale = 1085.73;
}

long long roundHalfEven(double value)
{
    return std::llrint(value); // the default rounding mode rounds to nearest, ties to even
}

int toHundredthsDb(int volume)
{
    const int v = std::clamp(volume, kMinVolume, kMaxVolume);
    return static_cast<int>(roundHalfEven(std::log(v + 1.0) * kDecibelScale)) - kMaxVolume;
}

int platformVolume(int volume, bool linear)
{
    const int v = std::clamp(volume, kMinVolume, kMaxVolume);
    return linear ? toHundredthsDb(v) : v - kMaxVolume;
}

int balanceToHundredthsDb(int balance)
{
    const int b = std::clamp(balance, kMinBalance, kMaxBalance);
    const int magnitude = static_cast<int>(roundHalfEven(std::log(std::abs(b) + 1.0) * kDecibelScale));
    return b >= 0 ? -magnitude : magnitude;
}

int platformBalance(int balance, bool linear)
{
    return linear ? balanceToHundredthsDb(balance) : std::clamp(balance, kMinBalance, kMaxBalance);
}

double amplitudeOf(int hundredthsDb)
{
    if (hundredthsDb <= kSilence)
        return 0.0;
    return std::pow(10.0, std::min(hundredthsDb, 0) / 2000.0);
}

} // namespace LinearVolume
