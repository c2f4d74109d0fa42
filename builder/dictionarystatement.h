#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

/// One prepared statement: prepared once, then bound, stepped and reset per item.
class DictionaryStatement final
{
public:
    /// Prepares sql; on failure ok() is false and error() holds the database's message.
    DictionaryStatement(sqlite3 *db, const char *sql);
    ~DictionaryStatement();
    DictionaryStatement(const DictionaryStatement &) = delete;
    DictionaryStatement &operator=(const DictionaryStatement &) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    /// Resets the statement and binds parameter index (from 1).
    void bindInt(int index, qint64 value);
    void bindText(int index, const QString &value);
    /// Resets without binding anew.
    void reset();
    /// True for a row; false at the end or on an error (then ok() is false).
    bool next();

    int columnCount() const;
    qint64 integer(int column) const;
    /// True when the column holds an integer value.
    bool isInteger(int column) const;
    QString text(int column) const;

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    QString m_error;
};
