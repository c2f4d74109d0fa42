#include "compare/workspace.h"

#include "common/findreplace.h"
#include "common/pane.h"
#include "common/textlines.h"
#include "tests/compare/workspacepanes.h"
#include "tests/support/printers.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr BoxId Merged{BoxId::Merged};
constexpr BoxId Common{BoxId::Common};
constexpr BoxId ListWindow{BoxId::ListWindow};

BoxId source(int i) { return {i, BoxKind::Source}; }
BoxId unique(int i) { return {i, BoxKind::Unique}; }
BoxId absent(int i) { return {i, BoxKind::Absent}; }
BoxId shared(int i) { return {i, BoxKind::Shared}; }

class ComparisonWorkspaceTest : public ::testing::Test
{
protected:
    ComparisonWorkspaceTest()
    {
        WorkspacePanes panes;
        for (int i = 0; i < ComparisonWorkspace::MaxLists; ++i) {
            panes.source[i] = &m_source[i];
            panes.unique[i] = &m_unique[i];
            panes.absent[i] = &m_absent[i];
            panes.shared[i] = &m_shared[i];
        }
        panes.common = &m_common;
        panes.merged = &m_merged;
        panes.listWindow = &m_listWindow;
        workspace = std::make_unique<ComparisonWorkspace>(panes);
        QObject::connect(workspace.get(), &ComparisonWorkspace::countsRefreshed,
                         [this](const CountRefreshTexts &texts) { counts = texts; });
    }

    QString text(const BoxId &box) const { return workspace->pane(box).text(); }
    /// Puts text into a box as a user would.
    void type(const BoxId &box, const QString &text) { workspace->pane(box).setText(text); }
    /// Clicks into a box with the caret at offset.
    void click(const BoxId &box, int offset)
    {
        workspace->focusBox(box);
        workspace->pane(box).setSelection(offset, 0);
    }
    static QList<LoadedList> files(int count)
    {
        QList<LoadedList> list;
        for (int f = 1; f <= count; ++f)
            list.append({u"list%1.txt"_s.arg(f), u"общее\r\nслово%1\r\n"_s.arg(f)});
        return list;
    }

    std::array<MemoryPane, 10> m_source, m_unique, m_absent, m_shared;
    MemoryPane m_common, m_merged, m_listWindow;
    std::unique_ptr<ComparisonWorkspace> workspace;
    CountRefreshTexts counts;
};

} // namespace

TEST_F(ComparisonWorkspaceTest, OpeningTakesAtMostTenFilesAndComparesThem)
{
    workspace->openFiles(files(12));
    EXPECT_EQ(workspace->listCount(), 10);
    EXPECT_EQ(workspace->name(10), u"list10.txt"_s);
    EXPECT_EQ(text(source(10)), u"общее\r\nслово10\r\n"_s);
    EXPECT_EQ(text(Common), u"общее\r\n"_s);
    EXPECT_EQ(text(unique(3)), u"слово3\r\n"_s);
    EXPECT_EQ(lineCount(text(Merged)), 11);
    EXPECT_EQ(counts.merged, u"Объединённый список (11)"_s);
    EXPECT_EQ(workspace->currentBox(), source(10));

    // One file gives two lists, and the slots beyond lose their lists and names.
    workspace->openFiles(files(1));
    EXPECT_EQ(workspace->listCount(), 2);
    EXPECT_EQ(text(source(3)), QString());
    EXPECT_EQ(text(unique(3)), QString());
    EXPECT_EQ(workspace->name(3), QString());
    EXPECT_EQ(workspace->name(2), u"list2.txt"_s);  // slot 2 keeps what it held
    EXPECT_EQ(counts.source[0], u"Список 1 (2)"_s);
}

TEST_F(ComparisonWorkspaceTest, OpeningRunsTheAutomaticActions)
{
    workspace->openFiles({{u"a.txt"_s, u"  b\r\na\r\n\r\na\r\nB\r\n"_s}});
    EXPECT_EQ(text(source(1)), u"a\r\nb\r\n"_s);

    AutoActionOptions options;
    options.sort = false;
    options.compare = false;
    options.caseChoice = CaseChoice::Upper;
    workspace->setOptions(options);
    workspace->openFiles({{u"a.txt"_s, u"  b\r\na\r\n\r\na\r\nB\r\n"_s}});
    EXPECT_EQ(text(source(1)), u"B\r\nA\r\nB\r\n"_s);
    EXPECT_EQ(text(Merged), u"a\r\nb\r\n"_s);  // not compared again
    EXPECT_EQ(counts.source[0], u"Список 1 (3)"_s);

    // Opening into a result box leaves the slot alone.
    workspace->setOptions({});
    workspace->openFiles(files(2));
    options = {};
    options.compare = false;
    workspace->setOptions(options);
    workspace->focusBox(absent(1));
    workspace->openIntoCurrent({u"new.txt"_s, u"Я\r\n"_s});
    EXPECT_EQ(text(absent(1)), u"я\r\n"_s);
    EXPECT_EQ(text(unique(1)), u"слово1\r\n"_s);
    EXPECT_EQ(workspace->name(1), u"list1.txt"_s);

    workspace->focusBox(source(1));
    workspace->openIntoCurrent({u"new.txt"_s, u"Я\r\n"_s});
    EXPECT_EQ(text(unique(1)), QString());
    EXPECT_EQ(workspace->name(1), u"new.txt"_s);
    EXPECT_EQ(counts.source[0], u"Список 1 (1)"_s);
}

