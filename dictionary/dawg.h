#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

/// A read-only dawgdic dictionary: a 4-byte unit count N, N 4-byte units, a 4-byte guide
/// count G and G 2-byte guide entries (first-child label, next-sibling label), little-endian.
class DawgFile
{
public:
    /// Reads and checks the layout; on failure returns false with a message naming the file.
    bool load(const QString &path, QString *error);
    /// The same for bytes already in memory; name is used in messages.
    bool parse(const QByteArray &bytes, const QString &name, QString *error);

    /// Calls visit(key, value) for every key in byte order; stops early when visit returns
    /// false. Returns false with a message when the structure leads outside the file.
    using Visitor = std::function<bool(std::string_view key, std::uint32_t value)>;
    bool forEachKey(const Visitor &visit, QString *error) const;

private:
    bool follow(std::uint8_t label, std::uint32_t *index) const;
    bool hasValue(std::uint32_t index) const;
    std::uint32_t value(std::uint32_t index) const;

    QString m_name;
    std::vector<std::uint32_t> m_units;
    std::vector<std::uint8_t> m_guide;  // two bytes per unit: child, sibling
};
