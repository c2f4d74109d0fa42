#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

/// The lines of one box as one UTF-16 buffer and where each line starts in it; a line runs
/// from its start to the next CR or LF, or to the buffer's end. The buffer is shared with
/// whoever gave it (a loaded file, a comparison's merged text or a compared list), so a
/// store of a million lines costs its text once plus four bytes a line.
///
/// A whole store's buffer is exactly the box text, breaks CR LF, a last break optional.
/// A picked store takes some lines out of a bigger buffer; its box text is each line
/// followed by CR LF, and it becomes whole (the text built) before anything edits it.
class LineStore
{
public:
    LineStore() = default;
    /// A whole store over a text whose only breaks are CR LF; nothing is copied.
    static LineStore fromText(const QString &text);
    /// A picked store: the lines of buffer starting at starts, in that order.
    static LineStore picked(const QString &buffer, std::vector<std::uint32_t> starts);

    int lineCount() const { return int(m_starts.size()); }
    QStringView line(int k) const;
    bool isWhole() const { return m_whole; }
    /// The box text: the buffer itself when whole, built otherwise.
    QString text() const;
    qsizetype textLength() const;
    /// Rows a caret can stand on: the lines, and one more after a last break or when empty.
    int rowCount() const;

    // Offsets in the box text; the store must be whole.
    /// Where line k starts; the text length for k at or past the last line.
    qsizetype lineStart(int k) const;
    /// The row that holds offset: the line count for an offset past the last break.
    int rowAt(qsizetype offset) const;
    /// Replaces length units at start by with (breaks CR LF) and finds the lines again
    /// around the change only; the lines after it just move.
    void replace(qsizetype start, qsizetype length, const QString &with);
    /// Builds the box text of a picked store; nothing when whole.
    void makeWhole();

    /// A whole store of the lines that keep says yes to, each followed by CR LF.
    template <typename Keep>
    LineStore filtered(const Keep &keep) const;

private:
    qsizetype lineEnd(qsizetype start) const;
    void findLines(qsizetype from, qsizetype to);

    QString m_buffer;
    std::vector<std::uint32_t> m_starts;
    bool m_whole = true;
    mutable qsizetype m_length = -1;  // of a picked store's text, once measured
};

template <typename Keep>
LineStore LineStore::filtered(const Keep &keep) const
{
    QString text;
    for (int k = 0; k < lineCount(); ++k) {
        const QStringView l = line(k);
        if (keep(k, l)) {
            text.append(l);
            text.append(u"\r\n");
        }
    }
    return fromText(text);
}
