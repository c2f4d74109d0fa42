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

/// What the document holds after inserting widget text, in pane terms: the
/// editor makes a line break of each of these characters.
QString insertedPaneText(const QString &widgetText)
{
    QString text = widgetText;
    for (QChar c : {QChar(QChar::ParagraphSeparator), QChar(0xFDD0), QChar(0xFDD1)})
        text.replace(c, u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

} // namespace

EditorPane::EditorPane(QPlainTextEdit *editor)
    : m_editor(editor)
{
    m_watch = QObject::connect(editor->document(), &QTextDocument::contentsChange, editor, [this] {
        if (!m_editing)
            m_textKnown = false;
    });
}

EditorPane::~EditorPane()
{
    QObject::disconnect(m_watch);
}

QString EditorPane::text() const
{
    if (!m_textKnown) {
        m_text = readText();
        m_textKnown = true;
    }
    return m_text;
}

QString EditorPane::readText() const
{
    // toRawText keeps no-break spaces, which toPlainText turns into blanks.
    QString raw = m_editor->document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return raw;
}

void EditorPane::setText(const QString &text)
{
    const QString widgetText = toWidgetText(text);
    m_editing = true;
    m_editor->setPlainText(widgetText);
    m_editing = false;
    m_text = insertedPaneText(widgetText);
    m_textKnown = true;
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
    const int from = toPosition(start);
    const int to = toPosition(start + length);
    const int fromOffset = toOffset(from);
    const int toOffsetEnd = toOffset(to);
    const QString inserted = toWidgetText(with);
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    m_editing = true;
    cursor.insertText(inserted);
    m_editing = false;
    if (m_textKnown)
        m_text.replace(fromOffset, toOffsetEnd - fromOffset, insertedPaneText(inserted));
    m_editor->setTextCursor(cursor);
}

void EditorPane::focus()
{
    m_editor->setFocus();
}
