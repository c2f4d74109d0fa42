#include "common/suiteinfo.h"

#include "tests/support/printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

TEST(SuiteInfo, NoLinkLeadsToTheReservedHost)
{
    ASSERT_FALSE(hasMakerSite());
    const QUrl page = makerPage(u"/products/lexorum/help/orvella/"_s, u"Orvella.html"_s);
    EXPECT_EQ(page, QUrl::fromLocalFile(besideExecutable(u"Orvella.html"_s)));
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
