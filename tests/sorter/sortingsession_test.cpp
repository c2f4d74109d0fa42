#include "sorter/sortingsession.h"

#include "common/pane.h"
#include "tests/support/printers.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Move = SortingSession::Move;
using TextOperation = SortingSession::TextOperation;

class SortingSessionTest : public ::testing::Test
{
protected:
    SortingSessionTest() : session(source, panes()) { }
    std::array<Pane *, SortingSession::ListCount> panes()
    {
        std::array<Pane *, SortingSession::ListCount> all{};
        for (int i = 0; i < SortingSession::ListCount; ++i)
            all[i] = &lists[i];
        return all;
    }
    MemoryPane &list(int k) { return lists[k - 1]; }

    MemoryPane source;
    std::array<MemoryPane, SortingSession::ListCount> lists;
    SortingSession session;
};

} // namespace

TEST_F(SortingSessionTest, SendsTheTopLineUntilTheSourceIsEmpty)
{
    source.setText(u"x\r\ny\r\n"_s);
    session.SendToList(1);
    session.SendToList(1);
    EXPECT_EQ(list(1).text(), u"x\r\ny\r\n"_s);
    EXPECT_EQ(source.text(), QString());
    EXPECT_EQ(session.heldSnapshots(), 2);
    QSignalSpy counts(&session, &SortingSession::lineCountChanged);
    session.SendToList(1);
    EXPECT_EQ(list(1).text(), u"x\r\ny\r\n"_s);
    EXPECT_EQ(session.heldSnapshots(), 2);
    EXPECT_EQ(counts.count(), 0);
}

TEST_F(SortingSessionTest, SendsIntoAListWithoutAFinalBreak)
{
    list(3).setText(u"z"_s);
    source.setText(u"w"_s);
    QSignalSpy counts(&session, &SortingSession::lineCountChanged);
    session.SendToList(3);
    EXPECT_EQ(list(3).text(), u"z\r\nw"_s);
    EXPECT_EQ(source.text(), QString());
    ASSERT_EQ(counts.count(), 1);
    EXPECT_EQ(counts.at(0).at(0).toInt(), 3);
    EXPECT_EQ(session.lineCountCaption(3), u"Строк: 2"_s);
}

TEST_F(SortingSessionTest, SendsASelectionVerbatim)
{
    source.setText(u"один\r\nдва\r\n"_s);
    source.setSelection(2, 5);  // "ин\r\nд"
    list(2).setText(u"a"_s);
    session.SendToList(2);
    EXPECT_EQ(list(2).text(), u"aин\r\nд"_s);
    EXPECT_EQ(source.text(), u"одва\r\n"_s);
}

TEST_F(SortingSessionTest, SendsAnEmptyTopLine)
{
    source.setText(u"\r\nb\r\n"_s);
    session.SendToList(1);
    EXPECT_EQ(list(1).text(), u"\r\n"_s);
    EXPECT_EQ(list(1).lineCount(), 1);
    EXPECT_EQ(session.lineCountCaption(0), u"Исходный текст (1)"_s);
}

TEST_F(SortingSessionTest, DeletesTheTopLineOrTheSelection)
{
    QSignalSpy counts(&session, &SortingSession::lineCountChanged);
    session.DeleteTopLine();  // empty: no snapshot, but the caption is refreshed
    EXPECT_EQ(session.heldSnapshots(), 0);
    ASSERT_EQ(counts.count(), 1);
    EXPECT_EQ(counts.at(0).at(0).toInt(), 0);
    EXPECT_EQ(session.lineCountCaption(0), u"Исходный текст (0)"_s);

    source.setText(u"a\r\nbc\r\nd"_s);
    session.DeleteTopLine();
    EXPECT_EQ(source.text(), u"bc\r\nd"_s);
    source.setSelection(1, 3);
    session.DeleteTopLine();
    EXPECT_EQ(source.text(), u"bd"_s);
    EXPECT_EQ(session.heldSnapshots(), 2);
}

