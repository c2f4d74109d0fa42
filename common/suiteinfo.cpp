#include "common/suiteinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
// The maker's site, scheme and host, e.g. "https://www.example.org". It is not settled
// yet: while it is empty the suite shows no web link and opens its local help instead.
const char MakerHost[] = "";
}

QString suiteVersion()
{
    return QStringLiteral(LEXORUM_VERSION);
}

QUrl makerSite(const QString &path)
{
    return QUrl(QString::fromLatin1(MakerHost) + path);
}

bool hasMakerSite()
{
    // Names under .example are reserved: none of them is ever anyone's site.
    const QString host = QUrl(QString::fromLatin1(MakerHost)).host();
    return !host.isEmpty() && !host.endsWith(QStringLiteral(".example"));
}

QUrl makerPage(const QString &path, const QString &helpFileName)
{
    return hasMakerSite() ? makerSite(path) : QUrl::fromLocalFile(suiteDataFile(helpFileName));
}

QString CurPath()
{
    return QCoreApplication::applicationDirPath();
}

QString besideExecutable(const QString &fileName)
{
    return CurPath() + u'/' + fileName;
}

QString suiteDataDirectory(const QString &programDirectory)
{
    const QString installed =
        QDir::cleanPath(programDirectory + u'/' + QStringLiteral(LEXORUM_DATA_FROM_BIN));
    return QFileInfo(installed).isDir() ? installed : programDirectory;
}

QString suiteDataFile(const QString &fileName)
{
    return suiteDataDirectory(CurPath()) + u'/' + fileName;
}

QString settingsFilePath(const QString &fileName)
{
    return settingsFilePath(fileName, CurPath());
}

QString settingsFilePath(const QString &fileName, const QString &programDirectory)
{
    const QString beside = programDirectory + u'/' + fileName;
    const QFileInfo file(beside);
    const QFileInfo dir(programDirectory);
    // bin/ of an installed suite is the machine's, even where the user may write to it.
    const bool portable = suiteDataDirectory(programDirectory) == programDirectory;
    if (portable && (file.exists() ? file.isWritable() : dir.isWritable()))
        return beside;
    return userSettingsFolder() + u'/' + fileName;
}

QString userSettingsFolder()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/lexorum");
    QDir().mkpath(folder);
    return folder;
}

QStringList settingsReadOrder(const QString &writePath)
{
    const QString beside = besideExecutable(QFileInfo(writePath).fileName());
    if (QFileInfo(writePath).absoluteFilePath() != QFileInfo(beside).absoluteFilePath()
        && QFileInfo(beside).isFile())
        return {beside, writePath};
    return {writePath};
}
