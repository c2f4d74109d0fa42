#pragma once

#include <QString>

/// An editable list as the models see it: a text and a selection. Inside a pane
/// CR LF is the only line break and offsets count it as two characters.
class Pane
{
public:
    virtual ~Pane() = default;
    virtual QString text() const = 0;
    /// Replaces the whole text (lone LF or CR become CR LF); the caret goes to 0.
    virtual void setText(const QString &text) = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    /// Clamped to the text.
    virtual void setSelection(int start, int length) = 0;
    /// Replaces length characters at start; the caret goes to the end of the insert.
    /// Editors override it to avoid rewriting the whole text.
    virtual void replaceRange(int start, int length, const QString &with);
    /// Asks the view to give this pane the input focus; nothing in memory.
    virtual void focus() {}

    // Panes that keep their lines apart answer these without building the text.
    virtual int textLength() const { return int(text().size()); }
    /// Index of the line that holds the selection start.
    virtual int currentLine() const;
    /// That line's text, or empty when the caret stands on no line.
    virtual QString currentLineText() const;
    virtual int lineCount() const;
    /// True when a line is exactly equal to line.
    virtual bool holdsLine(const QString &line) const;
    /// Drops every line equal to line; the rest is each line followed by CR LF and the caret
    /// goes to 0. Nothing changes when no line is equal. Returns the lines dropped.
    virtual int deleteLines(const QString &line);
    /// Makes every line equal to from into to, as deleteLines writes. Returns the count.
    virtual int replaceLines(const QString &from, const QString &to);
    /// Takes the text of another pane (cheaply where both keep their lines apart).
    virtual void setTextOf(const Pane &other) { setText(other.text()); }

    QString selectedText() const;
    /// Replaces the selection; the inserted text becomes the selection.
    void replaceSelection(const QString &with);
};

/// A pane that lives in memory only: for tests and for headless commands.
class MemoryPane final : public Pane
{
public:
    MemoryPane() = default;
    explicit MemoryPane(const QString &text);
    QString text() const override { return m_text; }
    void setText(const QString &text) override;
    int selStart() const override { return m_start; }
    int selLength() const override { return m_length; }
    void setSelection(int start, int length) override;
    void replaceRange(int start, int length, const QString &with) override;
    void focus() override { ++m_focusCount; }
    int focusCount() const { return m_focusCount; }

private:
    QString m_text;
    int m_start = 0;
    int m_length = 0;
    int m_focusCount = 0;
};

/// Offset of the first character of line i (counted from 0) in a CR LF text;
/// the text length when i is at or past the line count.
int lineStartOffset(const QString &text, int line);
/// Index of the line that holds offset (the line count when it is past the last break).
int lineAtOffset(const QString &text, int offset);
/// True when a CR LF pane text holds a line exactly equal to line.
bool textHoldsLine(const QString &text, const QString &line);
