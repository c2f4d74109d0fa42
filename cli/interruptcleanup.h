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
};
