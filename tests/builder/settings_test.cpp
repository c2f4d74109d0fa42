#include "builder/settings.h"

#include "common/textfile.h"
#include "common/textlines.h"
#include "tests/support/printers.h"

#include <QFile>
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
