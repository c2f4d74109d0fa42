#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

/// Settings read from INI files laid over one another: a later file wins key by key, and
/// a section counts as present when any file has its header line, keys or not.
class LayeredSettings final
{
public:
    /// paths lowest first (see settingsReadOrder); files that do not exist are skipped.
    explicit LayeredSettings(const QStringList &paths);

    /// True when at least one of the files exists.
    bool hasFile() const { return m_hasFile; }
    bool hasSection(const QString &section) const { return m_sections.contains(section); }
    bool contains(const QString &key) const { return m_values.contains(key); }
    /// The value of "SECTION/KEY" as the files give it; an invalid QVariant when absent.
    QVariant value(const QString &key) const { return m_values.value(key); }

private:
    bool m_hasFile = false;
    QSet<QString> m_sections;
    QHash<QString, QVariant> m_values;
};
