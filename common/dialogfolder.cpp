#include "common/dialogfolder.h"

#include "common/suiteinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString programKey()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
        + QStringLiteral("/LastFolder");
}

bool isUsable(const QString &folder, bool forSaving)
{
    const QFileInfo info(folder);
    return !folder.isEmpty() && info.isDir() && (!forSaving || info.isWritable());
}

} // namespace

QString dialogFoldersFile()
{
    return userSettingsFolder() + QStringLiteral("/folders.ini");
}

QString dialogStartFolder(bool forSaving)
{
    const QSettings folders(dialogFoldersFile(), QSettings::IniFormat);
    const QString last = folders.value(programKey()).toString();
    if (isUsable(last, forSaving))
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (isUsable(documents, forSaving))
        return documents;
    return QDir::homePath();
}

void rememberDialogFolder(const QString &chosenFile)
{
    if (chosenFile.isEmpty())
        return;
    QSettings folders(dialogFoldersFile(), QSettings::IniFormat);
    folders.setValue(programKey(), QFileInfo(chosenFile).absolutePath());
}
