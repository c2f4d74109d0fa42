#pragma once

#include "builder/dictionary.h"
#include "builder/wordsearch.h"

#include <QList>
#include <QTemporaryDir>
#include <QString>

#include <cstdint>

#include <gtest/gtest.h>

/// A small dictionary put together in a test and written as an SQLite file with the
/// tables and indexes the program reads.
class TestDictionary
{
public:
    /// Rows from text: sections "[forms]" (id|word|initform_id|props, one a line),
    /// "[grams2]" (word1id|word2id) and "[grams3]" (word1id|word2id|word3id), gram rows
    /// parted by blanks, each with an optional |freq (1 without); "[lexemes]" (id|freq,
    /// parted by blanks) adds the lexemes table. Blank lines and lines starting with #
    /// are skipped.
    static TestDictionary fromText(const QString &source);
    /// Cats catch mice: the pairs "кошка и", "и собака", "кошка ловить", "собака ловить",
    /// "ловить мышь", and the triples "собака кошка ловить", "собака мышь ловить".
    static TestDictionary catsAndMice();
    /// A random dictionary with the corners the searches must get right: homographs,
    /// capitals, blanks, unknown tags, ids without a form, middle ids of -1, many equal
    /// counts.
    static TestDictionary generated(std::uint32_t seed, int lemmas);

    void addForm(qint64 id, const QString &word, qint64 initform, const QString &props)
    {
        m_forms.append({id, word, initform, props});
    }
    void addPair(qint64 first, qint64 second, qint64 freq = 1)
    {
        m_pairs.append(QList<qint64>{first, second, freq});
    }
    void addTriple(qint64 first, qint64 middle, qint64 last, qint64 freq = 1)
    {
        m_triples.append(QList<qint64>{first, middle, last, freq});
    }
    /// A row of the lexemes table, which is written only when it has rows.
    void addLexeme(qint64 id, qint64 freq) { m_lexemes.append(QList<qint64>{id, freq}); }
    /// Writes the file; returns the SQLite error, empty on success.
    QString write(const QString &path) const;

    struct Form
    {
        qint64 id;
        QString word;
        qint64 initform;
        QString props;
    };
    const QList<Form> &forms() const { return m_forms; }

private:
    QList<Form> m_forms;
    QList<QList<qint64>> m_pairs;
    QList<QList<qint64>> m_triples;
    QList<QList<qint64>> m_lexemes;
};

/// A run's reports as lexorum-cli prints them ("stage: TEXT", "progress: N"), and its result.
struct RecordedRun
{
    SearchResult result;
    QStringList reports;
};
RecordedRun recordRun(const std::function<SearchResult(const SearchReports &)> &search);
/// Runs a search both ways; the literal method must give the same words and reports.
/// Returns the fast run.
RecordedRun recordBothWays(const std::function<SearchResult(const SearchReports &)> &fast,
                           const std::function<SearchResult(const SearchReports &)> &literal);

/// A temporary folder holding one written dictionary.
class DictionaryFile
{
public:
    explicit DictionaryFile(const TestDictionary &dictionary);
    QString path() const { return m_dir.filePath(QStringLiteral("dictionary.db")); }
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QString m_error;
};

/// A written dictionary and a connection to it.
struct OpenDictionary
{
    explicit OpenDictionary(const TestDictionary &source) : file(source)
    {
        EXPECT_TRUE(file.error().isEmpty()) << file.error().toStdString();
        EXPECT_TRUE(dictionary.ConnectDictionary(file.path()));
    }
    DictionaryFile file;
    Dictionary dictionary;
};

/// Runs sql on a new SQLite file at path, for files the dictionary checks; returns path.
QString writeDatabase(const QString &path, const char *sql);
