#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "common/largepages.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// The comparison engine and the count refresh texts.
//
// A window compares by passing the texts of the N source boxes in use to CompareLists
// (nothing is copied; the texts are cut into lines as splitLines does) and replacing every
// result box by the matching text: Memo2 by mergedText(), Memo1 by commonText(), then
// Uniq<i> by uniqueText(i) and Shared<i> by sharedText(i) for i = 1..N, then Absent<i> by
// absentText(i). Boxes of lists beyond N are not touched. It then runs the count refresh:
// countRefreshTexts() of the boxes' line counts, written into the frame captions and the
// status bar as they stand. The line-list accessors (merged(), unique(i), ...) give the same
// results as lists.

/// The outcome of one comparison of N lists (N from 2 to 10, lists counted from 1).
/// The merged text is made by the comparison and shared; the other results are built on
/// request, one at a time (a big one on two threads), so that a big comparison does not hold
/// every result box in memory at once. Counts come without building: lineCount(). The result shares the compared lists or texts and stays valid when the
/// caller changes or drops its own copies.
class ComparisonResult
{
public:
    static constexpr int MaxLists = 10;
    enum class Box { Merged, Common, Unique, Shared, Absent };

    ComparisonResult() = default;
    int listCount() const { return int(m_listStarts.empty() ? 0 : m_listStarts.size() - 1); }

    /// The lines of one result; i (from 1) names the list for Unique, Shared and Absent:
    /// Merged: every distinct line of all lists, once each, in ordinal order.
    /// Common: the lines that every list holds, in ordinal order.
    /// Unique: the lines of list i that no other list holds, in the list's order with its
    ///   repeats.
    /// Shared: the lines of list i that some but not all other lists hold, in order, with
    ///   repeats.
    /// Absent: the merged lines that list i does not hold, in merged order.
    QStringList lines(Box box, int i = 0) const;
    /// The same result as a box holds it: every line followed by CR LF.
    QString text(Box box, int i = 0) const;
    /// The number of lines of the result, without building it.
    qsizetype lineCount(Box box, int i = 0) const;

    QStringList merged() const { return lines(Box::Merged); }
    QStringList common() const { return lines(Box::Common); }
    QStringList unique(int i) const { return lines(Box::Unique, i); }
    QStringList shared(int i) const { return lines(Box::Shared, i); }
    QStringList absent(int i) const { return lines(Box::Absent, i); }
    QString mergedText() const { return text(Box::Merged); }
    QString commonText() const { return text(Box::Common); }
    QString uniqueText(int i) const { return text(Box::Unique, i); }
    QString sharedText(int i) const { return text(Box::Shared, i); }
    QString absentText(int i) const { return text(Box::Absent, i); }

    /// The number of merged items, and item k's line and the lists holding it.
    qsizetype itemCount() const { return qsizetype(m_itemMasks.size()); }
    QString item(qsizetype k) const;
    QStringView itemView(qsizetype k) const;
    int listsHolding(qsizetype k) const;
    bool listHolds(int i, qsizetype k) const;
    /// The merged item equal to line, or -1: a binary search, no copy.
    qsizetype findItem(QStringView line) const;
    /// The same for a line that many boxes ask about in turn (a click's caret line): the
    /// last answer is kept, so a line of megabytes is searched for once, not once a box.
    qsizetype findItem(const QString &line) const;
    /// Whether result box (box, i) holds a line equal to line, from the items' list marks.
    bool boxHolds(Box box, int i, const QString &line) const;

    /// Where the lines of result box (box, i) lie in lineSource(box, i), without copying:
    /// each line runs from its start to the next CR or LF or the end. Empty for a box that
    /// has no such source (common, or lists given as line lists): take text() then.
    std::vector<std::uint32_t> lineStarts(Box box, int i = 0) const;
    /// The merged text for merged and absent boxes, the compared text of list i for its
    /// unique and shared boxes; shared, not copied.
    QString lineSource(Box box, int i = 0) const;
    /// The text list i was compared as, when the lists were given as texts.
    QString listText(int i) const { return m_texts.value(i - 1); }

private:
    friend class ComparisonAssembler;
    friend class ComparisonBuilder;
    friend ComparisonResult CompareLists(const QList<QStringList> &sources);
    friend ComparisonResult CompareLists(const QStringList &texts);
    friend ComparisonResult CompareDistinctLists(ComparisonResult compared,
                                                 std::vector<std::vector<std::uint32_t>> *);
    using ListMask = std::uint16_t;
    static_assert(MaxLists <= 16, "a ListMask has one bit per list");

