#include "cli/descriptoroutput.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

constexpr qsizetype BufferSize = 64 * 1024;

} // namespace

DescriptorOutput::DescriptorOutput(int descriptor)
    : m_descriptor(descriptor)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

DescriptorOutput::~DescriptorOutput()
{
    flushAll();
}

qint64 DescriptorOutput::writeData(const char *data, qint64 size)
{
    if (m_error != 0)
        return -1;
    if (m_buffer.size() + size > BufferSize) {
        if (!flushAll())
            return -1;
        if (size > BufferSize)
            return writeOut(data, size) ? size : -1;
    }
    m_buffer.append(data, qsizetype(size));
    return size;
}

bool DescriptorOutput::flushAll()
{
    if (m_error != 0)
        return false;
    const bool written = writeOut(m_buffer.constData(), m_buffer.size());
    m_buffer.clear();
    return written;
}

bool DescriptorOutput::writeOut(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t done = ::write(m_descriptor, data, std::size_t(size));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            m_error = done < 0 ? errno : EIO;
            setErrorString(QString::fromLocal8Bit(std::strerror(m_error)));
            return false;
        }
        data += done;
        size -= done;
    }
    return true;
}
