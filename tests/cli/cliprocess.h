#pragma once

#include <QString>
#include <QStringList>

#include <functional>

/// The lexorum-cli executable beside the tests (or in LEXORUM_BIN).
QString cliPath();

/// What a run of the lexorum-cli process gave.
struct CliProcessRun
{
    int status = -1;  // the exit status; -1 when it ended by a signal
    int signal = 0;   // the signal that ended it, 0 when it exited
    QString err;
};

/// How the process starts: standard output into outputPath (a file, a FIFO, /dev/full), the
/// size of files it may write limited to fileSizeLimit bytes (SIGXFSZ ignored, so a write past
/// it fails with EFBIG as on a full disk) unless negative.
struct CliProcessSetup
{
    QString outputPath = QStringLiteral("/dev/null");
    long long fileSizeLimit = -1;
};

/// Runs lexorum-cli with args to its end and reads its standard error.
CliProcessRun runCliProcess(const QStringList &args, const CliProcessSetup &setup = {});

/// Starts lexorum-cli with standard error into errorFd and returns its process id, -1 on
/// failure; the caller waits for it.
int startCliProcess(const QStringList &args, int errorFd);
