#pragma once

// This process's memory as the kernel counts it, for the benches' peak figures.

#include <QByteArray>
#include <QFile>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace processmemory {

// VmHWM or VmRSS of this process in kB, from /proc/self/status.
inline long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLong();
    return -1;
}

// Starts the peak over from the present size (freed heap given back first), so that what
// comes next shows its own peak.
inline void resetPeak()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace processmemory
