#include "common/layeredsettings.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

/// The section names of an INI file's header lines, as written.
QStringList sectionHeaders(const QString &path)
{
    QStringList sections;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return sections;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']'))
            sections.append(line.mid(1, line.size() - 2).trimmed());
    }
    return sections;
}

} // namespace

LayeredSettings::LayeredSettings(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (!QFileInfo(path).isFile())
            continue;
        m_hasFile = true;
        for (const QString &section : sectionHeaders(path))
            m_sections.insert(section);
        const QSettings ini(path, QSettings::IniFormat);
        for (const QString &key : ini.allKeys())
            m_values.insert(key, ini.value(key));
    }
}
