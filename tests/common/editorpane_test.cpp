#include "common/editorpane.h"

#include "tests/support/printers.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(EditorPane, CountsCrLfAsTwoCharacters)
{
    QPlainTextEdit editor;
    EditorPane pane(&editor);
    pane.setText(u"один\nдва\r\nтри\u00A0x"_s);
    EXPECT_EQ(pane.text(), u"один\r\nдва\r\nтри\u00A0x"_s);  // no-break space kept
    pane.setSelection(6, 3);
    EXPECT_EQ(editor.textCursor().selectedText(), u"два"_s);
    EXPECT_EQ(pane.selStart(), 6);
    EXPECT_EQ(pane.selLength(), 3);
    EXPECT_EQ(pane.currentLine(), 1);
    pane.setSelection(4, 4);  // over a line break
    EXPECT_EQ(pane.selectedText(), u"\r\nдв"_s);
    EXPECT_EQ(pane.selLength(), 4);
}

TEST(EditorPane, ReplacesARangeInPlace)
{
    QPlainTextEdit editor;
    EditorPane pane(&editor);
    pane.setText(u"a\r\nb\r\nc\r\n"_s);
    pane.replaceRange(0, 3, QString());
    EXPECT_EQ(pane.text(), u"b\r\nc\r\n"_s);
    pane.replaceRange(pane.textLength(), 0, u"d\r\n"_s);
    EXPECT_EQ(pane.text(), u"b\r\nc\r\nd\r\n"_s);
    EXPECT_EQ(pane.lineCount(), 3);
    pane.setSelection(3, 1);
    pane.replaceSelection(u"ц\r\nщ"_s);
    EXPECT_EQ(pane.text(), u"b\r\nц\r\nщ\r\nd\r\n"_s);
    EXPECT_EQ(pane.selectedText(), u"ц\r\nщ"_s);
}

TEST(EditorPane, KeepsItsTextCopyInStepWithTheEditor)
{
    QPlainTextEdit editor;
    EditorPane pane(&editor);
    auto freshText = [&editor] { return EditorPane(&editor).text(); };  // reads the widget
    pane.setText(u"a\u2029b\uFDD0c\u00A0\u2028d\r"_s);
    EXPECT_EQ(pane.text(), freshText());
    EXPECT_EQ(pane.text(), u"a\r\nb\r\nc\u00A0\u2028d\r\n"_s);
    pane.replaceRange(1, 3, u"x\ny\u2029"_s);
    EXPECT_EQ(pane.text(), freshText());
    pane.replaceRange(2, 1, u"!"_s);  // starts inside a CR LF pair
    EXPECT_EQ(pane.text(), freshText());

    // Changes that bypass the pane: typing and the editor's own undo.
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText(u"typed"_s);
    EXPECT_TRUE(pane.text().endsWith(u"typed"_s));
    editor.undo();
    EXPECT_EQ(pane.text(), freshText());
    EXPECT_FALSE(pane.text().endsWith(u"typed"_s));
}
