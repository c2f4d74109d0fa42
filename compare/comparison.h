#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// The comparison engine and the count refresh texts.
//
// A window compares by reading the N source boxes in use (splitLines of each text), calling
// CompareLists, and replacing every result box by joinLines of its list: Memo2 by merged(),
// Memo1 by common(), then Uniq<i> by unique(i) and Shared<i> by shared(i) for i = 1..N, then
// Absent<i> by absent(i). Boxes of lists beyond N are not touched. It then runs the count
// refresh: countRefreshTexts() of the boxes' line counts, written into the frame captions and
// the status bar as they stand.

/// The outcome of one comparison of N lists (N from 2 to 10, lists counted from 1).
/// The result lists are built on request, one at a time, so that a big comparison does not
/// hold every result box in memory at once.
class ComparisonResult
{
public:
    static constexpr int MaxLists = 10;

    ComparisonResult() = default;
    int listCount() const { return int(m_sources.size()); }

    /// Every distinct line of all lists, once each, in ordinal order.
    QStringList merged() const;
    /// The lines that every list holds, in ordinal order.
    QStringList common() const;
    /// The lines of list i that no other list holds, in the list's order with its repeats.
    QStringList unique(int i) const;
    /// The lines of list i that some but not all other lists hold, in order, with repeats.
    QStringList shared(int i) const;
    /// The merged lines that list i does not hold, in merged order.
    QStringList absent(int i) const;

    /// The number of merged items, and item k's line and number of lists holding it.
    qsizetype itemCount() const { return qsizetype(m_itemLines.size()); }
    QString item(qsizetype k) const;
    int listsHolding(qsizetype k) const;
    bool listHolds(int i, qsizetype k) const;

private:
    friend ComparisonResult CompareLists(const QList<QStringList> &sources);
    using ListMask = std::uint16_t;
    static_assert(MaxLists <= 16, "a ListMask has one bit per list");

    QStringList resultOfList(int i, int minCount, int maxCount) const;
    const QString &lineAt(std::uint32_t position) const;

    QList<QStringList> m_sources;
    std::vector<qsizetype> m_firstPosition;     // position of list i's first line; one past all
    std::vector<std::uint32_t> m_itemLines;     // per item: the position of one line holding it
    std::vector<ListMask> m_itemLists;          // per item: bit i - 1 set when list i holds it
    std::vector<std::uint32_t> m_lineItems;     // per line position: its item
};

/// Compares 2 to 10 lists, given in list order. Lines are equal only when they are the same
/// UTF-16 units (no trimming, no case folding); the empty line is an item like any other.
/// An empty list still counts as one of the lists.
ComparisonResult CompareLists(const QList<QStringList> &sources);

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
