#include "compare/comparison.h"

#include "common/textlines.h"

#include <QHashFunctions>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <limits>
#include <system_error>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {

using ItemIndex = std::uint32_t;
using ListMask = std::uint16_t;
constexpr ItemIndex NoItem = std::numeric_limits<ItemIndex>::max();
constexpr const char16_t *BreakUnits = u"\r\n";

struct LineRef
{
    const char16_t *data;
    std::uint32_t size;
};

LineRef lineRef(const QString &line)
{
    // Lines of four billion units would not fit in memory in the first place.
    Q_ASSERT(quint64(line.size()) < std::numeric_limits<std::uint32_t>::max());
    return {reinterpret_cast<const char16_t *>(line.constData()), std::uint32_t(line.size())};
}

// The lines of one list given as strings.
class StringLines
{
public:
    explicit StringLines(const QStringList &lines) : m_lines(lines) {}
    bool next(LineRef *line)
    {
        if (m_next == m_lines.size())
            return false;
        *line = lineRef(m_lines.at(m_next++));
        return true;
    }

private:
    const QStringList &m_lines;
    qsizetype m_next = 0;
};

// The lines of one list given as a box text, cut where splitLines cuts it.
class TextLines
{
public:
    explicit TextLines(const QString &text)
        : m_next(reinterpret_cast<const char16_t *>(text.constData())), m_end(m_next + text.size())
    {
    }
    bool next(LineRef *line)
    {
        if (m_next == m_end)
            return false;
        const char16_t *begin = m_next;
        const char16_t *p = findBreak(begin);
        *line = {begin, std::uint32_t(p - begin)};
        if (p != m_end && *p == u'\r' && p + 1 != m_end && p[1] == u'\n')
            ++p;
        m_next = p == m_end ? p : p + 1;
        return true;
    }

private:
    // The first CR or LF from p on, or the end. Most units are far above CR, so eight are
    // ruled out at a time where the processor allows.
    const char16_t *findBreak(const char16_t *p) const
    {
#ifdef __SSE2__
        const __m128i limit = _mm_set1_epi16(u'\r');
        const __m128i zero = _mm_setzero_si128();
        while (m_end - p >= 8) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            // A unit at or below CR saturates to zero.
            const __m128i low = _mm_cmpeq_epi16(_mm_subs_epu16(units, limit), zero);
            if (_mm_movemask_epi8(low) == 0) {
                p += 8;
                continue;
            }
            for (const char16_t *stop = p + 8; p != stop; ++p)
                if (*p == u'\r' || *p == u'\n')
                    return p;
        }
#endif
        while (p != m_end && *p != u'\r' && *p != u'\n')
            ++p;
        return p;
    }

    const char16_t *m_next;
    const char16_t *m_end;
};

// One distinct line on its way through the sort: the next four UTF-16 units of the line
// from the sort's depth, packed so that integer order is ordinal order.
struct SortEntry
{
    std::uint64_t key;
    const char16_t *data;
    std::uint32_t size;
    ItemIndex item;  // the order in which the items were first met
};

constexpr std::uint32_t KeyUnits = 4;

std::uint64_t keyAt(const char16_t *data, std::uint32_t size, std::uint32_t depth)
{
    std::uint64_t key = 0;
    for (std::uint32_t u = depth; u < depth + KeyUnits; ++u)
        key = (key << 16) | (u < size ? data[u] : 0);
    return key;
}

// The units left after the key, 5 meaning "more than four". A line that ends inside the key
// sorts before every line it begins, even one going on with U+0000, which the key pads alike.
std::uint32_t tailAt(const SortEntry &entry, std::uint32_t depth)
{
    return std::min(entry.size - depth, KeyUnits + 1);
}

