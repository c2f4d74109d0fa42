#include "cli/interruptcleanup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler may only write to a pipe; a watcher thread reads the signal's number from it and
// does the removing, which is no work for a signal handler.
int SignalPipe[2] = {-1, -1};
struct sigaction OldInt = {};
struct sigaction OldTerm = {};
std::thread Watcher;
std::mutex PathsMutex;
QStringList Paths;
struct Pattern
{
    QString folder;
    QString prefix;
    QString suffix;
};
QList<Pattern> Patterns;

void removePath(const QString &path)
{
    if (QFileInfo(path).isDir())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

extern "C" void onInterrupt(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    errno = saved;
}

void removeAndDie(int signal)
{
    {
        std::lock_guard lock(PathsMutex);
        for (const QString &path : std::as_const(Paths))
            removePath(path);
        Paths.clear();
        for (const Pattern &pattern : std::as_const(Patterns)) {
            const QDir folder(pattern.folder);
            const QStringList names = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                       | QDir::Hidden | QDir::System);
            for (const QString &name : names)
                if (name.size() > pattern.prefix.size() + pattern.suffix.size()
                    && name.startsWith(pattern.prefix) && name.endsWith(pattern.suffix))
                    removePath(folder.filePath(name));
        }
        Patterns.clear();
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

} // namespace

InterruptCleanup::InterruptCleanup()
{
    Q_ASSERT(!Watcher.joinable());
    if (::pipe2(SignalPipe, O_CLOEXEC) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &OldInt);
    ::sigaction(SIGTERM, &action, &OldTerm);
    Watcher = std::thread([] {
        char byte = 0;
        ssize_t got;
        while ((got = ::read(SignalPipe[0], &byte, 1)) < 0 && errno == EINTR) {}
        if (got == 1 && byte != 0)
            removeAndDie(byte);
    });
}

InterruptCleanup::~InterruptCleanup()
{
    if (!Watcher.joinable())
        return;
    ::sigaction(SIGINT, &OldInt, nullptr);
    ::sigaction(SIGTERM, &OldTerm, nullptr);
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    Watcher.join();
    ::close(SignalPipe[0]);
    ::close(SignalPipe[1]);
    SignalPipe[0] = SignalPipe[1] = -1;
    std::lock_guard lock(PathsMutex);
    Paths.clear();
    Patterns.clear();
}

void InterruptCleanup::add(const QString &path)
{
    std::lock_guard lock(PathsMutex);
    Paths.append(path);
}

void InterruptCleanup::forget(const QString &path)
{
    std::lock_guard lock(PathsMutex);
    Paths.removeAll(path);
}

void InterruptCleanup::addPattern(const QString &folder, const QString &prefix,
                                  const QString &suffix)
{
    std::lock_guard lock(PathsMutex);
    Patterns.append({folder, prefix, suffix});
}