TEST_F(ComparisonWorkspaceTest, LoweringTheListCountEmptiesTheDroppedSlotsAndTheirBoxes)
{
    workspace->setListCount(4);
    type(source(4), u"x\r\n"_s);
    type(shared(3), u"y\r\n"_s);
    workspace->setName(3, u"три"_s);
    workspace->setListCount(2);
    workspace->setListCount(4);
    EXPECT_EQ(text(source(4)), QString());
    EXPECT_EQ(text(shared(3)), QString());
    EXPECT_EQ(workspace->name(3), QString());
    EXPECT_EQ(workspace->displayName(3), u"Список 3"_s);
    workspace->setListCount(11);
    EXPECT_EQ(workspace->listCount(), 10);

    // A current box beyond the lists left falls back to list 1.
    workspace->setListCount(5);
    type(unique(1), u"один\r\n"_s);
    type(unique(5), u"пять\r\n"_s);
    workspace->focusBox(unique(5));
    workspace->setListCount(3);
    workspace->clear();
    EXPECT_EQ(workspace->currentBox(), unique(1));
    EXPECT_EQ(text(unique(1)), QString());

    // The lone boxes set only the index: the kind comes back with the next slot.
    workspace->focusBox(Merged);
    EXPECT_EQ(workspace->currentBox(), Merged);
    workspace->focusBox({2, BoxKind::Absent});
    workspace->focusBox(Common);
    EXPECT_EQ(workspace->currentSourceSlot(), 1);
}

TEST_F(ComparisonWorkspaceTest, ClearingASourceEmptiesItsResultsToo)
{
    workspace->openFiles(files(3));
    workspace->focusBox(unique(2));
    workspace->clear();
    EXPECT_EQ(text(unique(2)), QString());
    EXPECT_EQ(text(source(2)), u"общее\r\nслово2\r\n"_s);
    EXPECT_NE(text(absent(2)), QString());

    workspace->focusBox(source(2));
    workspace->clear();
    EXPECT_EQ(text(source(2)), QString());
    EXPECT_EQ(text(absent(2)), QString());
    EXPECT_EQ(text(shared(2)), QString());
    EXPECT_EQ(text(unique(1)), u"слово1\r\n"_s);
    EXPECT_EQ(counts.source[1], u"Список 2 (0)"_s);
}

TEST_F(ComparisonWorkspaceTest, ClipboardFindAndReplaceActOnTheCurrentBox)
{
    type(source(1), u"а\r\nб\r\n"_s);
    click(source(1), 3);
    EXPECT_EQ(workspace->copyText(), u"а\r\nб\r\n"_s);
    EXPECT_EQ(m_source[0].selLength(), 6);
    click(source(1), 0);
    workspace->paste(u"в\nг"_s);
    EXPECT_EQ(text(source(1)), u"в\r\nг"_s);
    EXPECT_EQ(counts.source[0], u"Список 1 (2)"_s);
    EXPECT_EQ(workspace->cutText(), u"в\r\nг"_s);
    EXPECT_EQ(text(source(1)), QString());

    // Find and replace walk the current box.
    type(source(2), u"кот\r\nкот\r\n"_s);
    click(source(2), 0);
    FindOptions options;
    options.text = u"кот"_s;
    options.replacement = u"пёс"_s;
    EXPECT_EQ(workspace->find(options).message, QString());
    EXPECT_EQ(m_source[1].selLength(), 3);
    EXPECT_EQ(workspace->replaceAll(options).message, replacedMessage(2));
    EXPECT_EQ(workspace->boxText(source(2)), u"пёс\r\nпёс\r\n"_s);
}

