#pragma once

#include "common/editorpane.h"

#include <QObject>
#include <QString>
#include <QTimer>

class QPlainTextEdit;

/// A pane over a QPlainTextEdit that takes a long text in steps: the first lines show at
/// once and the rest follows in chunks between events, so that refilling forty boxes of
/// several hundred thousand lines does not freeze the window. The pane's text is whole from
/// the start; the editor is filled completely before anything edits it (a key, a drop, or a
/// command that selects or replaces past the part shown).
class DeferredEditorPane final : public QObject, public Pane
{
    Q_OBJECT
public:
    /// chunkLines lines go in per step; a text of at most that many lines goes in at once.
    explicit DeferredEditorPane(QPlainTextEdit *editor, int chunkLines = 4000);
    ~DeferredEditorPane() override;

    QString text() const override;
    void setText(const QString &text) override;
    int selStart() const override { return m_editorPane.selStart(); }
    int selLength() const override { return m_editorPane.selLength(); }
    void setSelection(int start, int length) override;
    void replaceRange(int start, int length, const QString &with) override;
    void focus() override { m_editorPane.focus(); }

    bool isFilling() const { return m_filling; }
    /// Puts the rest of the text into the editor now.
    void fillAll();
    /// Panes of the program still filling their editors.
    static int fillingCount();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillStep();
    /// Appends the widget text up to end (just past a line break, or the end).
    void append(qsizetype end);

    QPlainTextEdit *m_editor;
    EditorPane m_editorPane;
    int m_chunkLines;
    bool m_filling = false;
    QString m_text;        // the whole text while filling, in pane form
    QString m_widgetText;  // the same with LF breaks, as the editor takes it
    qsizetype m_filled = 0;  // characters of m_widgetText in the editor
    QTimer m_step;
};