// Ordinal sort, most significant units first: most comparisons are of integers in a
// contiguous array. Lines that agree in a key and go on past it are sorted again on their
// next four units.
void sortItems(LargeVector<SortEntry> &entries)
{
    struct Range
    {
        std::size_t begin;
        std::size_t end;
        std::uint32_t depth;
    };
    std::vector<Range> pending{{0, entries.size(), 0}};
    while (!pending.empty()) {
        const Range range = pending.back();
        pending.pop_back();
        const auto first = entries.begin() + std::ptrdiff_t(range.begin);
        const auto last = entries.begin() + std::ptrdiff_t(range.end);
        const std::uint32_t depth = range.depth;
        if (range.end - range.begin <= 16) {
            // Few lines: compare what is left of them directly.
            std::sort(first, last, [depth](const SortEntry &a, const SortEntry &b) {
                return std::lexicographical_compare(a.data + depth, a.data + a.size,
                                                    b.data + depth, b.data + b.size);
            });
            continue;
        }
        if (depth > 0) {
            // The lines' characters are scattered: ask for them a few entries ahead.
            constexpr std::size_t Ahead = 8;
            for (std::size_t k = range.begin; k < range.end; ++k) {
                if (k + Ahead < range.end)
                    __builtin_prefetch(entries[k + Ahead].data + depth);
                SortEntry &entry = entries[k];
                entry.key = keyAt(entry.data, entry.size, depth);
            }
        }
        std::sort(first, last, [depth](const SortEntry &a, const SortEntry &b) {
            return a.key != b.key ? a.key < b.key : tailAt(a, depth) < tailAt(b, depth);
        });
        for (std::size_t runBegin = range.begin; runBegin < range.end;) {
            const SortEntry &head = entries[runBegin];
            std::size_t runEnd = runBegin + 1;
            while (runEnd < range.end && entries[runEnd].key == head.key
                   && tailAt(entries[runEnd], depth) == tailAt(head, depth))
                ++runEnd;
            // Distinct lines agree in key and tail only when both go on past the key.
            if (runEnd - runBegin > 1)
                pending.push_back({runBegin, runEnd, depth + KeyUnits});
            runBegin = runEnd;
        }
    }
}

// Open addressing over the items met so far. A slot keeps its line's hash beside the item,
// so a probe reads a line only when the hashes agree, and growing reads none.
class ItemTable
{
public:
    ItemTable() : m_slots(1u << 16), m_mask(m_slots.size() - 1) {}

    static std::uint32_t hashOf(LineRef line)
    {
        return std::uint32_t(qHash(QStringView(line.data, qsizetype(line.size)), 0));
    }
    void prefetch(std::uint32_t hash) const { __builtin_prefetch(&m_slots[hash & m_mask]); }
    // The item in the line's first slot when its hash agrees, else NoItem.
    ItemIndex likelyItem(std::uint32_t hash) const
    {
        const Slot &slot = m_slots[hash & m_mask];
        return slot.hash == hash ? slot.itemPlusOne - 1 : NoItem;
    }

    // The item equal to line, or items.size() after appending line as a new item.
    ItemIndex findOrAdd(LineRef line, std::uint32_t hash, LargeVector<SortEntry> &items)
    {
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (slot.itemPlusOne == 0) {
                const auto item = ItemIndex(items.size());
                items.push_back({keyAt(line.data, line.size, 0), line.data, line.size, item});
                slot = {hash, item + 1};
                if (++m_count * 10 > m_slots.size() * 7)
                    grow();
                return item;
            }
            if (slot.hash == hash) {
                const SortEntry &known = items[slot.itemPlusOne - 1];
                if (known.size == line.size
                    && std::equal(line.data, line.data + line.size, known.data))
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
        LargeVector<Slot> old(m_slots.size() * 2);
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

    LargeVector<Slot> m_slots;
    std::size_t m_mask;
    std::size_t m_count = 0;
};

// Counted by halves without the library call that a plain popcount becomes here.
int listsIn(ListMask mask)
{
    unsigned v = mask;
    v = v - ((v >> 1) & 0x5555u);
    v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
    v = (v + (v >> 4)) & 0x0F0Fu;
    return int((v + (v >> 8)) & 0x1Fu);
}

} // namespace

// Numbers every line by its item (hashing). Given a part, it takes only the lines whose hash
// falls in that half, and marks the others NoItem: equal lines hash alike, so two builders
// over the two halves never share an item and can run on two threads without locks.
class ComparisonBuilder
{
public:
    static constexpr int AllParts = -1;
    explicit ComparisonBuilder(int part = AllParts) : m_part(part) {}

