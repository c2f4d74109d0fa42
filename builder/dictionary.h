#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

struct sqlite3;

// How the window model uses the dictionary and the searches:
//  - it owns one Dictionary for the program's life and calls ConnectDictionary(path)
//    before each search and each view refresh; on false it shows error() and stops;
//  - it owns one Worker and one ByLinkedWords (searchthread.h), built idle at start, and
//    starts a search with startSearch(): a start of the same search waits for its
//    running run (serving that run's calls); to defer the other search or a view
//    command it calls waitForRun() on the running thread first, or refuses while
//    isBusy() says a run holds the connection;
//  - the n-gram and word-form views use the look-ups below, which refuse while a run
//    holds the connection (DictionaryRows::error is dictionaryBusyMessage()).
// The file's tables, columns and indexes are described in builder/README.md.

/// The rows a view look-up returned, each row its columns as text; or the error.
struct DictionaryRows
{
    QList<QStringList> rows;
    QString error;  // the database's message, or dictionaryBusyMessage(); empty on success
    bool ok() const { return error.isEmpty(); }
};

/// "Ошибка подключения к базе данных": the file is missing or cannot be opened.
QString dictionaryConnectionMessage();
/// The refusal of a look-up while a search runs on the connection.
QString dictionaryBusyMessage();

/// The program's single read-only connection to the dictionary file. Used from the UI
/// thread and from one search thread at a time, never concurrently (see isBusy()).
class Dictionary final
{
public:
    Dictionary() = default;
    ~Dictionary();
    Dictionary(const Dictionary &) = delete;
    Dictionary &operator=(const Dictionary &) = delete;

    /// Opens path read-only if nothing is open yet; once open it stays open, whatever
    /// path is passed later. Never creates a file: a missing or unreadable file fails
    /// with dictionaryConnectionMessage(); a database that lacks a table or column the
    /// program reads fails with a message naming it. On failure nothing stays open.
    bool ConnectDictionary(const QString &path);
    bool isOpen() const { return m_db != nullptr; }
    /// Why the last ConnectDictionary failed.
    QString error() const { return m_error; }
    /// For the searches; null while closed.
    sqlite3 *handle() const { return m_db; }

    /// True from a search's start until its run has left the connection.
    bool isBusy() const { return m_busy.load(); }
    /// Claims the connection for a run; false when another run holds it.
    bool claim();
    void release();

    // Look-ups of the n-gram and word-form views, on the calling thread. An id is
    // decimal text; where the statement takes a number, other text is bound as -1.
    /// The initial-form id of every row of word, in the order of the rows' ids.
    DictionaryRows initialFormIds(const QString &word);
    /// word1, word2, freq of the pairs whose first word is id ("Биграммы справа").
    DictionaryRows rightBigrams(const QString &id);
    /// word1, word2, freq of the pairs whose second word is id ("Биграммы слева").
    DictionaryRows leftBigrams(const QString &id);
    /// word1, word2, word3, freq of the triples with id in the middle ("Триграммы").
    DictionaryRows trigrams(const QString &id);
    /// The distinct forms of an initial form, in the database's text order.
    DictionaryRows wordForms(const QString &id);
    /// "select word from forms where id=:ID", id bound as text: the words of the row.
    DictionaryRows wordsOfId(const QString &id);

private:
    DictionaryRows lookUp(const char *sql, const QString &parameter, bool asNumber);

    sqlite3 *m_db = nullptr;
    QString m_error;
    std::atomic<bool> m_busy = false;
};

/// Holds one read transaction on an open dictionary for its lifetime, so that the many
/// statements of a run share one lock and one page cache instead of taking them anew.
class DictionaryReading final
{
public:
    explicit DictionaryReading(Dictionary &dictionary);
    ~DictionaryReading();
    DictionaryReading(const DictionaryReading &) = delete;
    DictionaryReading &operator=(const DictionaryReading &) = delete;

private:
    sqlite3 *m_db;
    bool m_began = false;
};

/// What keeps the file at path from serving as the dictionary, in the words
/// ConnectDictionary would use; empty when it would connect.
QString dictionaryFileProblem(const QString &path);

/// Decimal text as a bound id: a whole number, or -1 for anything else.
qint64 idFromText(const QString &text);
