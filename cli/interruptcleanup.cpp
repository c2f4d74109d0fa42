#include "cli/interruptcleanup.h"

#include "cli/signalwatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <csignal>
#include <memory>
#include <mutex>

namespace {

// The watcher of the one InterruptCleanup that lives; it does the removing on its own thread.
std::unique_ptr<SignalWatcher> Watcher;
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
    Q_ASSERT(!Watcher);
    Watcher = std::make_unique<SignalWatcher>(removeAndDie);
}

InterruptCleanup::~InterruptCleanup()
{
    Watcher.reset();
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
