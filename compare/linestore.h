#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

class ComparisonResult;

/// The lines of one box as one UTF-16 buffer and where each line starts in it; a line runs
/// from its start to the next CR or LF, or to the buffer's end. The buffer is shared with
/// whoever gave it (a loaded file, a comparison's merged text or a compared list), so a
/// store of a million lines costs its text once plus four bytes a line.
///
/// A whole store's buffer is exactly the box text, breaks CR LF, a last break optional.
/// A picked store takes some lines out of a bigger buffer; its box text is each line
/// followed by CR LF, and it becomes whole (the text built) before anything edits it.
/// An absent box is picked too, but from the comparison itself: it notes only every
/// SampleLines-th line's merged item and finds the lines between by the items' list marks,
/// so ten absent boxes of millions of lines cost next to nothing.
class LineStore
{
public:
    LineStore() = default;
    /// A whole store over a text whose only breaks are CR LF; nothing is copied.
    static LineStore fromText(const QString &text);
    /// The same when the lines' starts are known: exactly those fromText would find.
    static LineStore fromLines(const QString &text, std::vector<std::uint32_t> starts);
    /// A picked store: the lines of buffer starting at starts, in that order.
    static LineStore picked(const QString &buffer, std::vector<std::uint32_t> starts);
    /// The absent box of list i of a comparison.
    static LineStore absentOf(const std::shared_ptr<const ComparisonResult> &result, int i);

    int lineCount() const { return m_result ? m_lineCount : int(m_starts.size()); }
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
    /// Calls visit(line) for every line in order; cheaper than line(k) in a loop.
    template <typename Visit>
    void forEachLine(const Visit &visit) const;

private:
    static constexpr int SampleLines = 256;
    /// The merged item of an absent box's line k, from the sample before it.
    qsizetype absentItem(int k) const;
    bool absentTakes(qsizetype item) const;

    qsizetype lineEnd(qsizetype start) const;
    QStringView itemLine(qsizetype item) const;
    void findLines(qsizetype from, qsizetype to);

    QString m_buffer;
    std::vector<std::uint32_t> m_starts;
    bool m_whole = true;
    mutable qsizetype m_length = -1;  // of a picked store's text, once measured
    // An absent box: the comparison, the list, and the item of every SampleLines-th line.
    std::shared_ptr<const ComparisonResult> m_result;
    int m_list = 0;
    int m_lineCount = 0;
};

template <typename Keep>
LineStore LineStore::filtered(const Keep &keep) const
{
    QString text;
    int k = 0;
    forEachLine([&](QStringView l) {
        if (keep(k++, l)) {
            text.append(l);
            text.append(u"\r\n");
        }
    });
    return fromText(text);
}

template <typename Visit>
void LineStore::forEachLine(const Visit &visit) const
{
    if (!m_result) {
        for (int k = 0; k < lineCount(); ++k)
            visit(line(k));
        return;
    }
    if (m_lineCount == 0)
        return;
    int left = m_lineCount;
    for (qsizetype item = absentItem(0); left > 0; ++item)
        if (absentTakes(item)) {
            visit(itemLine(item));
            --left;
        }
}
