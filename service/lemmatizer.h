#pragma once

#include <QString>
#include <QStringView>

#include <atomic>
#include <cstdint>
#include <vector>

/// The initial forms of a dictionary's `forms` table, held in memory for lookups from any number of
/// threads at once (every const member is safe to share once load() returned).
///
/// Forms are held in lower case. A word with several rows (a homograph: «стали», «мыла») takes the
/// initial form of its row with the lowest `id`: the dictionary numbers its rows lexeme by lexeme
/// in descending corpus frequency, so that row is the commonest reading. A word without a row of
/// its own is looked up again with «ё» read as «е» and the reverse.
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

    qsizetype formCount() const { return qsizetype(m_entries.size()); }
    /// Bytes held by the tables, for the start-up log.
    qsizetype memoryUse() const;

private:
    struct Entry
    {
        std::uint32_t start;  // into m_chars
        std::uint32_t length;
        std::uint32_t initial;  // index of the entry of the initial form
    };
    static constexpr std::uint32_t NoEntry = 0xffffffffu;

    QStringView text(const Entry &entry) const;
    std::uint32_t find(QStringView word) const;
    std::uint32_t findExact(QStringView word) const;
    std::uint32_t findFolded(QStringView word) const;
    std::uint32_t insertExact(QStringView word);
    void rehashExact(std::size_t capacity);
    void buildFolded();

    QString m_chars;                      // every distinct form, one after another
    std::vector<Entry> m_entries;         // in the order of their lowest row id
    std::vector<std::uint32_t> m_exact;   // open addressing over m_entries by exact text
    std::vector<std::uint32_t> m_folded;  // forms with «ё», keyed with «ё» read as «е»
};
