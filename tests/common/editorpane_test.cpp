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
