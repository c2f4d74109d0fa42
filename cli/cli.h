#pragma once

#include <QStringList>

class QIODevice;

/// Where a command writes: standard output and standard error, or buffers in tests.
struct CliStreams
{
    QIODevice &out;
    QIODevice &err;
    void print(const QString &text) const;      // UTF-8 to out, as it stands
    void write(const QByteArray &bytes) const;  // bytes to out, as they stand
    void flush() const;                         // out to its file now (progress lines)
    void warn(const QString &line) const;       // one line to err
    /// One line to err and the status for bad input.
    int fail(const QString &line) const;
};

inline constexpr int CliBadInput = 2;

/// Runs `lexorum-cli ARGS...` (args without the program name); returns the exit status. When out
/// is a DescriptorOutput, it is flushed, and a failed write anywhere makes the status 2.
int runCli(const QStringList &args, const CliStreams &io);
