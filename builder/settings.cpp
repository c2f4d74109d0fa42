#include "builder/settings.h"

#include "common/layeredsettings.h"
#include "common/suiteinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString DataBaseKey = u"GLOBAL/DataBase"_s;
const QString RankKey = u"GLOBAL/Rank"_s;
const QString DictionaryName = u"data/lexorum-ru.sqlite"_s;
const QString UserDictionaryName = u"lexorum/lexorum-ru.sqlite"_s;

} // namespace

QString settingsPath()
{
    return settingsFilePath(u"Orvella.ini"_s);
}

QString blackListPath()
{
    return suiteDataFile(u"black_list.dat"_s);
}

QString userDictionaryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/'
           + UserDictionaryName;
}

QString defaultDictionaryPath(const QString &programDirectory)
{
    QDir dir(programDirectory);
    for (int up = 0; up < 3; ++up) {
        const QString candidate = dir.filePath(DictionaryName);
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
        if (!dir.cdUp())
            break;
    }
    // The user's own first (XDG_DATA_HOME), then one shared by the machine (XDG_DATA_DIRS).
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, UserDictionaryName);
}

QString readDataBase(const QString &iniPath, const QString &fallback)
{
    const LayeredSettings ini(settingsReadOrder(iniPath));
    return ini.contains(DataBaseKey) ? ini.value(DataBaseKey).toString() : fallback;
}

QString writeDataBase(const QString &iniPath, const QString &dataBase)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(DataBaseKey, dataBase);
    ini.sync();
    switch (ini.status()) {
    case QSettings::NoError: return QString();
    case QSettings::AccessError:
        return u"Не удалось записать файл %1"_s.arg(QDir::toNativeSeparators(iniPath));
    case QSettings::FormatError:
        return u"Файл %1 повреждён"_s.arg(QDir::toNativeSeparators(iniPath));
    }
    return QString();
}

RankBy readRankBy(const QString &iniPath)
{
    RankBy rankBy = RankBy::Links;
    if (QFileInfo(iniPath).isFile())
        rankByFromName(QSettings(iniPath, QSettings::IniFormat).value(RankKey).toString(),
                       &rankBy);
    return rankBy;
}

QString writeRankBy(const QString &iniPath, RankBy rankBy)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(RankKey, rankByName(rankBy));
    ini.sync();
    return ini.status() == QSettings::NoError
               ? QString()
               : u"Не удалось записать файл %1"_s.arg(QDir::toNativeSeparators(iniPath));
}