    // Calls visit(units, length) for each stretch of the result's text, in order, in part
    // part (from 0) of parts (1 or 2): the parts' texts one after the other are the whole.
    template <typename Visit>
    void forEachRun(Box box, int i, int part, int parts, const Visit &visit) const;
    // Where list i is cut in two parts: the position of the second part's first line in
    // m_lineCounts, or of the list's end when the list is too short to cut.
    std::size_t cutOf(int i) const;

    // Every CheckpointLines-th line of all lists in turn has its start noted.
    static constexpr std::size_t CheckpointLines = 1u << 16;

    QList<QStringList> m_lists;               // the compared lines, shared
    QStringList m_texts;                      // or the compared texts, shared
    QString m_mergedText;                     // the merged box text
    LargeVector<qsizetype> m_itemStarts;      // per item, and one past: where it starts in it
    LargeVector<ListMask> m_itemMasks;        // per item: bit i - 1 set when list i holds it
    LargeVector<std::uint8_t> m_lineCounts;   // per line of all lists in turn: lists holding it
    std::vector<std::size_t> m_listStarts;    // index in m_lineCounts of each list's first line
    std::vector<const char16_t *> m_checkpoints;  // in the compared texts, by line / CheckpointLines
    // The units of the unique and shared texts of all lines before a point, when built.
    struct Sums
    {
        qsizetype unique = 0;
        qsizetype shared = 0;
    };
    std::vector<Sums> m_listSums;        // at each list's first line, and after the last list
    std::vector<Sums> m_checkpointSums;  // at every CheckpointLines-th line
    // The last line looked up, held so that its buffer cannot be reused, and its item.
    mutable QString m_lastLine;
    mutable qsizetype m_lastItem = -1;
};

/// Compares 2 to 10 lists, given in list order. Lines are equal only when they are the same
/// UTF-16 units (no trimming, no case folding); the empty line is an item like any other.
/// An empty list still counts as one of the lists.
ComparisonResult CompareLists(const QList<QStringList> &sources);
/// The same for box texts, each cut into lines as splitLines does (CR LF, LF or CR; a final
/// break opens no line). The texts are shared, not split into strings: this is the way for
/// big lists.
ComparisonResult CompareLists(const QStringList &texts);

/// The comparison of the compared lists each sorted with its repeats dropped, worked out
/// from their comparison instead of comparing again: list i becomes the merged lines that it
/// holds, in merged order, each followed by CR LF (listText(i)), and the items and the lists
/// holding them stay the same. What compared shared of its lists is let go first. When
/// lineStarts is given, it receives where each list's lines start in its text.
ComparisonResult CompareDistinctLists(ComparisonResult compared,
                                      std::vector<std::vector<std::uint32_t>> *lineStarts = nullptr);

/// Runs work(k) for k from 0 to count - 1: the even k on this thread and the odd ones on a
/// second thread at the same time (or here, after, when no thread can be had). The works
/// must be independent of each other.
void forEachOnTwoThreads(int count, const std::function<void(int)> &work);

/// Keeps the first line, also when empty, then each line that differs from the last kept
/// one: on a sorted list, each distinct line once.
QStringList UniqList(const QStringList &lines);
/// Cuts a sorted list into runs of equal lines: items gets each run's line, counts its
/// length in decimal; both are cleared first. Returns the number of runs.
int GetFreqList(const QStringList &sorted, QStringList &items, QStringList &counts);

/// The lines of every box of the workspace, as the count refresh reads them; index 0 is
/// list 1. Boxes of lists beyond N count as they stand (normally empty).
struct BoxLineCounts
{
    std::array<int, ComparisonResult::MaxLists> source{};
    std::array<int, ComparisonResult::MaxLists> unique{};
    std::array<int, ComparisonResult::MaxLists> absent{};
    std::array<int, ComparisonResult::MaxLists> shared{};
    int common = 0;
    int merged = 0;
};

/// The texts the count refresh writes: the frame captions of all ten slots, whatever N is,
/// the common and merged frames, and the first panel of the status bar.
struct CountRefreshTexts
{
    std::array<QString, ComparisonResult::MaxLists> source;  // "Список 1 (12)"
    std::array<QString, ComparisonResult::MaxLists> unique;  // "Уникальные (3)"
    std::array<QString, ComparisonResult::MaxLists> absent;  // "Отсутствующие (0)"
    std::array<QString, ComparisonResult::MaxLists> shared;  // "Пересекающиеся (4)"
    QString common;                                          // "Общие во всех списках (5)"
    QString merged;                                          // "Объединённый список (20)"
    QString status;                                          // "Списков: 2"
};
CountRefreshTexts countRefreshTexts(const BoxLineCounts &counts, int listCount);
