#include "cli/signalwatcher.h"

#include <QtGlobal>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

int SignalPipe[2] = {-1, -1};

extern "C" void onSignalCaught(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher(std::function<void(int signal)> onSignal)
{
    Q_ASSERT(SignalPipe[0] < 0);
    if (::pipe2(SignalPipe, O_CLOEXEC) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignalCaught;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &m_oldInt);
    ::sigaction(SIGTERM, &action, &m_oldTerm);
    m_thread = std::thread([onSignal = std::move(onSignal)] {
        char byte = 0;
        ssize_t got;
        while ((got = ::read(SignalPipe[0], &byte, 1)) < 0 && errno == EINTR) {}
        if (got == 1 && byte != 0)  // 0: the watcher is going
            onSignal(byte);
    });
}

SignalWatcher::~SignalWatcher()
{
    if (!m_thread.joinable())
        return;
    ::sigaction(SIGINT, &m_oldInt, nullptr);
    ::sigaction(SIGTERM, &m_oldTerm, nullptr);
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    m_thread.join();
    ::close(SignalPipe[0]);
    ::close(SignalPipe[1]);
    SignalPipe[0] = SignalPipe[1] = -1;
}