    template <typename Lines>
    void addList(Lines lines, int listIndex)
    {
        Q_ASSERT(listIndex >= 0 && listIndex < ComparisonResult::MaxLists);
        const auto bit = ListMask(1u << listIndex);
        // Lines go in batches through a pipeline: what a line will read (its table slot,
        // then the entry and the characters of the item it probably equals) is asked for
        // one batch ahead of the step that reads it, so the memory latencies of many lines
        // overlap instead of adding up. Guesses made ahead are only hints: findOrAdd looks
        // again after the batches before have added their items.
        constexpr int Stages = 4;
        std::array<Batch, Stages> ring;
        bool more = true;
        for (std::size_t step = 0;; ++step) {
            Batch &incoming = ring[step % Stages];
            incoming.count = 0;
            while (more && incoming.count < Batch::Size
                   && (more = lines.next(&incoming.lines[incoming.count])))
                ++incoming.count;
            for (int k = 0; k < incoming.count; ++k) {
                incoming.hashes[k] = ItemTable::hashOf(incoming.lines[k]);
                if (takes(incoming.hashes[k]))
                    m_table.prefetch(incoming.hashes[k]);
            }
            if (step >= 1) {
                Batch &batch = ring[(step - 1) % Stages];
                for (int k = 0; k < batch.count; ++k) {
                    batch.likely[k] =
                        takes(batch.hashes[k]) ? m_table.likelyItem(batch.hashes[k]) : NoItem;
                    if (batch.likely[k] < m_items.size())
                        __builtin_prefetch(&m_items[batch.likely[k]]);
                }
            }
            if (step >= 2) {
                const Batch &batch = ring[(step - 2) % Stages];
                for (int k = 0; k < batch.count; ++k)
                    if (batch.likely[k] < m_items.size())
                        __builtin_prefetch(m_items[batch.likely[k]].data);
            }
            if (step >= 3) {
                const Batch &batch = ring[(step - 3) % Stages];
                if (batch.count == 0 && !more)
                    break;
                for (int k = 0; k < batch.count; ++k) {
                    if (!takes(batch.hashes[k])) {
                        m_lineItems.push_back(NoItem);
                        continue;
                    }
                    const ItemIndex item =
                        m_table.findOrAdd(batch.lines[k], batch.hashes[k], m_items);
                    if (item == m_masks.size())
                        m_masks.push_back(0);
                    m_masks[item] |= bit;
                    m_lineItems.push_back(item);
                }
            }
        }
    }

    std::size_t lineCount() const { return m_lineItems.size(); }
    void dropTable() { m_table = ItemTable(); }

private:
    friend class ComparisonAssembler;
    struct Batch
    {
        static constexpr int Size = 32;
        int count = 0;
        LineRef lines[Size];
        std::uint32_t hashes[Size];
        ItemIndex likely[Size];  // a guess; NoItem when the line's slot suggests none
    };

    // The top bit picks the half: the table's slots are chosen by the low bits.
    bool takes(std::uint32_t hash) const { return m_part < 0 || int(hash >> 31) == m_part; }

