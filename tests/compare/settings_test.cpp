#include "compare/settings.h"

#include "tests/support/printers.h"

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
         {std::pair{"[VIEW]\nLISTS=3\n", CaseChoice::Capitalize},
          {"[AUTO_ACTIONS]\nUPPERCASE=1\nLOWERCASE=0\nCAPITALIZE=0\n", CaseChoice::Upper},
          {"[AUTO_ACTIONS]\nUPPERCASE=1\nLOWERCASE=1\nCAPITALIZE=0\n", CaseChoice::Lower},
          {"[AUTO_ACTIONS]\nUPPERCASE=0\nLOWERCASE=0\nCAPITALIZE=0\n", CaseChoice::None}})
        EXPECT_EQ(readText(ini).options.caseChoice, choice) << ini;
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
