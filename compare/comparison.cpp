#include "compare/comparison.h"

#include "common/textlines.h"

#include <QHashFunctions>

#include <algorithm>
#include <bit>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

using Position = std::uint32_t;
using ItemIndex = std::uint32_t;

// Open addressing over item indexes. A slot keeps its line's hash beside the index, so a
// probe touches a line only when the hashes agree, and growing needs no line at all.
class ItemTable
{
public:
    explicit ItemTable(std::size_t expected)
    {
        std::size_t capacity = 16;
        while (capacity < expected * 2)
            capacity *= 2;
        m_slots.assign(capacity, Slot{});
        m_mask = capacity - 1;
    }

    // The index of the item equal to line, or the index newIndex after adding it as new.
    template <typename LineOf>
    ItemIndex findOrAdd(const QString &line, ItemIndex newIndex, const LineOf &lineOf,
                        bool *added)
    {
        const auto hash = std::uint32_t(qHash(line, 0));
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (slot.itemPlusOne == 0) {
                slot = Slot{hash, newIndex + 1};
                *added = true;
                if (++m_count * 10 > m_slots.size() * 7)
                    grow();
                return newIndex;
            }
            if (slot.hash == hash && lineOf(slot.itemPlusOne - 1) == line) {
                *added = false;
                return slot.itemPlusOne - 1;
            }
        }
    }

private:
    struct Slot
    {
        std::uint32_t hash = 0;
        ItemIndex itemPlusOne = 0;  // 0 marks a free slot
    };

    void grow()
    {
        std::vector<Slot> old(m_slots.size() * 2, Slot{});
        old.swap(m_slots);
        m_mask = m_slots.size() - 1;
        for (const Slot &slot : old) {
            if (slot.itemPlusOne == 0)
                continue;
            std::size_t i = slot.hash & m_mask;
            while (m_slots[i].itemPlusOne != 0)
                i = (i + 1) & m_mask;
            m_slots[i] = slot;
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_count = 0;
};

// Ordinal sort of distinct lines, most significant units first: a key holds the next four
// UTF-16 units of a line, so most comparisons are of integers and stay in cache. Lines that
// agree in a key and go on past it are sorted again on their next four units.
struct SortEntry
{
    std::uint64_t key;
    ItemIndex item;
    std::uint32_t tail;  // units left after the key's start, 5 meaning "more than four"
};

constexpr qsizetype KeyUnits = 4;

void fillKey(SortEntry &entry, const QString &line, qsizetype depth)
{
    const qsizetype left = line.size() - depth;
    const char16_t *units = reinterpret_cast<const char16_t *>(line.constData()) + depth;
    std::uint64_t key = 0;
    for (qsizetype u = 0; u < KeyUnits; ++u)
        key = (key << 16) | (u < left ? units[u] : 0);
    entry.key = key;
    // A shorter tail sorts first: a line that ends inside the key precedes every line it
    // begins, even one continuing with U+0000, which the key pads the same way.
    entry.tail = std::uint32_t(std::min<qsizetype>(left, KeyUnits + 1));
}

bool entryLess(const SortEntry &a, const SortEntry &b)
{
    return a.key != b.key ? a.key < b.key : a.tail < b.tail;
}

template <typename LineOf>
void sortItems(std::vector<SortEntry> &entries, const LineOf &lineOf)
{
    struct Range
    {
        std::size_t begin;
        std::size_t end;
        qsizetype depth;
    };
    std::vector<Range> pending{{0, entries.size(), 0}};
    while (!pending.empty()) {
        const Range range = pending.back();
        pending.pop_back();
        const auto first = entries.begin() + std::ptrdiff_t(range.begin);
        const auto last = entries.begin() + std::ptrdiff_t(range.end);
        if (range.end - range.begin <= 24) {
            // Few lines: compare what is left of them directly.
            std::sort(first, last, [&](const SortEntry &a, const SortEntry &b) {
                const QString &x = lineOf(a.item);
                const QString &y = lineOf(b.item);
                const auto *px = reinterpret_cast<const char16_t *>(x.constData());
                const auto *py = reinterpret_cast<const char16_t *>(y.constData());
                return std::lexicographical_compare(px + range.depth, px + x.size(),
                                                    py + range.depth, py + y.size());
            });
            continue;
        }
        if (range.depth > 0)
            for (auto it = first; it != last; ++it)
                fillKey(*it, lineOf(it->item), range.depth);
        std::sort(first, last, entryLess);
        for (std::size_t runBegin = range.begin; runBegin < range.end;) {
            std::size_t runEnd = runBegin + 1;
            while (runEnd < range.end && entries[runEnd].key == entries[runBegin].key
                   && entries[runEnd].tail == entries[runBegin].tail)
                ++runEnd;
            // Distinct lines agree in key and tail only when both go on past the key.
            if (runEnd - runBegin > 1)
                pending.push_back({runBegin, runEnd, range.depth + KeyUnits});
            runBegin = runEnd;
        }
    }
}

int listsIn(std::uint16_t mask)
{
    return std::popcount(mask);
}

} // namespace