    int m_part;
    ItemTable m_table;
    LargeVector<SortEntry> m_items;  // in the order first met
    LargeVector<ListMask> m_masks;
    LargeVector<ItemIndex> m_lineItems;  // per line of all lists in turn
};

namespace {

// From this many lines on, the two halves of the items are numbered and sorted on two
// threads; below it a thread costs more than it saves. Box texts are judged by their units.
constexpr std::size_t TwoThreadsFromLines = 200000;
constexpr qsizetype TwoThreadsFromUnits = qsizetype(TwoThreadsFromLines) * 8;

// Runs work(0) here and, when two, work(1) on a second thread at the same time.
template <typename Work>
void onBothThreads(bool two, const Work &work)
{
    if (!two) {
        work(0);
        return;
    }
    std::thread second;
    try {
        second = std::thread([&work] { work(1); });
    } catch (const std::system_error &) {
        // No thread to be had: the halves are independent, so do them in turn.
        work(1);
    }
    work(0);
    if (second.joinable())
        second.join();
}

bool unitsBefore(const SortEntry &a, const SortEntry &b)
{
    return std::lexicographical_compare(a.data, a.data + a.size, b.data, b.data + b.size);
}

} // namespace

// Puts the builders' items together: the line counts, and the merged text in ordinal order,
// merging the builders' sorted halves.
class ComparisonAssembler
{
public:
    // Numbers the lines of every source (one builder per thread), then finishes.
    template <typename Lines, typename Sources>
    static void compare(const Sources &sources, bool two, ComparisonResult &result)
    {
        std::vector<ComparisonBuilder> builders;
        if (two)
            builders = {ComparisonBuilder(0), ComparisonBuilder(1)};
        else
            builders.emplace_back();
        onBothThreads(two, [&](int t) {
            ComparisonBuilder &builder = builders[std::size_t(t)];
            for (qsizetype i = 0; i < sources.size(); ++i) {
                builder.addList(Lines(sources.at(i)), int(i));
                if (t == 0)
                    result.m_listStarts.push_back(builder.lineCount());
            }
        });
        result.m_listStarts.insert(result.m_listStarts.begin(), 0);
        finish(builders, result);
    }

    static void finish(std::vector<ComparisonBuilder> &builders, ComparisonResult &result)
    {
        const bool two = builders.size() == 2;
        onBothThreads(two, [&](int t) {
            ComparisonBuilder &builder = builders[std::size_t(t)];
            builder.dropTable();
            sortItems(builder.m_items);
        });
        // The merged text is cut where the middle item of the first half would go, and each
        // thread merges and writes one side of the cut.
        const LargeVector<SortEntry> &a = builders.front().m_items;
        const LargeVector<SortEntry> &b = builders.back().m_items;
        const Span whole{0, a.size(), 0, two ? b.size() : 0};
        Span low = whole;
        if (two && !a.empty()) {
            low.aEnd = a.size() / 2;
            low.bEnd = std::size_t(
                std::lower_bound(b.begin(), b.end(), a[low.aEnd], unitsBefore) - b.begin());
        }
        prepareMerged(builders, result, low);
        onBothThreads(two, [&](int t) {
            if (t == 1 || !two)
                countLines(builders, result);
            if (t == 0)
                writeMerged(builders, result, low);
            else
                writeMerged(builders, result, {low.aEnd, whole.aEnd, low.bEnd, whole.bEnd});
        });
        result.m_itemStarts.back() = result.m_mergedText.size();
        for (ComparisonBuilder &builder : builders) {
            LargeVector<SortEntry>().swap(builder.m_items);
            LargeVector<ListMask>().swap(builder.m_masks);
        }
    }

private:
    // Every line keeps only the number of lists that hold it: that is all that unique and
    // shared need, and it is read in the line's order.
    static void countLines(std::vector<ComparisonBuilder> &builders, ComparisonResult &result)
    {
        const ComparisonBuilder &first = builders.front();
        const ComparisonBuilder &last = builders.back();
        const std::size_t lines = first.m_lineItems.size();
        result.m_lineCounts.resize(lines);
        auto maskOf = [&](std::size_t line) {
            const ItemIndex item = first.m_lineItems[line];
            return item != NoItem ? first.m_masks[item] : last.m_masks[last.m_lineItems[line]];
        };
        for (std::size_t line = 0; line < lines; ++line) {
            constexpr std::size_t Ahead = 16;
            if (line + Ahead < lines) {
                const ItemIndex item = first.m_lineItems[line + Ahead];
                if (item != NoItem)
                    __builtin_prefetch(&first.m_masks[item]);
                else
                    __builtin_prefetch(&last.m_masks[last.m_lineItems[line + Ahead]]);
            }
            result.m_lineCounts[line] = std::uint8_t(listsIn(maskOf(line)));
        }
        for (ComparisonBuilder &builder : builders)
            LargeVector<ItemIndex>().swap(builder.m_lineItems);
    }

    // The items of the first half from aBegin to aEnd and of the second from bBegin to bEnd.
    struct Span
    {
        std::size_t aBegin;
        std::size_t aEnd;
        std::size_t bBegin;
        std::size_t bEnd;
    };

