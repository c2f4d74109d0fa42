#include "common/suiteinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
// The maker's host is not settled yet; a reserved name keeps the links from
// reaching anyone else's site until it is.
const char MakerHost[] = "https://www.lexorum.example";
}

QString suiteVersion()
{
    return QStringLiteral(LEXORUM_VERSION);
}

QUrl makerSite(const QString &path)
{
    return QUrl(QString::fromLatin1(MakerHost) + path);
}

QString CurPath()
{
    return QCoreApplication::applicationDirPath();
}

QString besideExecutable(const QString &fileName)
{
    return CurPath() + u'/' + fileName;
}

QString settingsFilePath(const QString &fileName)
{
    const QString beside = besideExecutable(fileName);
    const QFileInfo file(beside);
    const QFileInfo dir(CurPath());
    if (file.exists() ? file.isWritable() : dir.isWritable())
        return beside;
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/lexorum");
    QDir().mkpath(folder);
    return folder + u'/' + fileName;
}
