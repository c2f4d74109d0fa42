#include "compare/settings.h"

#include "tests/support/printers.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class ComparisonSettingsTest : public ::testing::Test
{
protected:
    ComparisonSettings readText(const QByteArray &ini)
    {
        // A new name each time: QSettings keeps a file it read unless its size or time changed.
        path = dir.filePath(u"Cambrel%1.ini"_s.arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(ini);
        file.close();
        return readComparisonSettings(path);
    }
    QTemporaryDir dir;
    QString path = dir.filePath(u"Cambrel.ini"_s);

private:
    int m_files = 0;
};

} // namespace

TEST_F(ComparisonSettingsTest, NoFileMeansEverythingOnAndLowerCase)
{
    const ComparisonSettings s = readComparisonSettings(path);
    EXPECT_EQ(s.listCount, 2);
    EXPECT_TRUE(s.options.trim && s.options.deleteEmptyLines && s.options.changeCase
                && s.options.sort && s.options.deleteRepeatingLines && s.options.compare);
    EXPECT_EQ(s.options.caseChoice, CaseChoice::Lower);
}

TEST_F(ComparisonSettingsTest, ListCountOutsideThreeToTenGivesTwo)
{
    for (const auto &[value, count] : {std::pair{"7", 7}, {"3", 3}, {"10", 10}, {"1", 2},
                                       {"11", 2}, {"0", 2}, {"-3", 2}, {"drei", 2}, {"", 2}})
        EXPECT_EQ(readText(QByteArray("[VIEW]\nLISTS=") + value + "\n").listCount, count) << value;
}

TEST_F(ComparisonSettingsTest, OnlyZeroSwitchesAnOptionOff)
{
    const ComparisonSettings s =
        readText("[AUTO_ACTIONS]\nTRIM=0\nDELETE_EMPTY_LINES=5\nREGISTER=x\nSORT=-1\n"
                 "DELETE_REPEATING_LINES=0\n");
    EXPECT_FALSE(s.options.trim);
    EXPECT_TRUE(s.options.deleteEmptyLines);
    EXPECT_TRUE(s.options.changeCase);
    EXPECT_TRUE(s.options.sort);
    EXPECT_FALSE(s.options.deleteRepeatingLines);
    EXPECT_TRUE(s.options.compare);  // missing
}

TEST_F(ComparisonSettingsTest, TheLastCaseKeyThatIsOnWins)
{
    for (const auto &[ini, choice] :
         {std::pair{"[AUTO_ACTIONS]\nTRIM=1\n", CaseChoice::Capitalize},
          {"[AUTO_ACTIONS]\nUPPERCASE=1\nLOWERCASE=0\nCAPITALIZE=0\n", CaseChoice::Upper},
          {"[AUTO_ACTIONS]\nUPPERCASE=1\nLOWERCASE=1\nCAPITALIZE=0\n", CaseChoice::Lower},
          {"[AUTO_ACTIONS]\nUPPERCASE=0\nLOWERCASE=0\nCAPITALIZE=0\n", CaseChoice::None}})
        EXPECT_EQ(readText(ini).options.caseChoice, choice) << ini;
}

TEST_F(ComparisonSettingsTest, AMissingSectionLeavesItsOptionsAtTheirDefaults)
{
    // A file written by hand for the service alone used to select "Первая заглавная".
    for (const char *ini : {"[SERVICE]\nURL=http://10.0.0.2:9000/words/initform.php\n",
                            "[VIEW]\nLISTS=3\n"}) {
        const ComparisonSettings s = readText(ini);
        EXPECT_EQ(s.options.caseChoice, CaseChoice::Lower) << ini;
        EXPECT_TRUE(s.options.trim && s.options.deleteEmptyLines && s.options.changeCase
                    && s.options.sort && s.options.deleteRepeatingLines && s.options.compare)
            << ini;
    }
    EXPECT_EQ(readText("[SERVICE]\nURL=http://10.0.0.2:9000/words/initform.php\n").serviceUrl,
              QUrl(u"http://10.0.0.2:9000/words/initform.php"_s));
    // An empty section is present: its keys are missing, so the last case key wins.
    EXPECT_EQ(readText("[AUTO_ACTIONS]\n").options.caseChoice, CaseChoice::Capitalize);
}