    // The merged box text is written once, in merged order. The other results in that order
    // are then copied from it in long runs instead of from lines all over the lists. This
    // makes room for it and notes where the items after the span low begin.
    static void prepareMerged(const std::vector<ComparisonBuilder> &builders,
                              ComparisonResult &result, const Span &low)
    {
        const bool two = builders.size() == 2;
        qsizetype size = 0;
        qsizetype lowSize = 0;
        for (std::size_t t = 0; t < builders.size(); ++t) {
            const LargeVector<SortEntry> &items = builders[t].m_items;
            const std::size_t lowEnd = t == 0 ? low.aEnd : low.bEnd;
            for (std::size_t k = 0; k < items.size(); ++k) {
                size += qsizetype(items[k].size) + 2;
                if (k < lowEnd)
                    lowSize += qsizetype(items[k].size) + 2;
            }
        }
        const std::size_t count = builders.front().m_items.size()
                                  + (two ? builders.back().m_items.size() : 0);
        result.m_mergedText = QString(size, Qt::Uninitialized);
        adviseLargePages(result.m_mergedText.data(), std::size_t(size) * sizeof(QChar));
        result.m_itemStarts.resize(count + 1);
        result.m_itemMasks.resize(count);
        result.m_itemStarts[low.aEnd + low.bEnd] = two ? lowSize : size;
    }

