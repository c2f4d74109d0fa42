#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// Splits a line of UTF-8 text into runs of tokens. A token is a run of Cyrillic letters
/// with inner hyphens, lower-cased; tokens of one run are separated only by white space;
/// punctuation, digits, Latin letters and the line's end close a run. Soft hyphens and
/// stress marks inside a word are dropped. Calls token(text) for each token and
/// runEnd() after each run.
void tokenizeLine(std::string_view utf8, const std::function<void(std::string_view)> &token,
                  const std::function<void()> &runEnd);

/// Counts of n-grams keyed by token ids, in one open-addressing table: its memory follows
/// the number of distinct n-grams, not the length of the text.
template<int N>
class NgramTable
{
public:
    using Key = std::array<std::uint32_t, N>;
    void add(const Key &key, std::uint32_t count = 1);
    std::size_t size() const { return m_used; }
    std::size_t bytes() const { return m_slots.capacity() * sizeof(Slot); }
    /// The bytes the next add() may allocate on top of bytes() while it grows.
    std::size_t growthBytes() const
    {
        return 4 * (m_used + 1) > 3 * m_slots.size()
                   ? std::max<std::size_t>(1024, 2 * m_slots.size()) * sizeof(Slot)
                   : 0;
    }
    /// Calls visit(key, count) for every n-gram, in no particular order.
    template<typename Visit>
    void forEach(Visit visit) const
    {
        for (const Slot &s : m_slots)
            if (s.key[0] != Empty)
                visit(s.key, s.count);
    }
    /// Calls visit(key, count) for every n-gram in key order, sorting in place, and leaves
    /// the table empty with its memory given back.
    template<typename Visit>
    void drainSorted(Visit visit)
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_slots.size(); ++i)
            if (m_slots[i].key[0] != Empty)
                m_slots[kept++] = m_slots[i];
        std::sort(m_slots.begin(), m_slots.begin() + std::ptrdiff_t(kept),
                  [](const Slot &a, const Slot &b) { return a.key < b.key; });
        for (std::size_t i = 0; i < kept; ++i)
            visit(m_slots[i].key, m_slots[i].count);
        clear();
    }
    void clear()
    {
        std::vector<Slot>().swap(m_slots);
        m_used = 0;
    }

private:
    static constexpr std::uint32_t Empty = 0xFFFFFFFFu;
    struct Slot
    {
        Key key;
        std::uint32_t count;
    };
    Slot &slotFor(const Key &key);
    void grow();
    std::vector<Slot> m_slots;
    std::size_t m_used = 0;
};

/// Counts the tokens, adjacent pairs and adjacent triples of a corpus. A line is a
/// paragraph: no n-gram crosses a line break.
///
/// With a memory budget, the pair and triple tables never grow past it: when they would,
/// they are written to disk as runs sorted by key and emptied, and forEachPair() and
/// forEachTriple() merge the runs. Counts of one share of a corpus can be written to a
/// file (writeCounts) and added to another counter (addCounts), so that the shares of a
/// large corpus can be counted apart and merged.
class NgramCounter
{
public:
    NgramCounter();
    ~NgramCounter();
    NgramCounter(const NgramCounter &) = delete;
    NgramCounter &operator=(const NgramCounter &) = delete;

    void addLine(std::string_view utf8);
    /// Reads a corpus file (readCorpusFile), or every file under a folder (recursively).
    /// A file that cannot be read is skipped and named to skipped() (and in
    /// skippedFiles()); false with a message only when the path does not exist or the
    /// count was cancelled.
    bool addPath(const QString &path, QString *error);
    /// Adds the counts a writeCounts() file holds; false with a message naming the file
    /// when it is not a complete counts file.
    bool addCounts(const QString &path, QString *error);
    /// Writes the counts to a file atomically: every token, pair and triple with its
    /// count, runs merged.
    bool writeCounts(const QString &path, QString *error);

    /// Hooks for long counts: tokens() about every million tokens and after each file,
    /// skipped() with the message of each file left out, cancelled() asked every so many
    /// lines (true stops the count: addPath and addCounts then fail with
    /// cancelledMessage()).
    std::function<void(std::uint64_t tokens)> tokens;
    std::function<void(const QString &message)> skipped;
    std::function<bool()> cancelled;
    std::function<void(const QString &path)> runCreated;  // a sorted run was spilled to path
    static QString cancelledMessage();

    /// Keeps the pair and triple tables within bytes, spilling runs into folder.
    void setMemoryBudget(std::size_t bytes, const QString &folder);
    /// A spilled run is named runPrefix(), six characters and runSuffix(); the prefix holds
    /// the process id, so that a process can tell its own runs from another count's.
    static QString runPrefix();
    static QString runSuffix();
    std::size_t spilledRuns() const { return m_runs2.size() + m_runs3.size(); }

    std::size_t tokenTypeCount() const { return m_tokens.size(); }
    const std::string &token(std::uint32_t id) const { return m_tokens[id]; }
    std::uint64_t tokenCount(std::uint32_t id) const { return m_tokenCounts[id]; }
    std::uint64_t totalTokens() const { return m_totalTokens; }
    int fileCount() const { return m_files; }
    const QStringList &skippedFiles() const { return m_skipped; }
    /// The tables in memory: every n-gram when nothing was spilled.
    const NgramTable<2> &bigrams() const { return m_bigrams; }
    const NgramTable<3> &trigrams() const { return m_trigrams; }

    using PairVisit = std::function<void(const NgramTable<2>::Key &, std::uint64_t)>;
    using TripleVisit = std::function<void(const NgramTable<3>::Key &, std::uint64_t)>;
    /// Every pair (triple) once with its whole count: from the table when nothing was
    /// spilled (in no particular order), else from the runs merged (in key order, the
    /// table spilled first). False with a message when a run cannot be read back.
    bool forEachPair(const PairVisit &visit, QString *error);
    bool forEachTriple(const TripleVisit &visit, QString *error);

private:
    struct Run;
    bool addFile(const QString &path, QString *error);
    std::uint32_t intern(std::string_view token);
    void addToken(std::uint32_t id, std::uint64_t count);
    bool fitBudget(QString *error);
    template<int N>
    bool spill(NgramTable<N> &table, std::vector<std::unique_ptr<Run>> &runs, QString *error);
    template<int N, typename Visit>
    bool merge(NgramTable<N> &table, std::vector<std::unique_ptr<Run>> &runs, Visit visit,
               QString *error);

    void growIds();
    std::deque<std::string> m_tokens;
    // Open addressing over token ids: each slot holds id + 1 (0 is empty) and the token's
    // hash, so a look-up compares text only on a likely match.
    struct IdSlot
    {
        std::uint32_t idPlusOne = 0;
        std::uint32_t hash = 0;
    };
    std::vector<IdSlot> m_idSlots;
    std::vector<std::uint64_t> m_tokenCounts;
    std::uint64_t m_totalTokens = 0;
    std::uint64_t m_nextProgress = 1 << 20;
    int m_files = 0;
    QStringList m_skipped;
    NgramTable<2> m_bigrams;
    NgramTable<3> m_trigrams;
    std::vector<std::uint32_t> m_run;
    std::size_t m_budget = 0;
    QString m_spillFolder;
    QString m_spillError;
    std::vector<std::unique_ptr<Run>> m_runs2;
    std::vector<std::unique_ptr<Run>> m_runs3;
};
