#pragma once

#include <QString>
#include <QStringView>

#include <atomic>
#include <cstddef>
#include <cstdint>

/// Memory for a large table read at random, zero-filled. On Linux it asks for transparent huge
/// pages: a lookup then jumps across a hundred megabytes without a TLB miss at every step.
class TableMemory
{
public:
    TableMemory() = default;
    explicit TableMemory(std::size_t bytes);  // throws std::bad_alloc
    ~TableMemory();
    TableMemory(TableMemory &&other) noexcept;
    TableMemory &operator=(TableMemory &&other) noexcept;

    void *data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    void *m_data = nullptr;
    std::size_t m_size = 0;
};

/// The initial forms of a dictionary's `forms` table, held in memory for lookups from any number of
/// threads at once (every const member is safe to share once load() returned).
///
/// Forms are held in lower case. A word with several rows (a homograph: «стали», «мыла») takes the
/// initial form of its row with the lowest `id`: the dictionary numbers its rows lexeme by lexeme
/// in descending corpus frequency, so that row is the commonest reading. A word without a row of
/// its own is looked up again with «ё» read as «е» and the reverse. Forms longer than 255 UTF-16
/// units are left out, as a slot keeps lengths in a byte; no dictionary word comes near that.
class Lemmatizer
{
public:
    /// Reads the `forms` table of the SQLite file at path, which stays untouched. On failure
    /// returns false with the reason and the file name in error, and holds nothing. Setting cancel
    /// from another thread ends the reading early as a failure.
    bool load(const QString &path, QString *error, const std::atomic<bool> *cancel = nullptr);

    /// The initial form of one word in lower case; an unknown word comes back lower-cased.
    QString initialForm(QStringView word) const;

    /// Replaces every word of text (a run of letters with inner hyphens) by its initial form and
    /// keeps whatever stands between words. Each line break (CR LF, LF or CR) becomes LF, so the
    /// result has as many lines as text. lines, when given, receives that count.
    QString convert(QStringView text, qsizetype *lines = nullptr) const;

    qsizetype formCount() const { return m_formCount; }
    /// Bytes held by the tables, for the start-up log.
    qsizetype memoryUse() const;

private:
    // One form in an open-addressing table: where its text and its initial form's text stand in
    // m_chars, and 16 more bits of its hash, so that a probe touches the text only on a likely
    // match. An empty slot has length 0.
    struct Slot
    {
        std::uint32_t start;
        std::uint32_t initialStart;
        std::uint8_t length;
        std::uint8_t initialLength;
        std::uint16_t tag;
    };
    struct Table
    {
        TableMemory memory;
        std::size_t mask = 0;
        const Slot *cells() const { return static_cast<const Slot *>(memory.data()); }
    };
    struct Word;

    QStringView text(std::uint32_t start, std::uint8_t length) const;
    const Slot *findIn(const Table &table, QStringView key, std::uint64_t hash) const;
    const Slot *find(QStringView key) const;
    void lookUpBatch(Word *words, std::size_t count) const;

    TableMemory m_chars;  // every distinct form, one after another, as UTF-16
    Table m_exact;        // every form by its exact text
    Table m_folded;       // forms with «ё», keyed with «ё» read as «е»; the lowest row id wins
    qsizetype m_formCount = 0;
};
