#pragma once

#include "common/pane.h"

class QPlainTextEdit;

/// A Pane over a QPlainTextEdit. The widget counts a line break as one position;
/// the pane counts CR LF as two, so offsets are mapped both ways.
class EditorPane final : public Pane
{
public:
    explicit EditorPane(QPlainTextEdit *editor);
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
    QPlainTextEdit *m_editor;
};
