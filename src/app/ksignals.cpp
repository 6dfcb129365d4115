#include "ksignals.h"

#include <csignal>

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include "kquit.h"

namespace kolvarin {

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int)
{
    // Only async-signal-safe work here: wake the main thread.
    char byte = 1;
    (void)!::write(g_pipe[1], &byte, 1);
}

} // namespace

TKSignalCatcher::TKSignalCatcher()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0)
        return;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

TKSignalCatcher::~TKSignalCatcher()
{
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

TKSignalWatcher::TKSignalWatcher()
{
    if (g_pipe[0] < 0)
        return;
    // A signal that came before is still in the socket: the notifier fires
    // in the first event loop that runs.
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [] {
        char buffer[16];
        while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
        }
        RequestQuit();
    });
}

} // namespace kolvarin