ComparisonResult CompareLists(const QList<QStringList> &sources)
{
    Q_ASSERT(sources.size() >= 2 && sources.size() <= ComparisonResult::MaxLists);
    ComparisonResult result;
    result.m_sources = sources;
    const QList<QStringList> &lists = result.m_sources;
    std::size_t total = 0;
    std::size_t longest = 0;
    for (const QStringList &list : lists) {
        result.m_firstPosition.push_back(qsizetype(total));
        total += std::size_t(list.size());
        longest = std::max(longest, std::size_t(list.size()));
    }
    result.m_firstPosition.push_back(qsizetype(total));
    // Positions and items are 32-bit: four billion lines would not fit in memory anyway.
    Q_ASSERT(total < std::numeric_limits<std::uint32_t>::max());

    // Every line gets the index of its item, items numbered as first met.
    std::vector<Position> firstLines;
    std::vector<ComparisonResult::ListMask> itemLists;
    result.m_lineItems.resize(total);
    {
        auto lineOf = [&](ItemIndex item) -> const QString & {
            return result.lineAt(firstLines[item]);
        };
        ItemTable table(longest);
        Position position = 0;
        for (qsizetype i = 0; i < lists.size(); ++i) {
            const auto bit = ComparisonResult::ListMask(1u << i);
            for (const QString &line : lists.at(i)) {
                bool added = false;
                const ItemIndex item =
                    table.findOrAdd(line, ItemIndex(firstLines.size()), lineOf, &added);
                if (added) {
                    firstLines.push_back(position);
                    itemLists.push_back(0);
                }
                itemLists[item] |= bit;
                result.m_lineItems[position++] = item;
            }
        }
    }

    // One sort of the distinct items gives the merged order; then items are renumbered in it.
    const std::size_t itemCount = firstLines.size();
    std::vector<ItemIndex> rank(itemCount);
    {
        std::vector<SortEntry> entries(itemCount);
        for (std::size_t k = 0; k < itemCount; ++k) {
            entries[k].item = ItemIndex(k);
            fillKey(entries[k], result.lineAt(firstLines[k]), 0);
        }
        sortItems(entries, [&](ItemIndex item) -> const QString & {
            return result.lineAt(firstLines[item]);
        });
        result.m_itemLines.resize(itemCount);
        result.m_itemLists.resize(itemCount);
        for (std::size_t k = 0; k < itemCount; ++k) {
            const ItemIndex item = entries[k].item;
            rank[item] = ItemIndex(k);
            result.m_itemLines[k] = firstLines[item];
            result.m_itemLists[k] = itemLists[item];
        }
    }
    for (ItemIndex &item : result.m_lineItems)
        item = rank[item];
    return result;
}

const QString &ComparisonResult::lineAt(std::uint32_t position) const
{
    std::size_t list = 0;
    while (qsizetype(position) >= m_firstPosition[list + 1])
        ++list;
    return m_sources.at(qsizetype(list)).at(qsizetype(position) - m_firstPosition[list]);
}