TEST_F(SortingSessionTest, UndoNeedsTwoSnapshotsAndGoesBackNineAtMost)
{
    source.setText(u"1\r\n"_s);
    session.RecordSnapshot();
    session.Undo();
    EXPECT_EQ(source.text(), u"1\r\n"_s);  // one step held: nothing to go back to

    session.ResetHistory();
    for (int step = 1; step <= 12; ++step) {
        source.setText(QString::number(step));
        session.RecordSnapshot();
    }
    EXPECT_EQ(session.heldSnapshots(), 10);
    for (int undo = 1; undo <= 9; ++undo)
        session.Undo();
    EXPECT_EQ(source.text(), u"3"_s);
    session.Undo();
    EXPECT_EQ(source.text(), u"3"_s);
    EXPECT_EQ(session.heldSnapshots(), 1);
}

TEST_F(SortingSessionTest, UndoKeepsNamesCountAndUnchangedPanes)
{
    source.setText(u"a\r\nb\r\n"_s);
    session.RecordSnapshot();
    session.SendToList(4);
    session.setButtonName(4, u"Глаголы"_s);
    session.setVisibleListCount(3);
    list(2).setText(u"keep"_s);
    list(2).setSelection(2, 1);
    session.RecordSnapshot();
    session.Undo();
    EXPECT_EQ(source.text(), u"b\r\n"_s);
    EXPECT_EQ(list(4).text(), u"a\r\n"_s);
    EXPECT_EQ(list(2).text(), QString());
    EXPECT_EQ(session.buttonName(4), u"Глаголы"_s);
    EXPECT_EQ(session.visibleListCount(), 3);
}

TEST_F(SortingSessionTest, MovesAreNotRecorded)
{
    list(1).setText(u"a\r\nb\r\nc\r\n"_s);
    session.RecordSnapshot();
    source.setText(u"x"_s);
    session.RecordSnapshot();
    list(1).setSelection(4, 0);  // on b
    session.MoveLine(Move::Bottom);
    EXPECT_EQ(list(1).text(), u"a\r\nc\r\nb\r\n"_s);
    EXPECT_EQ(session.heldSnapshots(), 2);
    session.Undo();
    EXPECT_EQ(list(1).text(), u"a\r\nb\r\nc\r\n"_s);
    EXPECT_EQ(source.text(), QString());
}

TEST_F(SortingSessionTest, MovesTheCaretLineAndSelectsIt)
{
    MemoryPane &pane = list(2);
    session.setCurrentList(2);
    pane.setText(u"a\r\nbb\r\nc"_s);
    pane.setSelection(4, 0);
    session.MoveLine(Move::Top);
    EXPECT_EQ(pane.text(), u"bb\r\na\r\nc"_s);
    EXPECT_EQ(pane.selStart(), 0);
    EXPECT_EQ(pane.selLength(), 2);
    session.MoveLine(Move::Down);
    EXPECT_EQ(pane.text(), u"a\r\nbb\r\nc"_s);
    EXPECT_EQ(pane.selectedText(), u"bb"_s);
    session.MoveLine(Move::Down);
    EXPECT_EQ(pane.text(), u"a\r\nc\r\nbb"_s);
    EXPECT_EQ(pane.selectedText(), u"bb"_s);
    session.MoveLine(Move::Up);
    EXPECT_EQ(pane.text(), u"a\r\nbb\r\nc\r\n"_s);  // the last line went up and took a break
    EXPECT_EQ(pane.selectedText(), u"bb"_s);
}

TEST_F(SortingSessionTest, MoveGuardsStillFocusTheList)
{
    MemoryPane &pane = list(5);
    session.setCurrentList(5);
    pane.setText(u"a\r\nb\r\n"_s);
    session.MoveLine(Move::Up);  // line 0
    EXPECT_EQ(pane.text(), u"a\r\nb\r\n"_s);
    pane.setSelection(3, 0);
    session.MoveLine(Move::Down);  // last line
    EXPECT_EQ(pane.text(), u"a\r\nb\r\n"_s);
    // After the final break the caret stands on no line: nothing moves.
    for (Move where : {Move::Top, Move::Up, Move::Down, Move::Bottom}) {
        pane.setSelection(6, 0);
        session.MoveLine(where);
        EXPECT_EQ(pane.text(), u"a\r\nb\r\n"_s);
    }
    pane.setText(u"one"_s);
    session.MoveLine(Move::Bottom);
    EXPECT_EQ(pane.text(), u"one"_s);
    EXPECT_EQ(pane.focusCount(), 7);
    EXPECT_EQ(list(1).focusCount(), 0);
}

