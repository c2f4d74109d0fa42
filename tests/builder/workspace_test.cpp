#include "builder/workspace.h"

#include "common/pane.h"
#include "common/textlines.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class WorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        writeBlackList("и\r\nне\r\n");
    }
    void writeBlackList(const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(u"black_list.dat"_s));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void useDictionary()
    {
        ASSERT_TRUE(m_dictionary.error().isEmpty()) << m_dictionary.error().toStdString();
        m_workspace.setDataBase(m_dictionary.path());
    }
    QStringList lines(int k) const { return splitLines(m_workspace.pane(k).text()); }
    void caretOnLine(Pane &pane, int line)
    {
        pane.setSelection(lineStartOffset(pane.text(), line), 0);
    }

    QTemporaryDir m_dir;
    MemoryPane m_thesaurus;
    MemoryPane m_found;
    MemoryPane m_blackList;
    Workspace m_workspace{m_thesaurus, m_found, m_blackList, m_dir.filePath(u"black_list.dat"_s)};
    DictionaryFile m_dictionary{TestDictionary::catsAndMice()};
};

TEST_F(WorkspaceTest, MovesTheCurrentLineAwayFromTheActivePane)
{
    m_found.setText(u"лапа\r\nхвост\r\nус\r\n"_s);
    m_thesaurus.setText(u"кот"_s);
    m_workspace.moveToThesaurus();  // the thesaurus is active: nothing moves
    EXPECT_EQ(m_thesaurus.text(), u"кот"_s);
    EXPECT_EQ(m_workspace.undoCount(), 0);

    m_workspace.enterPane(2);
    caretOnLine(m_found, 1);
    m_workspace.moveToThesaurus();
    // The word goes on a line of its own even though the thesaurus lacked a final break.
    EXPECT_EQ(m_thesaurus.text(), u"кот\r\nхвост\r\n"_s);
    EXPECT_EQ(m_found.text(), u"лапа\r\nус\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 1);
    // The next word stands at the caret, so the key can be pressed again.
    m_workspace.moveToBlackList();
    EXPECT_EQ(m_blackList.text(), u"ус\r\n"_s);
    EXPECT_EQ(m_found.text(), u"лапа\r\n"_s);

    m_workspace.enterPane(3);
    m_workspace.moveToBlackList();  // the black list is active: nothing moves
    EXPECT_EQ(m_blackList.text(), u"ус\r\n"_s);
    caretOnLine(m_blackList, 0);
    m_workspace.moveToThesaurus();
    EXPECT_EQ(lines(1), (QStringList{u"кот"_s, u"хвост"_s, u"ус"_s}));
    EXPECT_EQ(m_blackList.text(), QString());
    m_workspace.moveToThesaurus();  // no lines: nothing
    EXPECT_EQ(m_workspace.undoCount(), 3);

    m_workspace.enterPane(1);
    caretOnLine(m_thesaurus, 0);
    m_workspace.moveToBlackList();
    EXPECT_EQ(lines(3), (QStringList{u"кот"_s}));
    EXPECT_EQ(m_workspace.activePane(), 1);
}

TEST_F(WorkspaceTest, MovesLinesAsTheyStandButNeverAnEmptyOne)
{
    m_workspace.enterPane(2);
    m_found.setText(u"\r\n  \r\nКот\r\nКот\r\n"_s);
    m_workspace.moveToThesaurus();  // the empty line stays
    EXPECT_EQ(m_found.text(), u"\r\n  \r\nКот\r\nКот\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 0);
    for (int i = 0; i < 3; ++i) {
        caretOnLine(m_found, 1);
        m_workspace.moveToThesaurus();
    }
    EXPECT_EQ(lines(1), (QStringList{u"  "_s, u"Кот"_s, u"Кот"_s}));
    EXPECT_EQ(m_found.text(), u"\r\n"_s);
    // A selection over several lines still moves only the line at its start.
    m_found.setText(u"а\r\nб\r\nв\r\n"_s);
    m_found.setSelection(0, 5);
    m_workspace.moveToBlackList();
    EXPECT_EQ(m_found.text(), u"б\r\nв\r\n"_s);
    // The caret after the final break stands on no line.
    m_found.setSelection(m_found.textLength(), 0);
    m_workspace.moveToBlackList();
    EXPECT_EQ(m_found.text(), u"б\r\nв\r\n"_s);
}

TEST_F(WorkspaceTest, MovesAllFoundWordsOnALineOfTheirOwn)
{
    m_thesaurus.setText(u"кот"_s);
    m_found.setText(u"лапа\r\nхвост\r\n"_s);
    m_workspace.moveAllToThesaurus();
    EXPECT_EQ(m_thesaurus.text(), u"кот\r\nлапа\r\nхвост\r\n"_s);
    EXPECT_EQ(m_found.text(), QString());
    EXPECT_EQ(m_workspace.undoCount(), 1);

    m_blackList.setText(QString());
    m_found.setText(u"ус"_s);
    m_workspace.moveAllToBlackList();
    EXPECT_EQ(m_blackList.text(), u"ус"_s);
    m_found.setText(u"нос\r\n"_s);
    m_workspace.moveAllToBlackList();
    EXPECT_EQ(m_blackList.text(), u"ус\r\nнос\r\n"_s);
    // Nothing to move changes no pane and stores no second equal snapshot.
    m_workspace.moveAllToThesaurus();
    EXPECT_EQ(m_thesaurus.text(), u"кот\r\nлапа\r\nхвост\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 3);
}

TEST_F(WorkspaceTest, DeletesTheSelectionOrElseTheCurrentLine)
{
    m_thesaurus.setText(u"кот\r\nпёс\r\nёж\r\n"_s);
    m_thesaurus.setSelection(1, 6);  // "от", the break, "пё"
    m_workspace.deleteInThesaurus();
    EXPECT_EQ(m_thesaurus.text(), u"кс\r\nёж\r\n"_s);
    caretOnLine(m_thesaurus, 1);
    m_workspace.deleteInThesaurus();
    EXPECT_EQ(m_thesaurus.text(), u"кс\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 2);
    m_workspace.clearThesaurus();
    m_workspace.deleteInThesaurus();
    EXPECT_EQ(m_thesaurus.text(), QString());
    EXPECT_EQ(m_workspace.undoCount(), 3);
}

TEST_F(WorkspaceTest, ListOperationsActOnTheThesaurus)
{
    m_thesaurus.setText(u"б\r\nА\r\nа\r\nа\r\n\r\nПРИВЕТ МИР"_s);
    m_workspace.applyToThesaurus(Workspace::ListOperation::Sort);
    EXPECT_EQ(lines(1), (QStringList{u""_s, u"А"_s, u"ПРИВЕТ МИР"_s, u"а"_s, u"а"_s, u"б"_s}));
    m_workspace.applyToThesaurus(Workspace::ListOperation::Sort);  // unchanged: costs no step
    EXPECT_EQ(m_workspace.undoCount(), 1);
    m_workspace.applyToThesaurus(Workspace::ListOperation::DeleteRepeated);
    EXPECT_EQ(lines(1), (QStringList{u"А"_s, u"ПРИВЕТ МИР"_s, u"а"_s, u"б"_s}));
    m_workspace.applyToThesaurus(Workspace::ListOperation::Capitalize);
    EXPECT_EQ(lines(1), (QStringList{u"А"_s, u"Привет мир"_s, u"А"_s, u"Б"_s}));
    m_workspace.applyToThesaurus(Workspace::ListOperation::Reverse);
    m_workspace.applyToThesaurus(Workspace::ListOperation::Lower);
    EXPECT_EQ(m_thesaurus.text(), u"б\r\nа\r\nпривет мир\r\nа\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 5);
    EXPECT_EQ(m_workspace.copyThesaurus(), m_thesaurus.text());
    EXPECT_EQ(m_thesaurus.selLength(), m_thesaurus.textLength());
    m_workspace.Undo1Click();
    EXPECT_EQ(m_thesaurus.text(), u"Б\r\nА\r\nПривет мир\r\nА\r\n"_s);
}

TEST_F(WorkspaceTest, TheRingKeepsTwentySnapshots)
{
    EXPECT_EQ(m_workspace.undoCaption(), u"Список отмен: 0"_s);
    m_workspace.Undo1Click();
    m_workspace.Savetohistory1Click();  // the first snapshot is stored, empty panes and all
    EXPECT_EQ(m_workspace.undoCaption(), u"Список отмен: 1"_s);
    m_workspace.Undo1Click();
    EXPECT_EQ(m_workspace.undoCount(), 1);

    for (int i = 0; i < 25; ++i) {
        m_thesaurus.setText(u"слово "_s + QString::number(i));
        m_workspace.Savetohistory1Click();
    }
    EXPECT_EQ(m_workspace.undoCount(), 20);
    int steps = 0;
    for (QString before = m_thesaurus.text();; before = m_thesaurus.text()) {
        m_workspace.Undo1Click();
        if (m_thesaurus.text() == before)
            break;
        ++steps;
    }
    EXPECT_EQ(steps, 19);
    EXPECT_EQ(m_thesaurus.text(), u"слово 5"_s);
    EXPECT_EQ(m_workspace.undoCount(), 1);
}

TEST_F(WorkspaceTest, UndoAfterOpeningReturnsToTheLastSnapshot)
{
    // The thesaurus holds what once parted the panes in a snapshot.
    m_thesaurus.setText(u"кот$&%b\r\n"_s);
    m_workspace.Savetohistory1Click();
    m_blackList.setText(u"свой\r\n"_s);
    m_found.setText(u"лапа\r\n"_s);
    m_workspace.Savetohistory1Click();
    m_workspace.openThesaurus(u"пёс\r\nёж\r\n"_s, 4);
    EXPECT_EQ(m_found.text(), QString());
    EXPECT_EQ(m_blackList.text(), u"и\r\nне\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 2);
    EXPECT_EQ(m_workspace.saveEncoding(), 4);

    m_workspace.Undo1Click();
    EXPECT_EQ(m_thesaurus.text(), u"кот$&%b\r\n"_s);
    EXPECT_EQ(m_found.text(), u"лапа\r\n"_s);
    EXPECT_EQ(m_blackList.text(), u"свой\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 2);
    m_workspace.Undo1Click();
    EXPECT_EQ(m_found.text(), QString());
    EXPECT_EQ(m_workspace.undoCount(), 1);
}

TEST_F(WorkspaceTest, CountsShowLinesAndTheCurrentFoundWord)
{
    m_thesaurus.setText(u"а\r\nб\r\n"_s);
    m_found.setText(u"лапа\r\nхвост"_s);
    EXPECT_EQ(m_workspace.paneCaption(1), u"Тезаурус (2)"_s);
    EXPECT_EQ(m_workspace.paneCaption(2), u"Найденные слова (2)"_s);
    EXPECT_EQ(m_workspace.paneCaption(3), u"Чёрный список (0)"_s);
    caretOnLine(m_found, 1);
    EXPECT_EQ(m_workspace.wordDisplay(), u"хвост"_s);
    m_workspace.newThesaurus();
    EXPECT_EQ(m_workspace.wordDisplay(), QString());
    EXPECT_EQ(m_thesaurus.text(), QString());
    EXPECT_EQ(m_workspace.paneCaption(3), u"Чёрный список (2)"_s);
}

TEST_F(WorkspaceTest, LoadsTheStandardBlackList)
{
    QSignalSpy failures(&m_workspace, &Workspace::commandFailed);
    writeBlackList(QByteArray::fromHex("efbbbf") + "и\nили\n");
    m_blackList.setText(u"моё\r\n"_s);
    EXPECT_TRUE(m_workspace.LoadBlackList1Click());
    EXPECT_EQ(m_blackList.text(), u"и\r\nили\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 0);

    QFile::remove(m_dir.filePath(u"black_list.dat"_s));
    m_blackList.setText(u"моё\r\n"_s);
    m_workspace.newThesaurus();
    EXPECT_EQ(m_blackList.text(), u"моё\r\n"_s);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0][0].toString(), u"Файл 'black_list.dat' не найден!"_s);
}

TEST_F(WorkspaceTest, FindsAndReplacesInTheActivePane)
{
    m_blackList.setText(u"кот\r\nскот\r\nкот"_s);
    m_workspace.enterPane(3);
    FindOptions options;
    options.text = u"кот"_s;
    options.wholeWord = true;
    EXPECT_FALSE(m_workspace.find(options).beep);
    EXPECT_EQ(m_blackList.selStart(), 0);
    m_workspace.find(options);
    EXPECT_EQ(m_blackList.selStart(), 11);
    m_workspace.find(options);
    EXPECT_EQ(m_blackList.selStart(), 0);
    options.replacement = u"пёс"_s;
    EXPECT_EQ(m_workspace.replaceAll(options).message, u"Произведено замен: 2"_s);
    EXPECT_EQ(m_blackList.text(), u"пёс\r\nскот\r\nпёс"_s);
    EXPECT_EQ(m_thesaurus.text(), QString());
}

TEST_F(WorkspaceTest, ASearchFillsTheFoundWordsAndRecordsASnapshot)
{
    useDictionary();
    QSignalSpy started(&m_workspace, &Workspace::searchStarted);
    QSignalSpy ended(&m_workspace, &Workspace::searchEnded);
    QSignalSpy progress(&m_workspace, &Workspace::searchProgressChanged);
    m_workspace.LoadBlackList1Click();
    m_thesaurus.setText(u"Кошка\r\n"_s);
    m_found.setText(u"старое\r\n"_s);
    m_workspace.Savetohistory1Click();
    ASSERT_TRUE(m_workspace.startSearch(Workspace::Search::RelatedWords));
    EXPECT_TRUE(m_workspace.isSearching());
    m_workspace.waitForSearches();
    EXPECT_FALSE(m_workspace.isSearching());
    // "и" is a neighbour too, but the black list holds it.
    EXPECT_EQ(m_found.text(), u"ловить\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 2);
    EXPECT_EQ(m_workspace.activePane(), 2);
    EXPECT_EQ(m_found.focusCount(), 1);
    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(ended.size(), 1);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last()[0].toInt(), 100);

    // Starting the other search waits for the running one.
    m_thesaurus.setText(u"кошка\r\n"_s);
    ASSERT_TRUE(m_workspace.startSearch(Workspace::Search::RelatedWords));
    ASSERT_TRUE(m_workspace.startSearch(Workspace::Search::LinkedWords));
    m_workspace.waitForSearches();
    EXPECT_EQ(ended.size(), 3);
    // The words between "собака" and "ловить" besides the cat itself.
    EXPECT_EQ(m_found.text(), u"мышь\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 4);
}

TEST_F(WorkspaceTest, SearchesInTheOrderChosenBeforeTheStart)
{
    useDictionary();
    QSignalSpy failed(&m_workspace, &Workspace::commandFailed);
    // кошки seeds кошка, which comes back ranked by links only.
    m_thesaurus.setText(u"кошки\r\n"_s);
    ASSERT_TRUE(m_workspace.startSearch(Workspace::Search::LinkedWords));
    m_workspace.waitForSearches();
    EXPECT_EQ(m_found.text(), u"мышь\r\nкошка\r\n"_s);
    m_workspace.setRankBy(RankBy::Strength);
    ASSERT_TRUE(m_workspace.startSearch(Workspace::Search::LinkedWords));
    m_workspace.waitForSearches();
    EXPECT_EQ(m_found.text(), u"мышь\r\n"_s);
    // This dictionary has no word frequencies: the related search says so.
    ASSERT_TRUE(m_workspace.startSearch(Workspace::Search::RelatedWords));
    m_workspace.waitForSearches();
    ASSERT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed.first()[0].toString().contains(u"lexemes"_s));
    EXPECT_EQ(m_found.text(), u"мышь\r\n"_s);
}

TEST_F(WorkspaceTest, ClosingDuringASearchLeavesThePanesAlone)
{
    MemoryPane thesaurus(u"кошка\r\n"_s);
    MemoryPane found(u"старое\r\n"_s);
    MemoryPane blackList;
    {
        Workspace closing(thesaurus, found, blackList, QString());
        closing.setDataBase(m_dictionary.path());
        ASSERT_TRUE(closing.startSearch(Workspace::Search::RelatedWords));
    }
    EXPECT_EQ(found.text(), u"старое\r\n"_s);
    EXPECT_EQ(found.focusCount(), 0);
}

TEST_F(WorkspaceTest, AMissingDictionaryStartsNoSearch)
{
    EXPECT_TRUE(m_workspace.dictionaryMissing());
    EXPECT_EQ(m_workspace.acceptDataBase(m_dir.filePath(u"нет.db"_s)), fileNotFoundMessage());
    EXPECT_EQ(m_workspace.acceptDataBase(m_dir.path()), fileNotFoundMessage());
    EXPECT_EQ(m_workspace.dataBase(), QString());
    m_workspace.setDataBase(m_dir.filePath(u"нет.db"_s));
    QSignalSpy failures(&m_workspace, &Workspace::commandFailed);
    QSignalSpy started(&m_workspace, &Workspace::searchStarted);
    m_found.setText(u"старое\r\n"_s);
    EXPECT_FALSE(m_workspace.startSearch(Workspace::Search::LinkedWords));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0][0].toString().startsWith(
        u"Ошибка подключения к базе данных. Файл «%1» не найден."_s.arg(
            m_dir.filePath(u"нет.db"_s))));
    EXPECT_EQ(started.size(), 0);
    EXPECT_EQ(m_found.text(), u"старое\r\n"_s);
    // With no view shown a click asks nothing of the dictionary.
    m_thesaurus.setText(u"кот\r\n"_s);
    m_workspace.clickPane(1);
    EXPECT_EQ(m_workspace.currentWord(), u"кот"_s);
    EXPECT_EQ(failures.size(), 1);
    m_workspace.setWordFormViewShown(true);
    m_workspace.clickPane(1);
    EXPECT_EQ(failures.size(), 2);
    EXPECT_EQ(m_workspace.acceptDataBase(m_dictionary.path()), QString());
    EXPECT_FALSE(m_workspace.dictionaryMissing());
}

TEST_F(WorkspaceTest, AChosenFileMustBeADictionary)
{
    useDictionary();
    const QString text = m_dir.filePath(u"слова.txt"_s);
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("кот\nпёс\n");
    file.close();
    EXPECT_TRUE(m_workspace.acceptDataBase(text).contains(QDir::toNativeSeparators(text)));
    const QString project =
        writeDatabase(m_dir.filePath(u"проект.db"_s),
                      "create table Data (id integer primary key, name text, data text);");
    EXPECT_EQ(m_workspace.acceptDataBase(project), u"В словаре нет таблицы forms"_s);
    const QString noProps = writeDatabase(
        m_dir.filePath(u"старый.db"_s),
        "create table forms (id integer primary key, word text, initform_id integer);");
    EXPECT_EQ(m_workspace.acceptDataBase(noProps), u"В таблице forms словаря нет столбца props"_s);
    EXPECT_EQ(m_workspace.dataBase(), m_dictionary.path());  // kept through every refusal
}

TEST_F(WorkspaceTest, ABlackListThatIsNotTextIsReportedAndNotLoaded)
{
    QSignalSpy failures(&m_workspace, &Workspace::commandFailed);
    m_blackList.setText(u"моё\r\n"_s);
    writeBlackList(QByteArray::fromHex("ff00fe9101") + "и\n");
    EXPECT_FALSE(m_workspace.LoadBlackList1Click());
    writeBlackList(QByteArray("SQLite format 3\0", 16) + "и\n");
    EXPECT_FALSE(m_workspace.LoadBlackList1Click());
    EXPECT_EQ(m_blackList.text(), u"моё\r\n"_s);
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(failures[0][0].toString().contains(u"UTF-8"_s)) << failures[0][0].toString().toStdString();
    EXPECT_TRUE(failures[1][0].toString().contains(u"нулевые байты"_s));
}

TEST_F(WorkspaceTest, AClickRefreshesTheShownViews)
{
    useDictionary();
    m_workspace.setNgramViewShown(true);
    m_workspace.setWordFormViewShown(true);
    m_thesaurus.setText(u"мышь\r\nКошки\r\n"_s);
    caretOnLine(m_thesaurus, 1);
    m_workspace.clickPane(1);
    EXPECT_EQ(m_workspace.currentWord(), u"Кошки"_s);
    EXPECT_EQ(m_workspace.wordFormView().text(), u"кошка\r\nкошки\r\n"_s);
    EXPECT_EQ(m_workspace.wordFormView().statusText(), u"Словоформ: 2"_s);
    const NgramView &view = m_workspace.ngramView();
    EXPECT_EQ(view.grid(0).caption, u"Биграммы справа (2)"_s);
    EXPECT_EQ(view.grid(1).caption, u"Биграммы слева (0)"_s);
    EXPECT_EQ(view.grid(2).caption, u"Триграммы (1)"_s);

    // A click while a search holds the connection is served when the search ends.
    ASSERT_TRUE(m_workspace.startSearch(Workspace::Search::RelatedWords));
    caretOnLine(m_thesaurus, 0);
    m_workspace.clickPane(1);
    EXPECT_EQ(m_workspace.wordFormView().statusText(), u"Словоформ: 2"_s);
    m_workspace.waitForSearches();
    EXPECT_EQ(m_workspace.wordFormView().text(), u"мышь\r\n"_s);
    EXPECT_EQ(view.grid(1).caption, u"Биграммы слева (1)"_s);
}

TEST_F(WorkspaceTest, ExpandsAndReducesTheThesaurus)
{
    useDictionary();
    m_thesaurus.setText(u"кошки\r\nкошка\r\nслон\r\n"_s);
    m_workspace.generateWordForms();
    EXPECT_EQ(lines(1), (QStringList{u"кошка"_s, u"кошки"_s, u"кошка"_s, u"кошки"_s}));
    EXPECT_EQ(m_workspace.undoCount(), 1);

    m_thesaurus.setText(u"кошки\r\nслон\r\nловит\r\nКошки\r\n"_s);
    m_workspace.reduceToInitialForms();
    EXPECT_EQ(lines(1), (QStringList{u"кошка"_s, u"слон"_s, u"ловить"_s, u"Кошки"_s}));
    EXPECT_EQ(m_workspace.undoCount(), 1);

    m_workspace.addInitialFormOf(u"ловит"_s);
    m_workspace.addInitialFormOf(u"1"_s);  // a frequency cell is no word
    EXPECT_EQ(lines(1).last(), u"ловить"_s);
    EXPECT_EQ(lines(1).size(), 5);
    EXPECT_EQ(m_workspace.currentWord(), u"1"_s);
}

TEST_F(WorkspaceTest, ReplacesTheCurrentLineOfTheActivePaneByAForm)
{
    m_blackList.setText(u"а\r\nб\r\nв"_s);
    m_workspace.enterPane(3);
    caretOnLine(m_blackList, 1);
    m_workspace.replaceActiveLine(u"кошки"_s);
    EXPECT_EQ(m_blackList.text(), u"а\r\nкошки\r\nв"_s);
    caretOnLine(m_blackList, 2);
    m_workspace.replaceActiveLine(u"мышь"_s);
    EXPECT_EQ(m_blackList.text(), u"а\r\nкошки\r\nмышь"_s);
    m_workspace.enterPane(1);
    m_workspace.replaceActiveLine(u"кот"_s);
    EXPECT_EQ(m_thesaurus.text(), u"кот\r\n"_s);
    EXPECT_EQ(m_workspace.undoCount(), 0);
}

} // namespace
