#include "compare/deferredpane.h"

#include "tests/support/printers.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString lines(int from, int to)
{
    QString text;
    for (int i = from; i <= to; ++i)
        text += u"строка %1\r\n"_s.arg(i);
    return text;
}

} // namespace

TEST(DeferredEditorPane, ShowsTheHeadAtOnceAndTheRestBetweenEvents)
{
    QPlainTextEdit editor;
    DeferredEditorPane pane(&editor, 3);
    pane.setText(lines(1, 10));
    EXPECT_TRUE(pane.isFilling());
    EXPECT_EQ(pane.text(), lines(1, 10));
    EXPECT_EQ(editor.toPlainText(), u"строка 1\nстрока 2\nстрока 3\n"_s);
    EXPECT_EQ(DeferredEditorPane::fillingCount(), 1);
    for (int step = 0; step < 100 && pane.isFilling(); ++step)
        QCoreApplication::processEvents();
    EXPECT_FALSE(pane.isFilling());
    EXPECT_EQ(DeferredEditorPane::fillingCount(), 0);
    EXPECT_EQ(pane.text(), lines(1, 10));
    EXPECT_FALSE(editor.document()->isUndoAvailable());

    // A short text goes in whole; a new text replaces one still filling.
    pane.setText(lines(1, 10));
    pane.setText(u"а\nб"_s);
    EXPECT_FALSE(pane.isFilling());
    EXPECT_EQ(editor.toPlainText(), u"а\nб"_s);
    EXPECT_EQ(DeferredEditorPane::fillingCount(), 0);

    // An edit fills everything first.
    pane.setText(lines(1, 6));
    QTest::keyClick(&editor, Qt::Key_End, Qt::ControlModifier);
    EXPECT_FALSE(pane.isFilling());
    QTest::keyClick(&editor, Qt::Key_X);
    EXPECT_EQ(pane.text(), lines(1, 6) + u"x"_s);

    // Selecting past the part shown fills the rest first.
    pane.setText(lines(1, 6));
    pane.setSelection(pane.textLength() - 3, 1);
    EXPECT_FALSE(pane.isFilling());
    EXPECT_EQ(pane.selectedText(), u"6"_s);
    pane.setText(lines(1, 6));
    pane.replaceRange(0, 6, u"С"_s);
    EXPECT_EQ(pane.text(), u"С 1\r\n"_s + lines(2, 6));
}