TEST_F(ComparisonSettingsTest, TheUsersFileWinsKeyByKeyOverASharedOne)
{
    const QString shared = dir.filePath(u"shared/Cambrel.ini"_s);
    QDir().mkpath(dir.filePath(u"shared"_s));
    QFile file(shared);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[VIEW]\nLISTS=5\n[AUTO_ACTIONS]\nTRIM=0\nSORT=0\nUPPERCASE=1\nLOWERCASE=0\n"
               "CAPITALIZE=0\n");
    file.close();
    // An administrator's file the program cannot write, as beside an installed program.
    file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    const QString user = dir.filePath(u"user/Cambrel.ini"_s);
    ComparisonSettings s = readComparisonSettings(QStringList{shared, user});
    EXPECT_EQ(s.listCount, 5);
    EXPECT_FALSE(s.options.trim);
    EXPECT_EQ(s.options.caseChoice, CaseChoice::Upper);

    QDir().mkpath(dir.filePath(u"user"_s));
    QFile mine(user);
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("[AUTO_ACTIONS]\nTRIM=1\nCAPITALIZE=1\n");
    mine.close();
    s = readComparisonSettings(QStringList{shared, user});
    EXPECT_TRUE(s.options.trim);    // the user's
    EXPECT_FALSE(s.options.sort);   // the administrator's
    EXPECT_EQ(s.listCount, 5);      // a section only the shared file has
    EXPECT_EQ(s.options.caseChoice, CaseChoice::Capitalize);

    // The program writes the user's file only; the shared one stays as it was.
    s.options.sort = true;
    ASSERT_EQ(writeComparisonSettings(user, s), QString());
    EXPECT_TRUE(readComparisonSettings(QStringList{shared, user}).options.sort);
    EXPECT_FALSE(readComparisonSettings(QStringList{shared}).options.sort);
}

TEST_F(ComparisonSettingsTest, WritingKeepsEveryKeyForTheNextRun)
{
    ComparisonSettings s;
    s.listCount = 4;
    s.options.sort = false;
    s.options.caseChoice = CaseChoice::Upper;
    s.serviceUrl = QUrl(u"http://words.example:81/words/initform.php"_s);
    readText("[VIEW]\nLISTS=9\n[OTHER]\nKEY=1\n");
    EXPECT_EQ(writeComparisonSettings(path, s), QString());

    QSettings ini(path, QSettings::IniFormat);
    EXPECT_EQ(ini.value(u"VIEW/LISTS"_s).toString(), u"4"_s);
    EXPECT_EQ(ini.value(u"AUTO_ACTIONS/SORT"_s).toString(), u"0"_s);
    EXPECT_EQ(ini.value(u"AUTO_ACTIONS/UPPERCASE"_s).toString(), u"1"_s);
    EXPECT_EQ(ini.value(u"AUTO_ACTIONS/LOWERCASE"_s).toString(), u"0"_s);
    EXPECT_EQ(ini.childGroups(), (QStringList{u"AUTO_ACTIONS"_s, u"SERVICE"_s, u"VIEW"_s}));

    const ComparisonSettings back = readComparisonSettings(path);
    EXPECT_EQ(back.listCount, 4);
    EXPECT_FALSE(back.options.sort);
    EXPECT_EQ(back.options.caseChoice, CaseChoice::Upper);
    EXPECT_EQ(back.serviceUrl, s.serviceUrl);
    EXPECT_NE(writeComparisonSettings(dir.path(), s), QString());  // a folder, not a file
}
