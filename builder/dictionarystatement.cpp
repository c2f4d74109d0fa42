#include "builder/dictionarystatement.h"

#include <sqlite3.h>

DictionaryStatement::DictionaryStatement(sqlite3 *db, const char *sql)
    : m_db(db)
{
    if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
        m_error = QString::fromUtf8(sqlite3_errmsg(db));
}

DictionaryStatement::~DictionaryStatement()
{
    sqlite3_finalize(m_statement);
}

void DictionaryStatement::reset()
{
    sqlite3_reset(m_statement);
}

void DictionaryStatement::bindInt(int index, qint64 value)
{
    sqlite3_reset(m_statement);
    sqlite3_bind_int64(m_statement, index, value);
}

void DictionaryStatement::bindText(int index, const QString &value)
{
    sqlite3_reset(m_statement);
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

bool DictionaryStatement::next()
{
    if (!m_statement)
        return false;
    const int status = sqlite3_step(m_statement);
    if (status == SQLITE_ROW)
        return true;
    if (status != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

int DictionaryStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

qint64 DictionaryStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

bool DictionaryStatement::isInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

QString DictionaryStatement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column));
}
