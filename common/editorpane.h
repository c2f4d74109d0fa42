#pragma once

#include "common/pane.h"

#include <QMetaObject>

class QPlainTextEdit;

/// A Pane over a QPlainTextEdit. The widget counts a line break as one position;
/// the pane counts CR LF as two, so offsets are mapped both ways.
class EditorPane final : public Pane
{
public:
    explicit EditorPane(QPlainTextEdit *editor);
    ~EditorPane() override;
    EditorPane(const EditorPane &) = delete;
    EditorPane &operator=(const EditorPane &) = delete;
    QString text() const override;
    void setText(const QString &text) override;
    int selStart() const override;
    int selLength() const override;
    void setSelection(int start, int length) override;
    void replaceRange(int start, int length, const QString &with) override;
    void focus() override;

    QPlainTextEdit *editor() const { return m_editor; }
    /// Widget position of a pane offset, and back.
    int toPosition(int offset) const;
    int toOffset(int position) const;

private:
    QString readText() const;

    QPlainTextEdit *m_editor;
    // Reading a long document back costs milliseconds, and a model reads a pane
    // several times per command, so the pane keeps a copy. Edits through the pane
    // update it; any other change (typing, the editor's own undo) drops it.
    QMetaObject::Connection m_watch;
    mutable QString m_text;
    mutable bool m_textKnown = false;
    bool m_editing = false;
};
