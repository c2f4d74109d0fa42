#include "common/editorpane.h"

#include "common/textlines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

QString toWidgetText(const QString &paneText)
{
    QString text = normalizeBreaks(paneText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

EditorPane::EditorPane(QPlainTextEdit *editor)
    : m_editor(editor)
{
}

QString EditorPane::text() const
{
    // toRawText keeps no-break spaces, which toPlainText turns into blanks.
    QString raw = m_editor->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return raw;
}

void EditorPane::setText(const QString &text)
{
    m_editor->setPlainText(toWidgetText(text));
}

int EditorPane::toOffset(int position) const
{
    const QTextBlock block = m_editor->document()->findBlock(position);
    return position + std::max(block.blockNumber(), 0);
}

int EditorPane::toPosition(int offset) const
{
    // Block n starts at pane offset position(n) + n; find the last block starting at or before.
    const QTextDocument *doc = m_editor->document();
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= offset)
            low = mid;
        else
            high = mid - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const int inBlock = std::clamp(offset - (block.position() + low), 0, block.length() - 1);
    return block.position() + inBlock;
}

int EditorPane::selStart() const
{
    return toOffset(m_editor->textCursor().selectionStart());
}

int EditorPane::selLength() const
{
    const QTextCursor cursor = m_editor->textCursor();
    return toOffset(cursor.selectionEnd()) - toOffset(cursor.selectionStart());
}

void EditorPane::setSelection(int start, int length)
{
    const int from = toPosition(std::max(start, 0));
    const int to = toPosition(std::max(start, 0) + std::max(length, 0));
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
}

void EditorPane::replaceRange(int start, int length, const QString &with)
{
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(toPosition(start));
    cursor.setPosition(toPosition(start + length), QTextCursor::KeepAnchor);
    cursor.insertText(toWidgetText(with));
    m_editor->setTextCursor(cursor);
}

void EditorPane::focus()
{
    m_editor->setFocus();
}
