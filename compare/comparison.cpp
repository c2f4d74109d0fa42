#include "compare/comparison.h"

#include "common/textlines.h"

#include <QHashFunctions>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <limits>
#include <memory>
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
    std::uint32_t hash = 0;  // filled in when the line is to be numbered
};

LineRef lineRef(const QString &line)
{
    // Lines of four billion units would not fit in memory in the first place.
    Q_ASSERT(quint64(line.size()) < std::numeric_limits<std::uint32_t>::max());
    return {reinterpret_cast<const char16_t *>(line.constData()), std::uint32_t(line.size()), 0};
}

// The lines of one list given as strings, from line begin on.
class StringLines
{
public:
    explicit StringLines(const QStringList &lines, qsizetype begin = 0, qsizetype end = -1)
        : m_lines(lines), m_next(begin), m_end(end < 0 ? lines.size() : end)
    {
    }
    bool next(LineRef *line)
    {
        if (m_next == m_end)
            return false;
        *line = lineRef(m_lines.at(m_next++));
        return true;
    }

private:
    const QStringList &m_lines;
    qsizetype m_next;
    qsizetype m_end;
};

// The lines of one list given as a box text, cut where splitLines cuts it.
class TextLines
{
public:
    explicit TextLines(const QString &text)
        : m_next(reinterpret_cast<const char16_t *>(text.constData())), m_end(m_next + text.size())
    {
    }
    // The lines from the one starting at begin to the end of the text or to the line
    // starting at end.
    TextLines(const char16_t *begin, const char16_t *end) : m_next(begin), m_end(end) {}
    bool next(LineRef *line)
    {
        if (m_next == m_end)
            return false;
        const char16_t *begin = m_next;
        const char16_t *p = findBreak(begin);
        *line = {begin, std::uint32_t(p - begin), 0};
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
void sortItems(LargeVector<SortEntry> &entries, std::size_t begin, std::size_t end)
{
    struct Range
    {
        std::size_t begin;
        std::size_t end;
        std::uint32_t depth;
    };
    std::vector<Range> pending{{begin, end, 0}};
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
            constexpr std::size_t Ahead = 32;
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

// What the line counts need of an item.
struct ItemInfo
{
    std::uint32_t size;
    ListMask mask;
};

// Open addressing over the items met so far. A slot holds everything a probe needs (the
// line's hash, where its characters are, the lists holding it), so a probe reads a line
// only when the hashes agree, growing reads none, and a line costs one slot and at most one
// line to read.
class ItemTable
{
public:
    // Room for expected items without growing, within reason.
    explicit ItemTable(std::size_t expected)
        : m_slots(std::bit_ceil(std::clamp<std::size_t>(expected * 10 / 7, 1u << 16, 1u << 24))),
          m_mask(m_slots.size() - 1)
    {
        // Only address space until used: the pages come as the items do.
        m_items.reserve(expected);
    }

    static std::uint32_t hashOf(LineRef line)
    {
        return std::uint32_t(qHash(QStringView(line.data, qsizetype(line.size)), 0));
    }
    void prefetch(std::uint32_t hash) const { __builtin_prefetch(&m_slots[hash & m_mask]); }
    // The characters of the line in the line's first slot when its hash agrees, else null.
    const char16_t *likelyData(std::uint32_t hash) const
    {
        const Slot &slot = m_slots[hash & m_mask];
        return slot.item != NoItem && slot.hash == hash ? slot.data : nullptr;
    }

    // The item equal to line, numbered in the order first met, after marking it as held
    // by the lists of bit.
    ItemIndex add(LineRef line, std::uint32_t hash, ListMask bit)
    {
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (slot.item == NoItem) {
                const auto item = ItemIndex(m_count);
                slot = {line.data, line.size, hash, item, bit};
                m_items.push_back({keyAt(line.data, line.size, 0), line.data, line.size, item});
                if (++m_count * 10 > m_slots.size() * 7)
                    grow();
                return item;
            }
            if (slot.hash == hash && slot.size == line.size
                && std::equal(line.data, line.data + line.size, slot.data)) {
                slot.mask |= bit;
                return slot.item;
            }
        }
    }

    // Hands the items over for sorting, in the order first met, with the size of each and
    // the lists holding it by item, and frees the table.
    void takeItems(LargeVector<SortEntry> &items, LargeVector<ItemInfo> &info)
    {
        items = std::move(m_items);
        info.resize(m_count);
        for (const Slot &slot : m_slots)
            if (slot.item != NoItem)
                info[slot.item] = {slot.size, slot.mask};
        LargeVector<Slot>().swap(m_slots);
        m_count = 0;
    }

private:
    struct Slot
    {
        const char16_t *data = nullptr;
        std::uint32_t size = 0;
        std::uint32_t hash = 0;
        ItemIndex item = NoItem;  // NoItem marks a free slot
        ListMask mask = 0;
    };

    void grow()
    {
        LargeVector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        m_mask = m_slots.size() - 1;
        for (const Slot &slot : old) {
            if (slot.item == NoItem)
                continue;
            std::size_t i = slot.hash & m_mask;
            while (m_slots[i].item != NoItem)
                i = (i + 1) & m_mask;
            m_slots[i] = slot;
        }
    }

    LargeVector<Slot> m_slots;
    std::size_t m_mask;
    std::size_t m_count = 0;
    LargeVector<SortEntry> m_items;  // in the order first met
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

using Box = ComparisonResult::Box;

// Whether the merged, common or absent box of list i, out of n lists, takes an item that
// the lists of mask hold.
bool boxTakesItem(Box box, ListMask mask, int i, int n)
{
    return box == Box::Merged || (box == Box::Common && mask == ListMask((1u << n) - 1))
           || (box == Box::Absent && !(mask & (1u << (i - 1))));
}

// Whether a unique or shared box takes a line that count of the n lists hold. A line that
// every list holds is common and goes in neither.
bool boxTakesLine(Box box, int count, int n)
{
    return box == Box::Unique ? count == 1 : count > 1 && count < n;
}

} // namespace

// Numbers every line by its item (hashing), noting which lists hold each item.
class ComparisonBuilder
{
public:
    ComparisonBuilder(std::size_t expectedLines, std::size_t expectedItems)
        : m_table(expectedItems)
    {
        m_lineItems.reserve(expectedLines);
    }

    // Numbers the lines of the sources in turn and notes where each list ends. With two, a
    // second thread cuts the lines and hashes them, in batches, while this one numbers them.
    template <typename Lines, typename Sources>
    void addLists(const Sources &sources, bool two, std::vector<std::size_t> &listEnds)
    {
        if (two && addListsOnTwoThreads<Lines>(sources, listEnds))
            return;
        auto batch = std::make_unique<Batch>();
        for (qsizetype i = 0; i < sources.size(); ++i) {
            Lines lines(sources.at(i));
            do {
                fill(lines, int(i), *batch);
                number(*batch);
            } while (!batch->endsList);
            listEnds.push_back(lineCount());
        }
    }

    std::size_t lineCount() const { return m_lineItems.size(); }

private:
    friend class ComparisonAssembler;

    struct Batch
    {
        static constexpr int Size = 4096;
        int count = 0;
        int list = 0;
        bool endsList = false;
        std::array<LineRef, Size> lines;
    };

    template <typename Lines>
    static void fill(Lines &lines, int list, Batch &batch)
    {
        batch.list = list;
        batch.count = 0;
        while (batch.count < Batch::Size && lines.next(&batch.lines[batch.count])) {
            LineRef &line = batch.lines[batch.count++];
            line.hash = ItemTable::hashOf(line);
        }
        batch.endsList = batch.count < Batch::Size;
    }

    void number(const Batch &batch)
    {
        const auto bit = ListMask(1u << batch.list);
        // What a line will read (its table slot, then the characters of the item it
        // probably equals) is asked for some lines ahead, so the memory latencies of many
        // lines overlap instead of adding up. The guess is only a hint: add looks again.
        constexpr int SlotsAhead = 16;
        constexpr int LinesAhead = 8;
        for (int k = 0; k < std::min(SlotsAhead, batch.count); ++k)
            m_table.prefetch(batch.lines[k].hash);
        for (int k = 0; k < batch.count; ++k) {
            if (k + SlotsAhead < batch.count)
                m_table.prefetch(batch.lines[k + SlotsAhead].hash);
            if (k + LinesAhead < batch.count)
                if (const char16_t *data = m_table.likelyData(batch.lines[k + LinesAhead].hash))
                    __builtin_prefetch(data);
            const LineRef &line = batch.lines[k];
            if (m_lineItems.size() % ComparisonResult::CheckpointLines == 0)
                m_checkpoints.push_back(line.data);
            m_lineItems.push_back(m_table.add(line, line.hash, bit));
        }
    }

    // Returns false, having done nothing, when no second thread can be had.
    template <typename Lines, typename Sources>
    bool addListsOnTwoThreads(const Sources &sources, std::vector<std::size_t> &listEnds)
    {
        constexpr std::size_t Ring = 8;
        std::vector<Batch> ring(Ring);
        std::atomic<std::size_t> filled{0};
        std::atomic<std::size_t> numbered{0};
        std::atomic<bool> abandoned{false};
        auto cut = [&] {
            std::size_t next = 0;
            for (qsizetype i = 0; i < sources.size(); ++i) {
                Lines lines(sources.at(i));
                bool endsList = false;
                while (!endsList) {
                    // Waits for a batch that has been numbered.
                    for (std::size_t done = numbered.load(std::memory_order_acquire);
                         next - done == Ring; done = numbered.load(std::memory_order_acquire))
                        numbered.wait(done, std::memory_order_acquire);
                    if (abandoned.load(std::memory_order_acquire))
                        return;
                    Batch &batch = ring[next % Ring];
                    fill(lines, int(i), batch);
                    endsList = batch.endsList;
                    filled.store(++next, std::memory_order_release);
                    filled.notify_one();
                }
            }
        };
        std::thread cutter;
        try {
            cutter = std::thread(cut);
        } catch (const std::system_error &) {
            return false;
        }
        try {
            for (std::size_t next = 0, lists = 0; lists < std::size_t(sources.size()); ++next) {
                for (std::size_t ready = filled.load(std::memory_order_acquire); ready == next;
                     ready = filled.load(std::memory_order_acquire))
                    filled.wait(ready, std::memory_order_acquire);
                const Batch &batch = ring[next % Ring];
                number(batch);
                if (batch.endsList) {
                    listEnds.push_back(lineCount());
                    ++lists;
                }
                numbered.store(next + 1, std::memory_order_release);
                numbered.notify_one();
            }
        } catch (...) {
            // Out of memory, most likely: release the cutter before passing it on.
            abandoned.store(true, std::memory_order_release);
            numbered.store(std::numeric_limits<std::size_t>::max() / 2, std::memory_order_release);
            numbered.notify_one();
            cutter.join();
            throw;
        }
        cutter.join();
        return true;
    }

    ItemTable m_table;
    LargeVector<ItemIndex> m_lineItems;  // per line of all lists in turn
    std::vector<const char16_t *> m_checkpoints;  // where every CheckpointLines-th line starts
};

namespace {

// From this many lines on, a second thread cuts and hashes the lines while the first numbers
// them, and the items are sorted and written and big results built on two threads; below
// it a thread costs more than it saves.
constexpr std::size_t TwoThreadsFromLines = 200000;

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

std::size_t expectedLines(const QList<QStringList> &lists)
{
    std::size_t lines = 0;
    for (const QStringList &list : lists)
        lines += std::size_t(list.size());
    return lines;
}

// Extrapolated from the breaks in pieces spread over each text: a guess that only sizes the
// tables, which grow when it falls short.
std::size_t expectedLines(const QStringList &texts)
{
    constexpr qsizetype Pieces = 16;
    constexpr qsizetype PieceUnits = 4096;
    double lines = 0;
    for (const QString &text : texts) {
        const qsizetype size = text.size();
        if (size <= Pieces * PieceUnits) {
            lines += double(std::count_if(text.begin(), text.end(), [](QChar c) {
                return c == u'\n' || c == u'\r';
            }) + 1);
            continue;
        }
        qsizetype breaks = 0;
        for (qsizetype k = 0; k < Pieces; ++k) {
            const QStringView piece = QStringView(text).sliced(k * (size - PieceUnits) / (Pieces - 1),
                                                               PieceUnits);
            breaks += std::count_if(piece.begin(), piece.end(),
                                    [](QChar c) { return c == u'\n' || c == u'\r'; });
        }
        lines += double(breaks + 1) * double(size) / double(Pieces * PieceUnits);
    }
    return std::size_t(lines);
}

// Puts the items whose first four units come before a middle key first and returns where
// the others begin. A key that comes before another belongs to a line that does, so the two
// parts can be sorted apart and then simply follow each other.
std::size_t splitAtMiddleKey(LargeVector<SortEntry> &items)
{
    if (items.empty())
        return 0;
    constexpr std::size_t Samples = 1023;
    std::vector<std::uint64_t> keys;
    keys.reserve(Samples);
    for (std::size_t k = 0; k < Samples; ++k)
        keys.push_back(items[k * items.size() / Samples].key);
    std::nth_element(keys.begin(), keys.begin() + Samples / 2, keys.end());
    const std::uint64_t middle = keys[Samples / 2];
    auto before = [middle](const SortEntry &entry) { return entry.key < middle; };
    return std::size_t(std::partition(items.begin(), items.end(), before) - items.begin());
}

} // namespace

// Puts the items together: sorted, written once as the merged text, and the line counts.
class ComparisonAssembler
{
public:
    // Numbers the lines of every source, then finishes.
    template <typename Lines, typename Sources>
    static void compare(const Sources &sources, ComparisonResult &result)
    {
        // A table sized for half the lines as items does not grow in the usual case of lists
        // that share or repeat lines, and grows once when every line differs.
        const std::size_t expected = expectedLines(sources);
        ComparisonBuilder builder(expected + expected / 8, expected / 2);
        result.m_listStarts.push_back(0);
        builder.addLists<Lines>(sources, expected >= TwoThreadsFromLines, result.m_listStarts);
        // Items and lines are numbered in 32 bits: four billion lines would not fit in memory.
        Q_ASSERT(builder.lineCount() < NoItem);
        result.m_checkpoints = std::move(builder.m_checkpoints);
        finish(builder, result);
    }

private:
    static void finish(ComparisonBuilder &builder, ComparisonResult &result)
    {
        LargeVector<SortEntry> items;
        LargeVector<ItemInfo> info;
        builder.m_table.takeItems(items, info);
        const bool two = builder.lineCount() >= TwoThreadsFromLines;
        const std::size_t cut = two ? splitAtMiddleKey(items) : items.size();
        onBothThreads(two, [&](int part) {
            if (part == 0)
                sortItems(items, 0, cut);
            else
                sortItems(items, cut, items.size());
        });
        // The merged box text is written once, in merged order: the other results in that
        // order are then copied from it in long runs instead of from lines all over the lists.
        qsizetype size = 0;
        qsizetype firstPartSize = 0;
        for (std::size_t k = 0; k < items.size(); ++k) {
            if (k == cut)
                firstPartSize = size;
            size += qsizetype(items[k].size) + 2;
        }
        if (cut == items.size())
            firstPartSize = size;
        result.m_mergedText = QString(size, Qt::Uninitialized);
        adviseLargePages(result.m_mergedText.data(), std::size_t(size) * sizeof(QChar));
        result.m_itemStarts.resize(items.size() + 1);
        result.m_itemMasks.resize(items.size());
        result.m_itemStarts.back() = size;
        onBothThreads(two, [&](int part) {
            if (part == 1 || !two)
                countLines(builder, info, result);
            if (part == 0)
                writeMerged(items, info, 0, cut, 0, result);
            else
                writeMerged(items, info, cut, items.size(), firstPartSize, result);
        });
    }

    // Every line keeps only the number of lists that hold it: that is all that unique and
    // shared need, and it is read in the line's order. The sizes of the unique and shared
    // texts are summed on the way, at each list's start and each checkpoint, so that those
    // texts are copied without being measured first.
    static void countLines(ComparisonBuilder &builder, const LargeVector<ItemInfo> &info,
                           ComparisonResult &result)
    {
        const LargeVector<ItemIndex> &lineItems = builder.m_lineItems;
        const std::size_t lines = lineItems.size();
        const int n = result.listCount();
        result.m_lineCounts.resize(lines);
        result.m_listSums.clear();
        result.m_checkpointSums.clear();
        ComparisonResult::Sums sums{};
        std::size_t line = 0;
        for (int list = 1; list <= n; ++list) {
            result.m_listSums.push_back(sums);
            const std::size_t end = result.m_listStarts[std::size_t(list)];
            for (; line < end; ++line) {
                constexpr std::size_t Ahead = 16;
                if (line + Ahead < lines)
                    __builtin_prefetch(&info[lineItems[line + Ahead]]);
                if (line % ComparisonResult::CheckpointLines == 0)
                    result.m_checkpointSums.push_back(sums);
                const ItemInfo &item = info[lineItems[line]];
                const int count = listsIn(item.mask);
                result.m_lineCounts[line] = std::uint8_t(count);
                if (boxTakesLine(Box::Unique, count, n))
                    sums.unique += qsizetype(item.size) + 2;
                else if (boxTakesLine(Box::Shared, count, n))
                    sums.shared += qsizetype(item.size) + 2;
            }
        }
        result.m_listSums.push_back(sums);
        LargeVector<ItemIndex>().swap(builder.m_lineItems);
    }

    // Writes the sorted items from begin to end into the merged text from start on.
    static void writeMerged(const LargeVector<SortEntry> &items, const LargeVector<ItemInfo> &info,
                            std::size_t begin, std::size_t end, qsizetype start,
                            ComparisonResult &result)
    {
        auto *out = reinterpret_cast<char16_t *>(result.m_mergedText.data()) + start;
        for (std::size_t k = begin; k < end; ++k) {
            constexpr std::size_t Ahead = 16;
            if (k + Ahead < end)
                __builtin_prefetch(items[k + Ahead].data);
            const SortEntry &entry = items[k];
            out = std::copy_n(entry.data, entry.size, out);
            *out++ = u'\r';
            *out++ = u'\n';
            result.m_itemStarts[k] = start;
            start += qsizetype(entry.size) + 2;
            result.m_itemMasks[k] = info[entry.item].mask;
        }
    }
};

ComparisonResult CompareLists(const QList<QStringList> &sources)
{
    Q_ASSERT(sources.size() >= 2 && sources.size() <= ComparisonResult::MaxLists);
    ComparisonResult result;
    result.m_lists = sources;
    ComparisonAssembler::compare<StringLines>(result.m_lists, result);
    return result;
}

ComparisonResult CompareLists(const QStringList &texts)
{
    Q_ASSERT(texts.size() >= 2 && texts.size() <= ComparisonResult::MaxLists);
    ComparisonResult result;
    result.m_texts = texts;
    ComparisonAssembler::compare<TextLines>(result.m_texts, result);
    return result;
}

ComparisonResult CompareDistinctLists(ComparisonResult compared,
                                      std::vector<std::vector<std::uint32_t>> *lineStarts)
{
    const int n = compared.listCount();
    Q_ASSERT(n >= 2);
    ComparisonResult result;
    result.m_mergedText = std::move(compared.m_mergedText);
    result.m_itemStarts = std::move(compared.m_itemStarts);
    result.m_itemMasks = std::move(compared.m_itemMasks);
    compared = ComparisonResult();
    const LargeVector<ListMask> &masks = result.m_itemMasks;
    const LargeVector<qsizetype> &starts = result.m_itemStarts;
    const std::size_t items = masks.size();

    // Each list's lines and units, then the lists are written from the merged text in runs
    // of items they hold, on two threads for big comparisons.
    std::array<std::size_t, ComparisonResult::MaxLists> lines{};
    std::array<qsizetype, ComparisonResult::MaxLists> units{};
    for (std::size_t k = 0; k < items; ++k)
        for (ListMask mask = masks[k]; mask != 0; mask &= ListMask(mask - 1)) {
            const int list = std::countr_zero(unsigned(mask));
            ++lines[std::size_t(list)];
            units[std::size_t(list)] += starts[k + 1] - starts[k];
        }
    result.m_listStarts.push_back(0);
    for (int i = 0; i < n; ++i)
        result.m_listStarts.push_back(result.m_listStarts.back() + lines[std::size_t(i)]);
    const std::size_t total = result.m_listStarts.back();
    std::array<char16_t *, ComparisonResult::MaxLists> texts{};
    for (int i = 0; i < n; ++i) {
        result.m_texts.append(QString(units[std::size_t(i)], Qt::Uninitialized));
        texts[std::size_t(i)] = reinterpret_cast<char16_t *>(result.m_texts.last().data());
        Q_ASSERT(quint64(units[std::size_t(i)]) < std::numeric_limits<std::uint32_t>::max());
    }
    if (lineStarts) {
        lineStarts->assign(std::size_t(n), {});
        for (int i = 0; i < n; ++i)
            (*lineStarts)[std::size_t(i)].reserve(lines[std::size_t(i)]);
    }
    result.m_lineCounts.resize(total);
    result.m_checkpoints.resize((total + ComparisonResult::CheckpointLines - 1)
                                / ComparisonResult::CheckpointLines);
    const auto *merged = reinterpret_cast<const char16_t *>(result.m_mergedText.constData());
    const bool two = total >= TwoThreadsFromLines;
    onBothThreads(two, [&](int part) {
        for (int i = 1 + part; i <= n; i += two ? 2 : 1) {
            const auto bit = ListMask(1u << (i - 1));
            char16_t *const begin = texts[std::size_t(i - 1)];
            char16_t *out = begin;
            std::size_t line = result.m_listStarts[std::size_t(i - 1)];
            for (std::size_t k = 0; k < items;) {
                if (!(masks[k] & bit)) {
                    ++k;
                    continue;
                }
                const std::size_t first = k;
                for (; k < items && (masks[k] & bit); ++k, ++line) {
                    char16_t *const at = out + (starts[k] - starts[first]);
                    if (line % ComparisonResult::CheckpointLines == 0)
                        result.m_checkpoints[line / ComparisonResult::CheckpointLines] = at;
                    if (lineStarts)
                        (*lineStarts)[std::size_t(i - 1)].push_back(std::uint32_t(at - begin));
                    result.m_lineCounts[line] = std::uint8_t(listsIn(masks[k]));
                }
                out = std::copy_n(merged + starts[first], starts[k] - starts[first], out);
            }
            Q_ASSERT(out - begin == units[std::size_t(i - 1)]);
        }
    });

    // The unique and shared sums at each list's start and each checkpoint, in line order.
    ComparisonResult::Sums sums{};
    std::size_t line = 0;
    for (int i = 1; i <= n; ++i) {
        result.m_listSums.push_back(sums);
        const auto bit = ListMask(1u << (i - 1));
        for (std::size_t k = 0; k < items; ++k) {
            if (!(masks[k] & bit))
                continue;
            if (line++ % ComparisonResult::CheckpointLines == 0)
                result.m_checkpointSums.push_back(sums);
            const int count = listsIn(masks[k]);
            const qsizetype size = starts[k + 1] - starts[k];
            if (boxTakesLine(Box::Unique, count, n))
                sums.unique += size;
            else if (boxTakesLine(Box::Shared, count, n))
                sums.shared += size;
        }
    }
    result.m_listSums.push_back(sums);
    return result;
}

void forEachOnTwoThreads(int count, const std::function<void(int)> &work)
{
    onBothThreads(count > 1, [&](int part) {
        for (int k = part; k < count; k += 2)
            work(k);
    });
}

std::size_t ComparisonResult::cutOf(int i) const
{
    const std::size_t first = m_listStarts[std::size_t(i - 1)];
    const std::size_t end = m_listStarts[std::size_t(i)];
    const std::size_t cut = (first + end) / 2 / CheckpointLines * CheckpointLines;
    return cut > first ? cut : end;
}

template <typename Visit>
void ComparisonResult::forEachRun(Box box, int i, int part, int parts, const Visit &visit) const
{
    const int n = listCount();
    if (box == Box::Merged || box == Box::Common || box == Box::Absent) {
        Q_ASSERT(box != Box::Absent || (i >= 1 && i <= n));
        auto taken = [&](ListMask mask) { return boxTakesItem(box, mask, i, n); };
        const auto *merged = reinterpret_cast<const char16_t *>(m_mergedText.constData());
        const std::size_t count = m_itemMasks.size();
        const std::size_t end = count * std::size_t(part + 1) / std::size_t(parts);
        for (std::size_t k = count * std::size_t(part) / std::size_t(parts); k < end;) {
            if (!taken(m_itemMasks[k])) {
                ++k;
                continue;
            }
            const std::size_t first = k;
            while (k < end && taken(m_itemMasks[k]))
                ++k;
            visit(merged + m_itemStarts[first], m_itemStarts[k] - m_itemStarts[first]);
        }
        return;
    }
    Q_ASSERT(i >= 1 && i <= n);
    // Unique and shared lines are copied from the list itself, read in order. Two parts
    // meet at a line whose place in the list was noted while comparing.
    const std::size_t first = m_listStarts[std::size_t(i - 1)];
    const std::size_t cut = parts == 1 ? m_listStarts[std::size_t(i)] : cutOf(i);
    auto walk = [&](auto lines, std::size_t position) {
        LineRef line;
        for (; lines.next(&line); ++position) {
            if (boxTakesLine(box, m_lineCounts[position], n)) {
                visit(line.data, qsizetype(line.size));
                visit(BreakUnits, 2);
            }
        }
    };
    if (m_texts.isEmpty()) {
        const QStringList &list = m_lists.at(i - 1);
        const auto middle = qsizetype(cut - first);
        if (part == 0)
            walk(StringLines(list, 0, middle), first);
        else
            walk(StringLines(list, middle), cut);
        return;
    }
    const QString &text = m_texts.at(i - 1);
    const auto *begin = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *end = begin + text.size();
    const char16_t *middle = cut == m_listStarts[std::size_t(i)] ? end
                                                                   : m_checkpoints[cut / CheckpointLines];
    if (part == 0)
        walk(TextLines(begin, middle), first);
    else
        walk(TextLines(middle, end), cut);
}

QStringList ComparisonResult::lines(Box box, int i) const
{
    // Item by item rather than by cutting the text: a line given in a list may hold a break.
    QStringList result;
    if (box == Box::Unique || box == Box::Shared) {
        forEachRun(box, i, 0, 1, [&](const char16_t *units, qsizetype length) {
            if (units != BreakUnits)
                result.append(QString(reinterpret_cast<const QChar *>(units), length));
        });
        return result;
    }
    const int n = listCount();
    for (std::size_t k = 0; k < m_itemMasks.size(); ++k)
        if (boxTakesItem(box, m_itemMasks[k], i, n))
            result.append(item(qsizetype(k)));
    return result;
}

QString ComparisonResult::text(Box box, int i) const
{
    if (box == Box::Merged)
        return m_mergedText;
    // A big result is measured and then copied in two parts, one on each thread.
    const std::size_t scale = box == Box::Unique || box == Box::Shared
                                  ? m_listStarts[std::size_t(i)] - m_listStarts[std::size_t(i - 1)]
                                  : m_itemMasks.size();
    const bool two = scale >= TwoThreadsFromLines;
    const int parts = two ? 2 : 1;
    std::array<qsizetype, 2> sizes{};
    if (box == Box::Unique || box == Box::Shared) {
        auto sum = [box](const Sums &sums) { return box == Box::Unique ? sums.unique : sums.shared; };
        const qsizetype before = sum(m_listSums[std::size_t(i - 1)]);
        const qsizetype whole = sum(m_listSums[std::size_t(i)]) - before;
        const std::size_t cut = cutOf(i);
        sizes[0] = two && cut != m_listStarts[std::size_t(i)]
                       ? sum(m_checkpointSums[cut / CheckpointLines]) - before
                       : whole;
        sizes[1] = whole - sizes[0];
    } else {
        onBothThreads(two, [&](int part) {
            forEachRun(box, i, part, parts, [&](const char16_t *, qsizetype length) {
                sizes[std::size_t(part)] += length;
            });
        });
    }
    const qsizetype size = sizes[0] + sizes[1];
    QString text(size, Qt::Uninitialized);
    adviseLargePages(text.data(), std::size_t(size) * sizeof(QChar));
    auto *units = reinterpret_cast<char16_t *>(text.data());
    onBothThreads(two, [&](int part) {
        char16_t *out = units + (part == 1 ? sizes[0] : 0);
        forEachRun(box, i, part, parts, [&](const char16_t *run, qsizetype length) {
            out = std::copy_n(run, length, out);
        });
    });
    return text;
}

qsizetype ComparisonResult::lineCount(Box box, int i) const
{
    const int n = listCount();
    if (box == Box::Unique || box == Box::Shared) {
        Q_ASSERT(i >= 1 && i <= n);
        return std::count_if(m_lineCounts.begin() + qsizetype(m_listStarts[std::size_t(i - 1)]),
                             m_lineCounts.begin() + qsizetype(m_listStarts[std::size_t(i)]),
                             [&](std::uint8_t count) { return boxTakesLine(box, count, n); });
    }
    return std::count_if(m_itemMasks.begin(), m_itemMasks.end(),
                         [&](ListMask mask) { return boxTakesItem(box, mask, i, n); });
}

QString ComparisonResult::item(qsizetype k) const
{
    const auto index = std::size_t(k);
    const qsizetype start = m_itemStarts.at(index);
    return m_mergedText.mid(start, m_itemStarts.at(index + 1) - start - 2);
}

QStringView ComparisonResult::itemView(qsizetype k) const
{
    const auto index = std::size_t(k);
    const qsizetype start = m_itemStarts[index];
    return QStringView(m_mergedText).sliced(start, m_itemStarts[index + 1] - start - 2);
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

qsizetype ComparisonResult::findItem(QStringView line) const
{
    const auto *merged = reinterpret_cast<const char16_t *>(m_mergedText.constData());
    const auto *units = reinterpret_cast<const char16_t *>(line.data());
    std::size_t low = 0;
    std::size_t high = m_itemMasks.size();
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        const char16_t *begin = merged + m_itemStarts[middle];
        const char16_t *end = merged + m_itemStarts[middle + 1] - 2;
        if (std::lexicographical_compare(begin, end, units, units + line.size()))
            low = middle + 1;
        else
            high = middle;
    }
    if (low == m_itemMasks.size())
        return -1;
    const qsizetype start = m_itemStarts[low];
    return QStringView(m_mergedText).sliced(start, m_itemStarts[low + 1] - start - 2) == line
               ? qsizetype(low)
               : -1;
}

qsizetype ComparisonResult::findItem(const QString &line) const
{
    // The same buffer is the same text: a QString's units never change while it is shared.
    if (line.constData() != m_lastLine.constData() || line.size() != m_lastLine.size()
        || m_lastLine.isNull()) {
        m_lastItem = findItem(QStringView(line));
        m_lastLine = line;
    }
    return m_lastItem;
}

bool ComparisonResult::boxHolds(Box box, int i, const QString &line) const
{
    const qsizetype k = findItem(line);
    if (k < 0)
        return false;
    const ListMask mask = m_itemMasks[std::size_t(k)];
    const int n = listCount();
    if (box == Box::Unique || box == Box::Shared)
        return (mask >> (i - 1) & 1u) && boxTakesLine(box, listsIn(mask), n);
    return boxTakesItem(box, mask, i, n);
}

std::vector<std::uint32_t> ComparisonResult::lineStarts(Box box, int i) const
{
    std::vector<std::uint32_t> starts;
    if (box == Box::Common || ((box == Box::Unique || box == Box::Shared) && m_texts.isEmpty()))
        return starts;
    const QString source = lineSource(box, i);
    Q_ASSERT(quint64(source.size()) < std::numeric_limits<std::uint32_t>::max());
    starts.reserve(std::size_t(lineCount(box, i)));
    const auto *base = reinterpret_cast<const char16_t *>(source.constData());
    forEachRun(box, i, 0, 1, [&](const char16_t *units, qsizetype length) {
        if (units == BreakUnits)
            return;
        if (box == Box::Unique || box == Box::Shared) {
            starts.push_back(std::uint32_t(units - base));
            return;
        }
        // A run of merged items: each starts after the break of the one before.
        const char16_t *end = units + length;
        for (const char16_t *p = units; p < end;) {
            starts.push_back(std::uint32_t(p - base));
            while (*p != u'\n')
                ++p;
            ++p;
        }
    });
    return starts;
}

QString ComparisonResult::lineSource(Box box, int i) const
{
    if (box == Box::Unique || box == Box::Shared)
        return m_texts.isEmpty() ? QString() : m_texts.at(i - 1);
    return m_mergedText;
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