QString ComparisonResult::item(qsizetype k) const
{
    return lineAt(m_itemLines.at(std::size_t(k)));
}

int ComparisonResult::listsHolding(qsizetype k) const
{
    return listsIn(m_itemLists.at(std::size_t(k)));
}

bool ComparisonResult::listHolds(int i, qsizetype k) const
{
    Q_ASSERT(i >= 1 && i <= listCount());
    return (m_itemLists.at(std::size_t(k)) >> (i - 1)) & 1u;
}

QStringList ComparisonResult::merged() const
{
    QStringList lines;
    lines.reserve(qsizetype(m_itemLines.size()));
    for (const Position position : m_itemLines)
        lines.append(lineAt(position));
    return lines;
}

QStringList ComparisonResult::common() const
{
    QStringList lines;
    for (std::size_t k = 0; k < m_itemLines.size(); ++k)
        if (listsIn(m_itemLists[k]) == listCount())
            lines.append(lineAt(m_itemLines[k]));
    return lines;
}

QStringList ComparisonResult::resultOfList(int i, int minCount, int maxCount) const
{
    Q_ASSERT(i >= 1 && i <= listCount());
    const QStringList &source = m_sources.at(i - 1);
    const qsizetype first = m_firstPosition[std::size_t(i - 1)];
    QStringList lines;
    for (qsizetype line = 0; line < source.size(); ++line) {
        const int count = listsIn(m_itemLists[m_lineItems[std::size_t(first + line)]]);
        if (count >= minCount && count <= maxCount)
            lines.append(source.at(line));
    }
    return lines;
}

QStringList ComparisonResult::unique(int i) const
{
    return resultOfList(i, 1, 1);
}

QStringList ComparisonResult::shared(int i) const
{
    return resultOfList(i, 2, listCount() - 1);
}

QStringList ComparisonResult::absent(int i) const
{
    Q_ASSERT(i >= 1 && i <= listCount());
    const auto bit = ListMask(1u << (i - 1));
    QStringList lines;
    for (std::size_t k = 0; k < m_itemLines.size(); ++k)
        if (!(m_itemLists[k] & bit))
            lines.append(lineAt(m_itemLines[k]));
    return lines;
}

QStringList UniqList(const QStringList &lines)
{
    QStringList kept;
    for (const QString &line : lines)
        if (kept.isEmpty() || line != kept.constLast())
            kept.append(line);
    return kept;
}

int GetFreqList(const QStringList &sorted, QStringList &items, QStringList &counts)
{
    items.clear();
    counts.clear();
    qsizetype runBegin = 0;
    for (qsizetype i = 1; i <= sorted.size(); ++i) {
        if (i < sorted.size() && sorted.at(i) == sorted.at(runBegin))
            continue;
        items.append(sorted.at(runBegin));
        counts.append(QString::number(i - runBegin));
        runBegin = i;
    }
    return int(items.size());
}

CountRefreshTexts countRefreshTexts(const BoxLineCounts &counts, int listCount)
{
    auto caption = [](const QString &text, int count) {
        return text + u" ("_s + QString::number(count) + u')';
    };
    CountRefreshTexts texts;
    for (int k = 0; k < ComparisonResult::MaxLists; ++k) {
        texts.source[k] = caption(u"Список "_s + QString::number(k + 1), counts.source[k]);
        texts.unique[k] = caption(u"Уникальные"_s, counts.unique[k]);
        texts.absent[k] = caption(u"Отсутствующие"_s, counts.absent[k]);
        texts.shared[k] = caption(u"Пересекающиеся"_s, counts.shared[k]);
    }
    texts.common = caption(u"Общие во всех списках"_s, counts.common);
    texts.merged = caption(u"Объединённый список"_s, counts.merged);
    texts.status = u"Списков: "_s + QString::number(listCount);
    return texts;
}