TEST_F(ComparisonWorkspaceTest, DeleteRecordDropsEveryEqualLineHereOrEverywhere)
{
    type(source(1), u"x\r\ny\r\nx\r\n"_s);
    click(source(1), 0);
    workspace->deleteRecord();
    EXPECT_EQ(text(source(1)), u"y\r\n"_s);

    // A caret past the last line stands on no line: nothing is deleted.
    type(source(1), u"\r\ny\r\n"_s);
    click(source(1), 5);
    workspace->deleteRecord();
    EXPECT_EQ(text(source(1)), u"\r\ny\r\n"_s);
    click(source(1), 0);
    workspace->deleteRecord();
    EXPECT_EQ(text(source(1)), u"y\r\n"_s);

    // Deleting everywhere visits the boxes in use.
    workspace->setListCount(3);
    type(source(1), u"кот\r\nпёс\r\n"_s);
    type(source(2), u"кот\r\n"_s);
    workspace->BitBtn1Click();
    workspace->setListWindowShown(true);
    click(source(2), 0);
    workspace->focusBox(ListWindow);
    workspace->pane(ListWindow).setSelection(0, 0);
    workspace->deleteEverywhere();
    EXPECT_EQ(text(source(1)), u"пёс\r\n"_s);
    EXPECT_EQ(text(source(2)), QString());
    EXPECT_EQ(text(Merged), u"пёс\r\n"_s);
    EXPECT_EQ(text(absent(3)), u"пёс\r\n"_s);
    EXPECT_EQ(text(ListWindow), u"кот\r\n"_s);  // the list window's copy is not a list in use
}

TEST_F(ComparisonWorkspaceTest, ReplaceEverywhereChangesWholeLinesOnly)
{
    workspace->openFiles({{u"1"_s, u"кот\r\nкот и пёс\r\n"_s}, {u"2"_s, u"кот\r\nёж\r\n"_s}});
    workspace->focusBox(source(1));
    EXPECT_EQ(workspace->startReplaceEverywhere(), u"кот"_s);
    EXPECT_EQ(workspace->replaceEverywhere(u"кот"_s, u"пёс"_s), u"Выполнено замен: 4"_s);
    EXPECT_EQ(text(source(1)), u"пёс\r\nкот и пёс\r\n"_s);
    EXPECT_EQ(text(Common), u"пёс\r\n"_s);
    EXPECT_EQ(text(Merged), u"пёс\r\nкот и пёс\r\nёж\r\n"_s);
    EXPECT_EQ(workspace->replaceEverywhere(u"нет"_s, u"да"_s), u"Выполнено замен: 0"_s);
}

TEST_F(ComparisonWorkspaceTest, HighlightingMarksTheBoxesHoldingTheCaretLine)
{
    workspace->openFiles({{u"1"_s, u"а\r\nб\r\n"_s}, {u"2"_s, u"б\r\nв\r\n"_s}});
    click(unique(1), 0);  // "а"
    const Highlighting h = workspace->N93Click();
    ASSERT_EQ(h.shades.size(), 10u);
    auto shadeOf = [&](const BoxId &box) {
        for (const auto &[id, shade] : h.shades)
            if (id == box)
                return shade;
        return BoxShade::Current;
    };
    EXPECT_EQ(shadeOf(Merged), BoxShade::Holding);
    EXPECT_EQ(shadeOf(Common), BoxShade::Lacking);
    EXPECT_EQ(shadeOf(source(1)), BoxShade::Holding);
    EXPECT_EQ(shadeOf(unique(1)), BoxShade::Current);
    EXPECT_EQ(shadeOf(absent(2)), BoxShade::Holding);
    EXPECT_EQ(shadeOf(source(2)), BoxShade::Lacking);

    // An edit the window reports is seen by the next click.
    type(source(2), u"в\r\nа"_s);
    EXPECT_EQ(workspace->N93Click().shades[6].second, BoxShade::Holding);
}

TEST(TextHoldsLine, MatchesWholeLinesBetweenBreaks)
{
    // A final break opens no line.
    for (const auto &[text, line, holds] :
         {std::tuple{u"кот"_s, u"кот"_s, true}, {u"кот\r\n"_s, u"кот"_s, true},
          {u"а\r\nкот"_s, u"кот"_s, true}, {u"а\r\nкот\r\nб"_s, u"кот"_s, true},
          {u"коты\r\nкот \r\nскот"_s, u"кот"_s, false}, {QString(), QString(), false},
          {u"а\r\n"_s, QString(), false}, {u"\r\nа"_s, QString(), true},
          {u"а\r\n\r\nб"_s, QString(), true}})
        EXPECT_EQ(textHoldsLine(text, line), holds) << text.toStdString();
}

