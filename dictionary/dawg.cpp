#include "dictionary/dawg.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstring>

namespace {

constexpr std::uint32_t HasLeafBit = 1u << 8;
constexpr std::uint32_t ExtensionBit = 1u << 9;
constexpr std::uint32_t IsLeafBit = 1u << 31;

std::uint32_t readUint32(const char *data)
{
    std::uint32_t value;
    std::memcpy(&value, data, sizeof value);
    return qFromLittleEndian(value);
}

std::uint32_t offsetOf(std::uint32_t unit)
{
    return (unit >> 10) << ((unit & ExtensionBit) >> 6);
}

std::uint32_t labelOf(std::uint32_t unit)
{
    return unit & (IsLeafBit | 0xFF);
}

} // namespace

bool DawgFile::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return parse(bytes, QDir::toNativeSeparators(path), error);
}

bool DawgFile::parse(const QByteArray &bytes, const QString &name, QString *error)
{
    m_name = name;
    const auto fail = [&](const QString &problem) {
        *error = QStringLiteral("%1: %2").arg(name, problem);
        m_units.clear();
        m_guide.clear();
        return false;
    };
    const qint64 size = bytes.size();
    if (size < 4)
        return fail(QStringLiteral("the file is truncated: no unit count"));
    const qint64 unitCount = readUint32(bytes.constData());
    if (unitCount == 0)
        return fail(QStringLiteral("the dictionary has no units"));
    if (8 + 4 * unitCount > size)
        return fail(QStringLiteral("the file is truncated: %1 units announced, %2 bytes in the "
                                   "file").arg(unitCount).arg(size));
    const qint64 guideCount = readUint32(bytes.constData() + 4 + 4 * unitCount);
    if (8 + 4 * unitCount + 2 * guideCount != size)
        return fail(QStringLiteral("the counts do not add up: %1 units and %2 guide entries "
                                   "need %3 bytes, the file has %4")
                        .arg(unitCount)
                        .arg(guideCount)
                        .arg(8 + 4 * unitCount + 2 * guideCount)
                        .arg(size));
    if (guideCount != unitCount)
        return fail(QStringLiteral("the guide has %1 entries for %2 units")
                        .arg(guideCount)
                        .arg(unitCount));
    m_units.resize(unitCount);
    for (qint64 i = 0; i < unitCount; ++i)
        m_units[i] = readUint32(bytes.constData() + 4 + 4 * i);
    const char *guide = bytes.constData() + 8 + 4 * unitCount;
    m_guide.assign(guide, guide + 2 * guideCount);
    return true;
}

bool DawgFile::follow(std::uint8_t label, std::uint32_t *index) const
{
    const std::uint32_t next = *index ^ offsetOf(m_units[*index]) ^ label;
    if (next >= m_units.size() || labelOf(m_units[next]) != label)
        return false;
    *index = next;
    return true;
}

bool DawgFile::hasValue(std::uint32_t index) const
{
    return (m_units[index] & HasLeafBit) != 0;
}

std::uint32_t DawgFile::value(std::uint32_t index) const
{
    const std::uint32_t at = index ^ offsetOf(m_units[index]);
    return at < m_units.size() ? m_units[at] & ~IsLeafBit : 0;
}

bool DawgFile::forEachKey(const Visitor &visit, QString *error) const
{
    const auto broken = [&] {
        *error = QStringLiteral("%1: the structure is broken (a transition leads outside the "
                                "dictionary)").arg(m_name);
        return false;
    };
    if (m_units.empty())
        return true;
    // Depth-first through the guide, as dawgdic's completer does: the stack holds one unit
    // per key byte plus the root.
    std::vector<std::uint32_t> stack{0};
    std::string key;
    std::string previous;
    bool first = true;
    const auto findTerminal = [&](std::uint32_t index) {
        while (!hasValue(index)) {
            const std::uint8_t label = m_guide[2 * index];
            if (label == 0 || !follow(label, &index) || stack.size() > 4096)
                return false;
            key.push_back(char(label));
            stack.push_back(index);
        }
        return true;
    };
    if (!findTerminal(0))
        return broken();
    for (;;) {
        std::uint32_t index = stack.back();
        // A sound dictionary yields its keys in ascending order; a loop in a damaged guide
        // would repeat one, so this also keeps the walk finite.
        if (!first && std::string_view(key) <= std::string_view(previous)) {
            *error = QStringLiteral("%1: the keys are out of order (damaged guide)").arg(m_name);
            return false;
        }
        first = false;
        previous = key;
        if (!visit(key, value(index)))
            return true;
        const std::uint8_t child = m_guide[2 * index];
        if (child != 0) {
            if (!follow(child, &index))
                return broken();
            key.push_back(char(child));
            stack.push_back(index);
        } else {
            for (;;) {
                const std::uint8_t sibling = m_guide[2 * index + 1];
                stack.pop_back();
                if (stack.empty())
                    return true;
                key.pop_back();
                index = stack.back();
                if (sibling != 0) {
                    if (!follow(sibling, &index))
                        return broken();
                    key.push_back(char(sibling));
                    stack.push_back(index);
                    break;
                }
            }
        }
        if (!findTerminal(stack.back()))
            return broken();
    }
}
