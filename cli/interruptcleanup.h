#pragma once

#include <QString>

/// While one lives, SIGINT and SIGTERM first remove the files and folders added to it (a
/// command's temporaries), then end the process as the signal would have. One at a time.
class InterruptCleanup
{
public:
    InterruptCleanup();
    ~InterruptCleanup();
    InterruptCleanup(const InterruptCleanup &) = delete;
    InterruptCleanup &operator=(const InterruptCleanup &) = delete;

    /// Safe from any thread.
    static void add(const QString &path);
    static void forget(const QString &path);
    /// Also removes whatever in folder has a name that starts with prefix and ends with
    /// suffix: the temporaries a command is about to create, so that one a signal finds
    /// created but not yet added goes too. Names that match should be this command's own.
    static void addPattern(const QString &folder, const QString &prefix, const QString &suffix);
};