    // Merges the span into the merged text from where prepareMerged put its first item.
    static void writeMerged(const std::vector<ComparisonBuilder> &builders,
                            ComparisonResult &result, const Span &span)
    {
        const LargeVector<SortEntry> &a = builders.front().m_items;
        const LargeVector<SortEntry> &b = builders.back().m_items;
        const LargeVector<ListMask> &aMasks = builders.front().m_masks;
        const LargeVector<ListMask> &bMasks = builders.back().m_masks;
        const bool two = builders.size() == 2;
        std::size_t k = span.aBegin + span.bBegin;
        qsizetype start = span.aBegin + span.bBegin == 0 ? 0 : result.m_itemStarts[k];
        auto *out = reinterpret_cast<char16_t *>(result.m_mergedText.data()) + start;
        std::size_t ia = span.aBegin;
        std::size_t ib = span.bBegin;
        for (; ia < span.aEnd || ib < span.bEnd; ++k) {
            constexpr std::size_t Ahead = 16;
            if (ia + Ahead < span.aEnd)
                __builtin_prefetch(a[ia + Ahead].data);
            if (two && ib + Ahead < span.bEnd)
                __builtin_prefetch(b[ib + Ahead].data);
            // No line is in both halves, so the two never tie.
            const bool fromB =
                two && ib < span.bEnd && (ia == span.aEnd || unitsBefore(b[ib], a[ia]));
            const SortEntry &entry = fromB ? b[ib++] : a[ia++];
            out = std::copy_n(entry.data, entry.size, out);
            *out++ = u'\r';
            *out++ = u'\n';
            result.m_itemStarts[k] = start;
            start += qsizetype(entry.size) + 2;
            result.m_itemMasks[k] = fromB ? bMasks[entry.item] : aMasks[entry.item];
        }
    }
};

ComparisonResult CompareLists(const QList<QStringList> &sources)
{
    Q_ASSERT(sources.size() >= 2 && sources.size() <= ComparisonResult::MaxLists);
    ComparisonResult result;
    result.m_lists = sources;
    std::size_t total = 0;
    for (const QStringList &list : sources)
        total += std::size_t(list.size());
    // Items and lines are numbered in 32 bits: four billion lines would not fit in memory.
    Q_ASSERT(total < std::numeric_limits<std::uint32_t>::max());
    ComparisonAssembler::compare<StringLines>(result.m_lists, total >= TwoThreadsFromLines,
                                              result);
    return result;
}

ComparisonResult CompareLists(const QStringList &texts)
{
    Q_ASSERT(texts.size() >= 2 && texts.size() <= ComparisonResult::MaxLists);
    ComparisonResult result;
    result.m_texts = texts;
    qsizetype units = 0;
    for (const QString &text : texts)
        units += text.size();
    ComparisonAssembler::compare<TextLines>(result.m_texts, units >= TwoThreadsFromUnits,
                                            result);
    return result;
}

template <typename Visit>
void ComparisonResult::forEachRun(Box box, int i, const Visit &visit) const
{
    const int n = listCount();
    if (box == Box::Merged || box == Box::Common || box == Box::Absent) {
        Q_ASSERT(box != Box::Absent || (i >= 1 && i <= n));
        const auto bit = ListMask(box == Box::Absent ? 1u << (i - 1) : 0);
        const auto allLists = ListMask((1u << n) - 1);
        auto taken = [&](ListMask mask) {
            return box == Box::Merged || (box == Box::Common && mask == allLists)
                   || (box == Box::Absent && !(mask & bit));
        };
        const auto *merged = reinterpret_cast<const char16_t *>(m_mergedText.constData());
        const std::size_t count = m_itemMasks.size();
        for (std::size_t k = 0; k < count;) {
            if (!taken(m_itemMasks[k])) {
                ++k;
                continue;
            }
            const std::size_t first = k;
            while (k < count && taken(m_itemMasks[k]))
                ++k;
            visit(merged + m_itemStarts[first], m_itemStarts[k] - m_itemStarts[first]);
        }
        return;
    }
    Q_ASSERT(i >= 1 && i <= n);
    // Unique and shared lines are copied from the list itself, read in order.
    auto walk = [&](auto lines) {
        LineRef line;
        for (std::size_t position = m_listStarts[std::size_t(i - 1)]; lines.next(&line);
             ++position) {
            const int count = m_lineCounts[position];
            // A line that every list holds is common and goes in neither.
            if (box == Box::Unique ? count == 1 : count > 1 && count < n) {
                visit(line.data, qsizetype(line.size));
                visit(BreakUnits, 2);
            }
        }
    };
    if (m_texts.isEmpty())
        walk(StringLines(m_lists.at(i - 1)));
    else
        walk(TextLines(m_texts.at(i - 1)));
}

QStringList ComparisonResult::lines(Box box, int i) const
{
    // Item by item rather than by cutting the text: a line given in a list may hold a break.
    QStringList result;
    if (box == Box::Unique || box == Box::Shared) {
        forEachRun(box, i, [&](const char16_t *units, qsizetype length) {
            if (units != BreakUnits)
                result.append(QString(reinterpret_cast<const QChar *>(units), length));
        });
        return result;
    }
    const int n = listCount();
    const auto all = ListMask((1u << n) - 1);
    for (std::size_t k = 0; k < m_itemMasks.size(); ++k) {
        const ListMask mask = m_itemMasks[k];
        if (box == Box::Merged || (box == Box::Common && mask == all)
            || (box == Box::Absent && !(mask & (1u << (i - 1)))))
            result.append(item(qsizetype(k)));
    }
    return result;
}

QString ComparisonResult::text(Box box, int i) const
{
    if (box == Box::Merged)
        return m_mergedText;
    qsizetype size = 0;
    forEachRun(box, i, [&](const char16_t *, qsizetype length) { size += length; });
    QString text(size, Qt::Uninitialized);
    adviseLargePages(text.data(), std::size_t(size) * sizeof(QChar));
    auto *out = reinterpret_cast<char16_t *>(text.data());
    forEachRun(box, i, [&](const char16_t *units, qsizetype length) {
        out = std::copy_n(units, length, out);
    });
    return text;
}

QString ComparisonResult::item(qsizetype k) const
{
    const auto index = std::size_t(k);
    const qsizetype start = m_itemStarts.at(index);
    return m_mergedText.mid(start, m_itemStarts.at(index + 1) - start - 2);
}

int ComparisonResult::listsHolding(qsizetype k) const
{
    return listsIn(m_itemMasks.at(std::size_t(k)));
}

bool ComparisonResult::listHolds(int i, qsizetype k) const
{
    Q_ASSERT(i >= 1 && i <= listCount());
    return (m_itemMasks.at(std::size_t(k)) >> (i - 1)) & 1u;
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
