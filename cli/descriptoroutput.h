#pragma once

#include <QByteArray>
#include <QIODevice>

/// Standard output as lexorum-cli writes it: buffered, and every write checked. After a failed
/// write the device keeps failing, and errorNumber() tells the first cause.
class DescriptorOutput final : public QIODevice
{
public:
    explicit DescriptorOutput(int descriptor);
    ~DescriptorOutput() override;
    bool isSequential() const override { return true; }
    /// Writes out what is buffered; false once any write failed.
    bool flushAll();
    int errorNumber() const { return m_error; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool writeOut(const char *data, qint64 size);

    int m_descriptor;
    QByteArray m_buffer;
    int m_error = 0;
};