TEST_F(ComparisonWorkspaceTest, ProcessingChangesOnlyTheCurrentBox)
{
    type(source(1), u"б\r\nа\r\n"_s);
    type(source(2), u"д\r\nг\r\n"_s);
    workspace->focusBox(source(1));
    EXPECT_EQ(text(ListWindow), QString());  // hidden: not refreshed
    workspace->setListWindowShown(true);
    EXPECT_EQ(text(ListWindow), u"б\r\nа\r\n"_s);
    workspace->focusBox(source(2));
    workspace->process(ProcessingCommand::Sort);
    EXPECT_EQ(text(source(2)), u"г\r\nд\r\n"_s);
    EXPECT_EQ(text(source(1)), u"б\r\nа\r\n"_s);
    EXPECT_EQ(text(ListWindow), u"г\r\nд\r\n"_s);

    // Commands in the list window change its copy, not the box it came from.
    workspace->focusBox(ListWindow);
    workspace->process(ProcessingCommand::UpperCase);
    EXPECT_EQ(text(ListWindow), u"Г\r\nД\r\n"_s);
    EXPECT_EQ(text(source(2)), u"г\r\nд\r\n"_s);
}

TEST(ComparisonWorkspace, OpeningComparedFilesGivesTheBoxesOfSortingEachListThenComparing)
{
    // Opening with the comparison on compares the cleaned lists once and takes each sorted
    // list from that; running the actions on each list and then comparing must find every
    // box the same. Texts of blanks, empty lines, letters of both
    // cases, repeats and every kind of break.
    QRandomGenerator random(21);
    const QStringList words = {u"кот"_s, u"Кот"_s, u" пёс"_s, u""_s, u"  "_s, u"ёж \t"_s,
                               u"Ёж"_s, u"b"_s, u"B"_s, u"кот и пёс"_s};
    const QStringList breaks = {u"\r\n"_s, u"\n"_s, u"\r"_s};
    for (int round = 0; round < 200; ++round) {
        std::array<MemoryPane, 43> onceMemory, stepsMemory;
        ComparisonWorkspace once(workspacePanesOf(onceMemory));
        ComparisonWorkspace steps(workspacePanesOf(stepsMemory));
        CountRefreshTexts onceCounts, stepsCounts;
        QObject::connect(&once, &ComparisonWorkspace::countsRefreshed,
                         [&](const CountRefreshTexts &t) { onceCounts = t; });
        QObject::connect(&steps, &ComparisonWorkspace::countsRefreshed,
                         [&](const CountRefreshTexts &t) { stepsCounts = t; });
        AutoActionOptions options;
        options.trim = random.bounded(2);
        options.deleteEmptyLines = random.bounded(4) != 0;
        options.changeCase = random.bounded(2);
        options.caseChoice = CaseChoice(random.bounded(4));
        QList<LoadedList> files;
        const int count = 1 + random.bounded(10);
        for (int f = 1; f <= count; ++f) {
            QString text;
            for (int k = random.bounded(15); k > 0; --k)
                text += words[random.bounded(int(words.size()))]
                        + breaks[random.bounded(int(breaks.size()))];
            if (random.bounded(3) == 0)
                text += words[random.bounded(int(words.size()))];
            files.append({u"list%1.txt"_s.arg(f), text});
        }
        once.setOptions(options);
        once.openFiles(files);
        // The steps: the files as they stand, then the actions on each list, then comparing.
        AutoActionOptions none;
        none.trim = none.deleteEmptyLines = none.changeCase = none.sort = false;
        none.deleteRepeatingLines = none.compare = false;
        steps.setOptions(none);
        steps.openFiles(files);
        options.compare = false;
        steps.setOptions(options);
        for (int f = 1; f <= count; ++f) {
            steps.focusBox(source(f));
            steps.N35Click();
        }
        steps.BitBtn1Click();
        const std::string name = "round " + std::to_string(round);
        ASSERT_EQ(once.listCount(), steps.listCount()) << name;
        ASSERT_EQ(once.currentBox(), steps.currentBox()) << name;
        for (int slot = 0; slot < 43; ++slot)
            ASSERT_EQ(onceMemory[slot].text(), stepsMemory[slot].text()) << name << " box " << slot;
        for (int i = 1; i <= once.listCount(); ++i)
            ASSERT_EQ(once.name(i), steps.name(i)) << name;
        ASSERT_EQ(onceCounts.source, stepsCounts.source) << name;
        ASSERT_EQ(onceCounts.absent, stepsCounts.absent) << name;
        ASSERT_EQ(onceCounts.merged, stepsCounts.merged) << name;
    }
}
