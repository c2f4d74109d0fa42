#include "common/suiteinfo.h"

#include "common/dialogfolder.h"
#include "tests/support/printers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

TEST(SuiteInfo, NoLinkLeadsToAnUnsettledHost)
{
    ASSERT_FALSE(hasMakerSite());
    const QUrl page = makerPage(u"/products/lexorum/help/orvella/"_s, u"Orvella.html"_s);
    EXPECT_EQ(page, QUrl::fromLocalFile(suiteDataFile(u"Orvella.html"_s)));
}

TEST(SuiteInfo, ASharedFileBesideTheProgramIsReadUnderTheUsersFile)
{
    // A name of this test's own, so that no other test sees the file beside the program.
    const QString name = u"ReadOrder%1.ini"_s.arg(getpid());
    const QString beside = besideExecutable(name);
    QTemporaryDir user;
    const QString mine = user.filePath(name);
    EXPECT_EQ(settingsReadOrder(mine), QStringList{mine});
    QFile shared(beside);
    ASSERT_TRUE(shared.open(QIODevice::WriteOnly));
    shared.close();
    EXPECT_EQ(settingsReadOrder(mine), (QStringList{beside, mine}));
    // A program that writes beside itself reads that one file.
    EXPECT_EQ(settingsReadOrder(beside), QStringList{beside});
    QFile::remove(beside);
}

TEST(DialogFolder, StartsInDocumentsThenWhereTheUserLastWas)
{
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(dialogFoldersFile());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    EXPECT_EQ(dialogStartFolder(false), documents);
    EXPECT_EQ(dialogStartFolder(true), documents);
    // Never the program's own folder merely because the program runs from there.
    EXPECT_NE(dialogStartFolder(true), CurPath());

    QTemporaryDir dir;
    rememberDialogFolder(dir.filePath(u"список.txt"_s));
    EXPECT_EQ(dialogStartFolder(false), dir.path());
    EXPECT_EQ(dialogStartFolder(true), dir.path());
    // Cancelling a dialog keeps the folder.
    rememberDialogFolder(QString());
    EXPECT_EQ(dialogStartFolder(false), dir.path());

    // A folder that went away, or one a save cannot write in, gives documents again.
    if (geteuid() != 0) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(dialogStartFolder(false), dir.path());
        EXPECT_EQ(dialogStartFolder(true), documents);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    dir.remove();
    EXPECT_EQ(dialogStartFolder(false), documents);
    QFile::remove(dialogFoldersFile());
    QStandardPaths::setTestModeEnabled(false);
}

TEST(SuiteDataDirectory, IsShareLexorumBesideBinElseTheProgramFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir root(dir.path());

    // A portable folder (and the build tree): the files lie beside the programs.
    ASSERT_TRUE(root.mkpath(u"portable"_s));
    EXPECT_EQ(suiteDataDirectory(dir.filePath(u"portable"_s)), dir.filePath(u"portable"_s));

    // The GNU layout, under any prefix.
    ASSERT_TRUE(root.mkpath(u"usr/bin"_s) && root.mkpath(u"usr/share/lexorum"_s));
    EXPECT_EQ(suiteDataDirectory(dir.filePath(u"usr/bin"_s)),
              dir.filePath(u"usr/share/lexorum"_s));

    // A file of that name is no data folder.
    ASSERT_TRUE(root.mkpath(u"odd/bin"_s) && root.mkpath(u"odd/share"_s));
    QFile file(dir.filePath(u"odd/share/lexorum"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(suiteDataDirectory(dir.filePath(u"odd/bin"_s)), dir.filePath(u"odd/bin"_s));
}

// Root may write to /usr/bin; Orvella.ini must still not land there.
TEST(SettingsFilePath, IsBesideAPortableFolderElseInTheUsersConfiguration)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir root(dir.path());
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath(u"config"_s).toUtf8());
    const QString configured = dir.filePath(u"config/lexorum/Orvella.ini"_s);

    ASSERT_TRUE(root.mkpath(u"portable"_s));
    EXPECT_EQ(settingsFilePath(u"Orvella.ini"_s, dir.filePath(u"portable"_s)),
              dir.filePath(u"portable/Orvella.ini"_s));
    ASSERT_TRUE(root.mkpath(u"usr/bin"_s) && root.mkpath(u"usr/share/lexorum"_s));
    EXPECT_EQ(settingsFilePath(u"Orvella.ini"_s, dir.filePath(u"usr/bin"_s)), configured);
    EXPECT_TRUE(QFileInfo(QFileInfo(configured).path()).isDir());

    qputenv("XDG_CONFIG_HOME", configHome);
    if (configHome.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
}
