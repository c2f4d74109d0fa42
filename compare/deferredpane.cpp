#include "compare/deferredpane.h"

#include "common/textlines.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::Literals::StringLiterals;

namespace {
int FillingPanes = 0;

/// Just past the count-th LF from `from`, or the end of the text.
qsizetype pastLines(const QString &text, qsizetype from, int count)
{
    qsizetype at = from;
    for (int n = 0; n < count; ++n) {
        at = text.indexOf(u'\n', at);
        if (at < 0)
            return text.size();
        ++at;
    }
    return at;
}
} // namespace

DeferredEditorPane::DeferredEditorPane(QPlainTextEdit *editor, int chunkLines)
    : m_editor(editor)
    , m_editorPane(editor)
    , m_chunkLines(std::max(chunkLines, 1))
{
    m_step.setInterval(0);
    connect(&m_step, &QTimer::timeout, this, &DeferredEditorPane::fillStep);
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
}

DeferredEditorPane::~DeferredEditorPane()
{
    if (m_filling)
        --FillingPanes;
}

int DeferredEditorPane::fillingCount()
{
    return FillingPanes;
}

QString DeferredEditorPane::text() const
{
    return m_filling ? m_text : m_editorPane.text();
}

void DeferredEditorPane::setText(const QString &text)
{
    if (m_filling) {
        m_filling = false;
        --FillingPanes;
        m_step.stop();
    }
    QString paneText = normalizeBreaks(text);
    // The editor also breaks lines at these; the pane text says so from the start.
    for (QChar c : {QChar(QChar::ParagraphSeparator), QChar(0xFDD0), QChar(0xFDD1)})
        if (paneText.contains(c))
            paneText = normalizeBreaks(paneText.replace(c, u'\n'));
    QString widgetText = paneText;
    widgetText.replace(u"\r\n"_s, u"\n"_s);
    const qsizetype first = pastLines(widgetText, 0, m_chunkLines);
    if (first >= widgetText.size()) {
        m_editorPane.setText(widgetText);
        return;
    }
    m_widgetText = widgetText;
    m_text = paneText;
    m_editorPane.setText(widgetText.left(first));
    m_filled = first;
    m_filling = true;
    ++FillingPanes;
    m_step.start();
}

void DeferredEditorPane::append(qsizetype end)
{
    const QSignalBlocker quiet(m_editor);  // the text the pane reports does not change
    QTextDocument *document = m_editor->document();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringView(m_widgetText).sliced(m_filled, end - m_filled).toString());
    document->setUndoRedoEnabled(undo);
    m_filled = end;
    if (m_filled >= m_widgetText.size()) {
        m_filling = false;
        --FillingPanes;
        m_step.stop();
        m_widgetText.clear();
        m_text.clear();
    }
}

void DeferredEditorPane::fillStep()
{
    if (m_filling)
        append(pastLines(m_widgetText, m_filled, m_chunkLines));
}

void DeferredEditorPane::fillAll()
{
    if (m_filling)
        append(m_widgetText.size());
}

void DeferredEditorPane::setSelection(int start, int length)
{
    // Offsets in the part shown are the same in the whole text.
    if (m_filling
        && qsizetype(start) + length >= m_filled + QStringView(m_widgetText).left(m_filled).count(u'\n'))
        fillAll();
    m_editorPane.setSelection(start, length);
}

void DeferredEditorPane::replaceRange(int start, int length, const QString &with)
{
    fillAll();
    m_editorPane.replaceRange(start, length, with);
}

bool DeferredEditorPane::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::Drop:
        fillAll();
        break;
    default:
        break;
    }
    return false;
}
