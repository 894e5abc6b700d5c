// How long after an instant the first sound reaches a sound server: reads raw signed 16-bit mono
// samples from standard input, as `parec --raw --format=s16le --channels=1` writes them from a sink's
// monitor, stamps each read with the wall clock and prints the delay of the first sample that is not
// silent. The silence at the start of the sound file itself is taken off, so the figure is the
// program's own delay. Run by scripts/figures.sh:
//   parec ... | first_sound DUE_EPOCH_MS RATE SOUND.wav [TIMEOUT_S]
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

double wallMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

std::uint32_t le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t le16(const unsigned char* p) { return std::uint16_t(p[0] | p[1] << 8); }

/// Milliseconds of exact silence at the start of a 16-bit PCM WAV file, or -1 if it cannot be read.
double leadingSilenceMs(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> f((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (f.size() < 12 || std::memcmp(f.data(), "RIFF", 4) != 0 || std::memcmp(f.data() + 8, "WAVE", 4) != 0)
        return -1;
    int channels = 0, rate = 0, bits = 0;
    for (size_t at = 12; at + 8 <= f.size();) {
        const std::uint32_t size = le32(&f[at + 4]);
        const unsigned char* body = &f[at + 8];
        if (std::memcmp(&f[at], "fmt ", 4) == 0 && size >= 16) {
            channels = le16(body + 2);
            rate = int(le32(body + 4));
            bits = le16(body + 14);
        } else if (std::memcmp(&f[at], "data", 4) == 0) {
            if (bits != 16 || channels < 1 || rate < 1)
                return -1;
            const size_t samples = std::min<size_t>(size, f.size() - at - 8) / 2;
            for (size_t i = 0; i < samples; ++i)
                if (std::int16_t(le16(body + 2 * i)) != 0)
                    return 1000.0 * double(i / channels) / rate;
            return -1;
        }
        at += 8 + size + (size & 1);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: first_sound DUE_EPOCH_MS RATE SOUND.wav [TIMEOUT_S]\n");
        return 2;
    }
    const double due = std::atof(argv[1]);
    const int rate = std::atoi(argv[2]);
    const double lead = leadingSilenceMs(argv[3]);
    const double timeoutMs = 1000.0 * (argc > 4 ? std::atof(argv[4]) : 15);
    if (lead < 0 || rate <= 0) {
        std::fprintf(stderr, "first_sound: cannot read %s as 16-bit PCM\n", argv[3]);
        return 2;
    }
    // Above the resampler's ripple on silence, far below any sound played at an audible volume.
    constexpr int kThreshold = 64;
    const double start = wallMs();
    std::int16_t buffer[1024];
    while (wallMs() - start < timeoutMs) {
        pollfd p{0, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        const ssize_t got = read(0, buffer, sizeof buffer);
        const double now = wallMs();
        if (got <= 0)
            break;
        const size_t n = size_t(got) / 2;
        for (size_t i = 0; i < n; ++i) {
            if (std::abs(buffer[i]) > kThreshold) {
                // The last sample read arrived now; the ones before it one sample period apart.
                const double heard = now - 1000.0 * double(n - 1 - i) / rate;
                std::printf("%.1f\n", heard - lead - due);
                return 0;
            }
        }
    }
    std::fprintf(stderr, "first_sound: nothing but silence\n");
    return 1;
}
