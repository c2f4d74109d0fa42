#include "sorter/sortingsession.h"

#include "tests/sorter/sortingpanes.h"
#include "tests/support/printers.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {
using Move = SortingSession::Move;
using TextOperation = SortingSession::TextOperation;
class SortingSessionTest : public ::testing::Test, protected SortingPanes
{
};
} // namespace

TEST_F(SortingSessionTest, SendsTheTopLineOrTheSelectionAndRecords)
{
    QSignalSpy counts(&session, &SortingSession::lineCountChanged);
    session.SendToList(1);  // an empty source sends nothing
    EXPECT_EQ(counts.count(), 0);
    EXPECT_EQ(session.heldSnapshots(), 0);

    source.setText(u"\r\nw"_s);
    list(3).setText(u"z"_s);
    session.SendToList(1);  // an empty top line goes as an empty line
    EXPECT_EQ(list(1).text(), u"\r\n"_s);
    EXPECT_EQ(session.lineCountCaption(0), u"Исходный текст (1)"_s);
    session.SendToList(3);
    EXPECT_EQ(list(3).text(), u"z\r\nw"_s);  // no final break before, none after
    EXPECT_EQ(source.text(), QString());
    ASSERT_EQ(counts.count(), 2);
    EXPECT_EQ(counts.at(1).at(0).toInt(), 3);
    EXPECT_EQ(session.lineCountCaption(3), u"Строк: 2"_s);
    EXPECT_EQ(session.heldSnapshots(), 2);

    source.setText(u"один\r\nдва\r\n"_s);
    source.setSelection(2, 5);  // "ин\r\nд"
    list(2).setText(u"a"_s);
    session.SendToList(2);
    EXPECT_EQ(list(2).text(), u"aин\r\nд"_s);
    EXPECT_EQ(source.text(), u"одва\r\n"_s);
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

// The ring's own corners are checked in common; this pins the session's ring of ten.
TEST_F(SortingSessionTest, UndoGoesBackNineStepsAtMost)
{
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

TEST_F(SortingSessionTest, UndoKeepsSelectionsThatStillFit)
{
    source.setText(u"один\r\nдва\r\nтри\r\n"_s);
    session.RecordSnapshot();
    session.SendToList(1);
    session.Undo();
    EXPECT_EQ(source.text(), u"один\r\nдва\r\nтри\r\n"_s);
    EXPECT_EQ(source.selStart(), 0);  // the top line, which the next send takes

    list(2).setText(u"а\r\nб\r\n"_s);
    session.RecordSnapshot();
    session.NewSession();
    source.setSelection(0, 0);
    list(2).setSelection(0, 0);
    session.Undo();
    EXPECT_EQ(source.text(), u"один\r\nдва\r\nтри\r\n"_s);
    EXPECT_EQ(source.selStart(), 0);
    EXPECT_EQ(list(2).selStart(), 0);

    session.applyToSource(SortingSession::TextOperation::SortLines);
    source.setSelection(5, 3);
    list(2).setText(u"абвгдеж"_s);
    list(2).setSelection(6, 1);
    session.RecordSnapshot();
    session.Undo();
    EXPECT_EQ(source.text(), u"два\r\nодин\r\nтри\r\n"_s);
    EXPECT_EQ(std::pair(source.selStart(), source.selLength()), std::pair(5, 3));
    EXPECT_EQ(list(2).text(), u"а\r\nб\r\n"_s);
    EXPECT_EQ(std::pair(list(2).selStart(), list(2).selLength()), std::pair(0, 0));
}

TEST_F(SortingSessionTest, MovesTheCaretLineSelectsItAndRecordsNothing)
{
    MemoryPane &pane = list(2);
    session.setCurrentList(2);
    pane.setText(u"a\r\nbb\r\nc"_s);
    session.RecordSnapshot();
    source.setText(u"x"_s);
    session.RecordSnapshot();
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
    session.MoveLine(Move::Bottom);
    EXPECT_EQ(pane.text(), u"a\r\nc\r\nbb\r\n"_s);
    EXPECT_EQ(pane.selectedText(), u"bb"_s);
    EXPECT_EQ(session.heldSnapshots(), 2);
    session.Undo();
    EXPECT_EQ(pane.text(), u"a\r\nbb\r\nc"_s);
    EXPECT_EQ(source.text(), QString());
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

TEST_F(SortingSessionTest, NewAndClearEmptyEveryTextOnceKeepingNames)
{
    session.ClearAllLists();
    EXPECT_EQ(session.heldSnapshots(), 0);  // all empty equals the empty ring
    source.setText(u"s\r\n"_s);
    list(1).setText(u"l\r\n"_s);
    list(7).setText(u"a"_s);
    session.setVisibleListCount(2);  // hidden lists are cleared too
    session.RecordSnapshot();
    session.setButtonName(1, u"Имена"_s);
    session.setDocumentPath(u"/tmp/a.txt"_s);
    session.NewSession();
    session.ClearAllLists();
    EXPECT_EQ(source.text(), QString());
    EXPECT_EQ(list(1).text(), QString());
    EXPECT_EQ(list(7).text(), QString());
    EXPECT_EQ(session.heldSnapshots(), 2);
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

// The 2..10 bounds of the visible count are checked through a project file's row.
TEST(ListFrameRect, SharesTheWidthInEqualColumns)
{
    EXPECT_EQ(listFrameRect(0, 5, QSize(1000, 300)), QRect(3, 3, 195, 290));
    EXPECT_EQ(listFrameRect(4, 5, QSize(1000, 300)), QRect(803, 3, 195, 290));
    EXPECT_EQ(listFrameRect(9, 10, QSize(305, 100)), QRect(273, 3, 25, 90));
}
