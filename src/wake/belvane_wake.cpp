// belvane-wake: keeps one wake timer armed for the instant the clock last asked for.
//
// The kernel programs the real-time clock for a timer on CLOCK_REALTIME_ALARM, so the machine wakes
// from suspend when the timer falls due. Creating such a timer needs CAP_WAKE_ALARM, which a file
// capability gives to this small program alone rather than to the clock.
//
// Input, one line at a time on standard input:
//   an instant in seconds since the epoch  the timer is armed for it (the latest one given counts)
//   an empty line                          the timer is disarmed
// End of input ends the program, and with it the timer. Every line is answered on standard output
// ("armed N", "disarmed"); a line that is neither is refused on standard error and the timer stays
// as it was. "ready" on standard output says the timer exists; when it cannot be created the program
// says why and exits with status 1.
//
// It opens no file, socket or display, and keeps no capability but CAP_WAKE_ALARM.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

constexpr const char* kName = "belvane-wake";
// Longer than any instant needs; a longer line is refused whole.
constexpr std::size_t kLongestLine = 32;

/// Keeps CAP_WAKE_ALARM (when held) and lets go of every other capability, and of any way to gain
/// one back through exec. Returns false when the kernel refuses.
bool dropOtherCapabilities()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const unsigned index = CAP_WAKE_ALARM / 32;
    const std::uint32_t bit = 1u << (CAP_WAKE_ALARM % 32);
    const bool held = (data[index].permitted & bit) != 0;
    for (auto& d : data)
        d.effective = d.permitted = d.inheritable = 0;
    if (held) {
        data[index].permitted = bit;
        data[index].effective = bit;
    }
    if (syscall(SYS_capset, &header, data) != 0)
        return false;
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
}

/// Parses a whole line of decimal digits as seconds since the epoch; false for anything else.
bool parseInstant(const std::string& line, time_t& instant)
{
    if (line.empty() || line.size() > 18)
        return false;
    long long value = 0;
    for (char c : line) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    instant = time_t(value);
    return true;
}

void answer(const char* text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main()
{
    // Set-user-id would let anyone run it with another user's rights: it refuses.
    if (getuid() != geteuid() || getgid() != getegid()) {
        std::fprintf(stderr, "%s: refusing to run set-user-id or set-group-id\n", kName);
        return 2;
    }
    // Whatever its starter left open is not its business: it keeps its standard three alone.
    ::close_range(3, ~0U, 0);
    if (!dropOtherCapabilities()) {
        std::fprintf(stderr, "%s: cannot drop capabilities: %s\n", kName, std::strerror(errno));
        return 2;
    }
    const int timer = timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
    if (timer < 0) {
        const int error = errno;
        std::fprintf(stderr, "%s: cannot arm a wake timer: %s%s\n", kName, std::strerror(error),
                     error == EPERM ? " (the program lacks the capability cap_wake_alarm)" : "");
        return 1;
    }
    answer("ready");

    std::string line;
    bool tooLong = false;
    for (int c; (c = std::getchar()) != EOF;) {
        if (c != '\n') {
            if (line.size() < kLongestLine)
                line.push_back(char(c));
            else
                tooLong = true;
            continue;
        }
        itimerspec when{};
        time_t instant = 0;
        if (line.empty()) {
            // A disarmed alarm timer goes on reporting its last expiry (in timerfd_gettime and in
            // /proc), so it is replaced by a fresh one, which reads as disarmed everywhere.
            const int fresh = timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
            if (fresh >= 0 && dup2(fresh, timer) == timer) {
                close(fresh);
                answer("disarmed");
            } else {
                std::fprintf(stderr, "%s: cannot disarm the wake timer: %s\n", kName, std::strerror(errno));
            }
            continue;
        } else if (!tooLong && parseInstant(line, instant) && instant > 0) {
            when.it_value.tv_sec = instant;
        } else {
            std::fprintf(stderr, "%s: refused line \"%s%s\": not seconds since the epoch\n", kName,
                         line.c_str(), tooLong ? "..." : "");
            line.clear();
            tooLong = false;
            continue;
        }
        if (timerfd_settime(timer, TFD_TIMER_ABSTIME, &when, nullptr) != 0) {
            // Left as it was: the clock's next instant still stands.
            std::fprintf(stderr, "%s: refused line \"%s\": %s\n", kName, line.c_str(), std::strerror(errno));
        } else {
            answer(("armed " + line).c_str());
        }
        line.clear();
    }
    return 0;
}