TEST_F(SortingSessionTest, ClearAllTwiceRecordsOnce)
{
    session.ClearAllLists();
    session.ClearAllLists();
    EXPECT_EQ(session.heldSnapshots(), 0);  // all empty equals the empty ring
    source.setText(u"s"_s);
    list(7).setText(u"a"_s);
    session.setVisibleListCount(2);  // hidden lists are cleared too
    session.ClearAllLists();
    session.ClearAllLists();
    EXPECT_EQ(list(7).text(), QString());
    EXPECT_EQ(session.heldSnapshots(), 1);
}

TEST_F(SortingSessionTest, NewEmptiesTextsAndUndoesToTheStepBefore)
{
    source.setText(u"s\r\n"_s);
    list(1).setText(u"l\r\n"_s);
    session.RecordSnapshot();
    session.setButtonName(1, u"Имена"_s);
    session.setDocumentPath(u"/tmp/a.txt"_s);
    session.NewSession();
    EXPECT_EQ(source.text(), QString());
    EXPECT_EQ(list(1).text(), QString());
    EXPECT_EQ(session.buttonName(1), u"Имена"_s);
    EXPECT_EQ(session.windowCaption(), u"Ручная сортировка списков - /tmp/a.txt"_s);
    session.Undo();
    EXPECT_EQ(list(1).text(), u"l\r\n"_s);
}

TEST_F(SortingSessionTest, TextOperationsActOnTheirPaneAndRecord)
{
    source.setText(u"b\r\nb\r\na\r\n"_s);
    list(2).setText(u"x\r\n\r\n"_s);
    session.applyToSource(TextOperation::DeleteRepeatedLines);
    EXPECT_EQ(source.text(), u"b\r\na\r\n"_s);
    session.applyToSource(TextOperation::SortLines);
    EXPECT_EQ(source.text(), u"a\r\nb\r\n"_s);
    session.setCurrentList(2);
    session.applyToCurrentList(TextOperation::UpperCase);
    session.applyToCurrentList(TextOperation::DeleteEmptyLines);
    EXPECT_EQ(list(2).text(), u"X\r\n"_s);
    EXPECT_EQ(session.heldSnapshots(), 4);
    session.applyToCurrentList(TextOperation::Clear);
    EXPECT_EQ(list(2).text(), QString());
    EXPECT_EQ(source.text(), u"a\r\nb\r\n"_s);
}

TEST_F(SortingSessionTest, LoadingASourceRestartsTheHistory)
{
    list(1).setText(u"kept\r\n"_s);
    session.RecordSnapshot();
    source.setText(u"x"_s);
    session.RecordSnapshot();
    session.loadSource(u"/data/слова.txt"_s, u"новое\r\n"_s);
    EXPECT_EQ(session.heldSnapshots(), 1);
    EXPECT_EQ(list(1).text(), u"kept\r\n"_s);
    EXPECT_EQ(session.windowCaption(), u"Ручная сортировка списков - /data/слова.txt"_s);
    session.Undo();
    EXPECT_EQ(source.text(), u"новое\r\n"_s);
}

TEST_F(SortingSessionTest, VisibleCountStaysWithinTwoAndTen)
{
    QSignalSpy changed(&session, &SortingSession::visibleListCountChanged);
    EXPECT_EQ(session.visibleListCount(), 5);
    session.setVisibleListCount(11);
    session.setVisibleListCount(1);
    EXPECT_EQ(changed.count(), 0);
    session.setVisibleListCount(2);
    EXPECT_TRUE(session.isListShown(2));
    EXPECT_FALSE(session.isListShown(3));
    session.setVisibleListCount(10);
    EXPECT_TRUE(session.isListShown(10));
}

TEST(ListFrameRect, SharesTheWidthInEqualColumns)
{
    EXPECT_EQ(listFrameRect(0, 5, QSize(1000, 300)), QRect(3, 3, 195, 290));
    EXPECT_EQ(listFrameRect(4, 5, QSize(1000, 300)), QRect(803, 3, 195, 290));
    EXPECT_EQ(listFrameRect(9, 10, QSize(305, 100)), QRect(273, 3, 25, 90));
}
