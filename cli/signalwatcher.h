#pragma once

#include <csignal>
#include <functional>
#include <thread>

/// While one lives, SIGINT and SIGTERM come to it instead of ending the process: the handler
/// only writes the signal's number to a pipe, and a thread of the watcher's own calls
/// onSignal(number) the first time one comes, where any work may be done. The old handlers
/// come back when it goes. One at a time.
class SignalWatcher
{
public:
    explicit SignalWatcher(std::function<void(int signal)> onSignal);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher &) = delete;
    SignalWatcher &operator=(const SignalWatcher &) = delete;

private:
    struct sigaction m_oldInt = {};
    struct sigaction m_oldTerm = {};
    std::thread m_thread;
};
