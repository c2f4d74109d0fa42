#include "sorter/projectstore.h"

#include "common/errortext.h"
#include "common/pane.h"
#include "sorter/sortingsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString OpenFailed = u"Ошибка открытия базы данных"_s;
const QString CreateFailed = u"Ошибка создания базы данных"_s;
constexpr int SourceRow = 0;
constexpr int CountRow = -1;
constexpr int DefaultListCount = 5;

struct Closer
{
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, Closer>;
using Statement = std::unique_ptr<sqlite3_stmt, Closer>;

QString databaseError(sqlite3 *db, const QString &path)
{
    return databaseErrorMessage(sqlite3_extended_errcode(db), path,
                                QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_system_errno(db));
}

/// A fixed message of the store followed by the cause.
QString failure(const QString &message, const QString &cause)
{
    return message + u". "_s + cause;
}

bool execute(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    // Bound with its length, so NUL and every other character go in as they are.
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT)
        == SQLITE_OK;
}

bool insertRow(sqlite3_stmt *insert, int id, const QString &name, const QString &data)
{
    sqlite3_reset(insert);
    return sqlite3_bind_int(insert, 1, id) == SQLITE_OK && bindText(insert, 2, name)
        && bindText(insert, 3, data) && sqlite3_step(insert) == SQLITE_DONE;
}

/// Fills the new database; returns the failure, empty on success. The message is
/// taken at once: finalizing the statement clears the database's error.
QString writeRows(sqlite3 *db, const SortingSession &session, const QString &path)
{
    // The table is committed by itself and the rows in one transaction after it.
    if (!execute(db, projectTableStatement().toUtf8().constData()) || !execute(db, "begin;"))
        return databaseError(db, path);
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(db, "insert into `Data` (id,name,data) values(?,?,?);", -1, &raw,
                           nullptr)
        != SQLITE_OK)
        return databaseError(db, path);
    const Statement insert(raw);
    bool written = insertRow(insert.get(), SourceRow, QString(), session.source().text());
    for (int k = 1; written && k <= SortingSession::ListCount; ++k)
        written = insertRow(insert.get(), k, session.buttonName(k), session.list(k).text());
    written = written
        && insertRow(insert.get(), CountRow, QString(), QString::number(session.visibleListCount()))
        && execute(db, "commit;");
    return written ? QString() : databaseError(db, path);
}

QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(statement, column));
}

struct ProjectRow
{
    qint64 id = 0;
    QString name;
    QString data;
};

} // namespace

QString projectTableStatement()
{
    return u"CREATE TABLE `Data` (`id` INTEGER NOT NULL PRIMARY KEY ,`name` TEXT NOT NULL,"
           "`data` TEXT NOT NULL);"_s;
}

ProjectResult SaveProject(SortingSession &session, const QString &path)
{
    const QFileInfo target(path);
    // The temporary file reserves a fresh name beside the target; SQLite fills it.
    QTemporaryFile file(target.absolutePath() + u"/."_s + target.fileName() + u".XXXXXX"_s);
    if (!file.open())
        return {failure(CreateFailed, fileErrorMessage(file.error(), file.errorString(), path,
                                                       FileAction::Write))};
    const QString temporary = file.fileName();  // asking for the name gives the file one
    file.close();
    {
        sqlite3 *raw = nullptr;
        const int opened = sqlite3_open_v2(QFile::encodeName(temporary).constData(), &raw,
                                           SQLITE_OPEN_READWRITE, nullptr);
        Database db(raw);
        if (opened != SQLITE_OK)
            return {failure(CreateFailed, databaseError(db.get(), temporary))};
        const QString failed = writeRows(db.get(), session, path);
        if (!failed.isEmpty())
            return {failed};
        if (sqlite3_close(db.get()) != SQLITE_OK)
            return {databaseError(db.get(), path)};
        (void)db.release();  // closed above
    }
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
        | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
    if (target.exists())
        permissions = target.permissions();
    file.setPermissions(permissions);
    // rename() puts the new file in place in one step and replaces an old one.
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData())
        != 0)
        return {errnoMessage(errno, path, FileAction::Write)};
    file.setAutoRemove(false);
    session.setDocumentPath(path);
    return {};
}

ProjectResult OpenProject(SortingSession &session, const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {failure(OpenFailed, errnoMessage(QFileInfo(path).isDir() ? EISDIR : ENOENT, path,
                                                 FileAction::Read))};
    sqlite3 *raw = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                       SQLITE_OPEN_READONLY, nullptr);
    const Database db(raw);
    if (opened != SQLITE_OK)
        return {failure(OpenFailed, databaseError(db.get(), path))};

    sqlite3_stmt *query = nullptr;
    if (sqlite3_prepare_v2(db.get(), "select id,name,data from Data", -1, &query, nullptr)
        != SQLITE_OK)
        return {databaseError(db.get(), path)};
    const Statement select(query);
    std::vector<ProjectRow> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(query)) == SQLITE_ROW)
        rows.push_back(
            {sqlite3_column_int64(query, 0), columnText(query, 1), columnText(query, 2)});
    if (step != SQLITE_DONE)
        return {databaseError(db.get(), path)};

    for (const ProjectRow &row : rows) {
        if (row.id == SourceRow) {
            session.source().setText(row.data);
        } else if (row.id >= 1 && row.id <= SortingSession::ListCount) {
            session.list(int(row.id)).setText(row.data);
            session.setButtonName(int(row.id), row.name);
        } else if (row.id == CountRow) {
            bool isNumber = false;
            const int count = row.data.toInt(&isNumber);
            session.setVisibleListCount(isNumber ? count : DefaultListCount);
        }
    }
    session.setDocumentPath(path);
    session.ResetHistory();
    session.RecordSnapshot();
    return {};
}

bool isProjectFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3", 16);
}

QString projectOpenedAsTextQuestion(const QString &path)
{
    return u"Файл «%1» — проект, а не текстовый файл. Открыть его как проект?"_s.arg(
        QDir::toNativeSeparators(path));
}
