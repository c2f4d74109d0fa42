#include "builder/dictionary.h"

#include "builder/dictionarystatement.h"
#include "common/errortext.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <array>
#include <cerrno>

using namespace Qt::Literals::StringLiterals;

namespace {

struct TableColumns
{
    const char *table;
    std::array<const char *, 7> columns;  // null-terminated short lists
};

// The columns the program's statements read or filter by.
const TableColumns Schema[] = {
    {"forms", {"id", "word", "initform_id", "props", nullptr}},
    {"grams2", {"word1id", "word2id", "word1", "word2", "freq", nullptr}},
    {"grams3", {"word1id", "word2id", "word3id", "word1", "word2", "word3", "freq"}},
};

// The message naming the first table or column that the file lacks; empty when all are
// there, the database's own text when the file cannot be read as a database.
QString schemaProblem(sqlite3 *db, const QString &path)
{
    DictionaryStatement columns(db, "select name from pragma_table_info(?)");
    for (const TableColumns &table : Schema) {
        const QString name = QString::fromUtf8(table.table);
        columns.bindText(1, name);
        QStringList present;
        while (columns.next())
            present.append(columns.text(0));
        if (!columns.ok())
            return databaseErrorMessage(sqlite3_extended_errcode(db), path, columns.error(),
                                        sqlite3_system_errno(db));
        if (present.isEmpty())
            return u"В словаре нет таблицы %1"_s.arg(name);
        for (const char *column : table.columns) {
            if (!column)
                break;
            // The id column of forms may be the rowid alias, which table_info lists too.
            if (!present.contains(QString::fromUtf8(column), Qt::CaseInsensitive))
                return u"В таблице %1 словаря нет столбца %2"_s.arg(name,
                                                                  QString::fromUtf8(column));
        }
    }
    return QString();
}

} // namespace

QString dictionaryConnectionMessage()
{
    return u"Ошибка подключения к базе данных"_s;
}

QString dictionaryBusyMessage()
{
    return u"Словарь занят поиском: дождитесь его окончания"_s;
}

qint64 idFromText(const QString &text)
{
    bool whole = false;
    const qint64 id = text.toLongLong(&whole);
    return whole ? id : -1;
}

QString dictionaryFileProblem(const QString &path)
{
    Dictionary probe;
    return probe.ConnectDictionary(path) ? QString() : probe.error();
}

Dictionary::~Dictionary()
{
    sqlite3_close_v2(m_db);
}

bool Dictionary::ConnectDictionary(const QString &path)
{
    if (m_db)
        return true;
    m_error.clear();
    // SQLite opens an empty name as a fresh temporary database: refuse it like any
    // path that names no readable file.
    const QFileInfo file(path);
    if (path.isEmpty()) {
        m_error = dictionaryConnectionMessage();
        return false;
    }
    if (!file.isFile() || !file.isReadable()) {
        const int cause = !file.exists() ? ENOENT : file.isDir() ? EISDIR : EACCES;
        m_error = dictionaryConnectionMessage() + u". "_s
                  + errnoMessage(cause, path, FileAction::Read);
        return false;
    }
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const int opened = sqlite3_open_v2(name.constData(), &db,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        m_error = dictionaryConnectionMessage() + u". "_s
                  + databaseErrorMessage(opened, path, QString::fromUtf8(sqlite3_errmsg(db)),
                                         sqlite3_system_errno(db));
        sqlite3_close_v2(db);
        return false;
    }
    const QString problem = schemaProblem(db, path);
    if (!problem.isEmpty()) {
        sqlite3_close_v2(db);
        m_error = problem;
        return false;
    }
    // Reads go through a memory map and a larger cache: a run touches many pages.
    sqlite3_exec(db, "pragma mmap_size=4294967296; pragma cache_size=-65536;", nullptr,
                 nullptr, nullptr);
    m_db = db;
    return true;
}

DictionaryReading::DictionaryReading(Dictionary &dictionary)
    : m_db(dictionary.handle())
{
    m_began = m_db && sqlite3_get_autocommit(m_db)
              && sqlite3_exec(m_db, "begin", nullptr, nullptr, nullptr) == SQLITE_OK;
}

DictionaryReading::~DictionaryReading()
{
    if (m_began)
        sqlite3_exec(m_db, "commit", nullptr, nullptr, nullptr);
}

bool Dictionary::claim()
{
    bool idle = false;
    return m_busy.compare_exchange_strong(idle, true);
}

void Dictionary::release()
{
    m_busy.store(false);
}

DictionaryRows Dictionary::lookUp(const char *sql, const QString &parameter, bool asNumber)
{
    DictionaryRows result;
    if (!m_db) {
        result.error = dictionaryConnectionMessage();
        return result;
    }
    if (!claim()) {
        result.error = dictionaryBusyMessage();
        return result;
    }
    DictionaryStatement statement(m_db, sql);
    if (asNumber)
        statement.bindInt(1, idFromText(parameter));
    else
        statement.bindText(1, parameter);
    while (statement.next()) {
        QStringList row;
        for (int c = 0; c < statement.columnCount(); ++c)
            row.append(statement.text(c));
        result.rows.append(row);
    }
    if (!statement.ok()) {
        result.rows.clear();
        result.error = statement.error();
    }
    release();
    return result;
}

DictionaryRows Dictionary::initialFormIds(const QString &word)
{
    // The index on word keeps equal words in rowid order, so the order costs no sort.
    return lookUp("select initform_id from forms where word=? order by id", word, false);
}

DictionaryRows Dictionary::rightBigrams(const QString &id)
{
    return lookUp("select word1,word2,freq from grams2 where word1id=?", id, true);
}

DictionaryRows Dictionary::leftBigrams(const QString &id)
{
    return lookUp("select word1,word2,freq from grams2 where word2id=?", id, true);
}

DictionaryRows Dictionary::trigrams(const QString &id)
{
    return lookUp("select word1,word2,word3,freq from grams3 where word2id=?", id, true);
}

DictionaryRows Dictionary::wordForms(const QString &id)
{
    return lookUp("select word from forms where initform_id=? group by word order by word", id,
                  true);
}

DictionaryRows Dictionary::wordsOfId(const QString &id)
{
    return lookUp("select word from forms where id=?", id, false);
}
