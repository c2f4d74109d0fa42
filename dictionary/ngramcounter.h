#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
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
    void add(const Key &key);
    std::size_t size() const { return m_used; }
    /// Calls visit(key, count) for every n-gram, in no particular order.
    template<typename Visit>
    void forEach(Visit visit) const
    {
        for (const Slot &s : m_slots)
            if (s.key[0] != Empty)
                visit(s.key, s.count);
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
class NgramCounter
{
public:
    void addLine(std::string_view utf8);
    /// Reads a UTF-8 text file, or every file under a folder (recursively); false with a
    /// message naming the file when one cannot be read.
    bool addPath(const QString &path, QString *error);

    std::size_t tokenTypeCount() const { return m_tokens.size(); }
    const std::string &token(std::uint32_t id) const { return m_tokens[id]; }
    std::uint64_t tokenCount(std::uint32_t id) const { return m_tokenCounts[id]; }
    std::uint64_t totalTokens() const { return m_totalTokens; }
    int fileCount() const { return m_files; }
    const NgramTable<2> &bigrams() const { return m_bigrams; }
    const NgramTable<3> &trigrams() const { return m_trigrams; }

private:
    bool addFile(const QString &path, QString *error);
    std::uint32_t intern(std::string_view token);

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
    int m_files = 0;
    NgramTable<2> m_bigrams;
    NgramTable<3> m_trigrams;
    std::vector<std::uint32_t> m_run;
};
