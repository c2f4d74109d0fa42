#include "builder/settings.h"

#include "common/textfile.h"
#include "common/textlines.h"
#include "tests/support/printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(OrvellaSettings, KeepTheDictionaryPathUnderGlobal)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(u"Orvella.ini"_s);
    EXPECT_EQ(readDataBase(ini, u"/запасной.db"_s), u"/запасной.db"_s);

    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[VIEW]\nWidth=3\n[GLOBAL]\nOther=1\n");
    file.close();
    EXPECT_EQ(readDataBase(ini, u"/запасной.db"_s), u"/запасной.db"_s);

    EXPECT_EQ(writeDataBase(ini, u"/словари/русский словарь.db"_s), QString());
    EXPECT_EQ(readDataBase(ini, QString()), u"/словари/русский словарь.db"_s);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(written.contains(u"Width=3"_s)) << written.toStdString();
    EXPECT_TRUE(written.contains(u"Other=1"_s)) << written.toStdString();
    file.close();

    // An empty path is written too and read back as empty, not as the fallback.
    EXPECT_EQ(writeDataBase(ini, QString()), QString());
    EXPECT_EQ(readDataBase(ini, u"/запасной.db"_s), QString());

    // A file standing where the folder should be is reported.
    EXPECT_FALSE(writeDataBase(ini + u"/Orvella.ini"_s, u"x"_s).isEmpty());
}

TEST(OrvellaSettings, KeepTheOrderOfProposalsBesideThePath)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(u"Orvella.ini"_s);
    EXPECT_EQ(readRankBy(ini), RankBy::Links);
    EXPECT_EQ(writeDataBase(ini, u"/словарь.db"_s), QString());
    EXPECT_EQ(writeRankBy(ini, RankBy::Strength), QString());
    EXPECT_EQ(readRankBy(ini), RankBy::Strength);
    EXPECT_EQ(readDataBase(ini, QString()), u"/словарь.db"_s);
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(u"Rank=strength"_s));
    file.close();

    // A value written by hand that names no order reads as the default.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[GLOBAL]\nRank=strong\n");
    file.close();
    EXPECT_EQ(readRankBy(ini), RankBy::Links);
    EXPECT_FALSE(writeRankBy(ini + u"/Orvella.ini"_s, RankBy::Links).isEmpty());
}

TEST(DefaultDictionary, IsBesideTheProgramsElseInTheUsersDataFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", dir.filePath(u"home"_s).toUtf8());
    qputenv("XDG_DATA_DIRS", dir.filePath(u"machine"_s).toUtf8());
    const QString bin = dir.filePath(u"suite/bin"_s);
    ASSERT_TRUE(QDir().mkpath(bin));
    auto touch = [](const QString &path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    };

    EXPECT_EQ(defaultDictionaryPath(bin), QString());
    const QString machine = dir.filePath(u"machine/lexorum/lexorum-ru.sqlite"_s);
    ASSERT_TRUE(touch(machine));
    EXPECT_EQ(defaultDictionaryPath(bin), machine);
    // Where lexorum-build-dictionary writes, and Orvella looks first after its own tree.
    EXPECT_EQ(userDictionaryPath(), dir.filePath(u"home/lexorum/lexorum-ru.sqlite"_s));
    ASSERT_TRUE(touch(userDictionaryPath()));
    EXPECT_EQ(defaultDictionaryPath(bin), userDictionaryPath());
    const QString tree = dir.filePath(u"suite/data/lexorum-ru.sqlite"_s);
    ASSERT_TRUE(touch(tree));
    EXPECT_EQ(defaultDictionaryPath(bin), tree);

    qputenv("XDG_DATA_HOME", dataHome);
    qputenv("XDG_DATA_DIRS", dataDirs);
    if (dataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    if (dataDirs.isEmpty())
        qunsetenv("XDG_DATA_DIRS");
}

TEST(StandardBlackList, HoldsDistinctLowerCaseFunctionWords)
{
    const TextFileRead read =
        LoadTextFile(QStringLiteral(LEXORUM_SOURCE_DIR "/builder/black_list.dat"),
                     TextEncoding::UTF8);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.undecodable, 0);
    const QStringList words = read.lines();
    EXPECT_GE(words.size(), 300);
    EXPECT_EQ(QSet<QString>(words.begin(), words.end()).size(), words.size());
    for (const QString &word : words) {
        EXPECT_FALSE(word.isEmpty());
        EXPECT_EQ(word, toLowerSimple(word.trimmed()));
    }
    for (const QString &word : {u"и"_s, u"в"_s, u"не"_s, u"который"_s, u"чтобы"_s})
        EXPECT_TRUE(words.contains(word)) << word.toStdString();
}

} // namespace
