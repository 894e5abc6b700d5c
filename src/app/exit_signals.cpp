#include "app/exit_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace {
int g_pipe[2] = {-1, -1};

void onSignal(int signalNumber)
{
    // Only async-signal-safe calls here: one byte into the pipe, errno left as it was.
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t n = write(g_pipe[0], &byte, 1);
    errno = savedErrno;
}
} // namespace

ExitSignals::ExitSignals(std::initializer_list<int> signalNumbers, QObject* parent) : QObject(parent)
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ExitSignals::onReadable);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : signalNumbers)
        sigaction(number, &action, nullptr);
}

ExitSignals::~ExitSignals()
{
    for (int& fd : g_pipe)
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
}

void ExitSignals::onReadable()
{
    char byte = 0;
    while (read(g_pipe[1], &byte, 1) == 1)
        emit received(int(byte));
}
