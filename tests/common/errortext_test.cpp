#include "common/errortext.h"

#include "common/textfile.h"
#include "tests/support/printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

using namespace Qt::Literals::StringLiterals;

namespace {

/// Lowers the file-size limit for its lifetime, the way a full disk stops a write:
/// write() fails with EFBIG instead of the process being killed.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

/// A folder this process cannot write in: a folder without write permission for an
/// ordinary user; root writes everywhere, so it takes /sys, which refuses even root.
QString readOnlyFolder(const QTemporaryDir &dir)
{
    if (geteuid() != 0) {
        const QString folder = dir.filePath(u"locked"_s);
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        return folder;
    }
    QFile probe(u"/sys/lexorum-probe"_s);
    if (QFileInfo(u"/sys"_s).isDir() && !probe.open(QIODevice::WriteOnly)
        && probe.error() == QFileDevice::OpenError)
        return u"/sys"_s;
    return QString();
}

QString databaseFailure(const QString &path, int *code)
{
    sqlite3 *db = nullptr;
    *code = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY,
                            nullptr);
    if (*code == SQLITE_OK)
        *code = sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    const QString message = databaseErrorMessage(sqlite3_extended_errcode(db), path,
                                                 QString::fromUtf8(sqlite3_errmsg(db)),
                                                 sqlite3_system_errno(db));
    sqlite3_close(db);
    return message;
}

} // namespace

TEST(ErrorText, AFullDiskSaysSoAndTheOldFileStays)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"список.txt"_s);
    ASSERT_TRUE(SaveTextFile(path, TextEncoding::UTF8, {u"старое"_s}).ok());
    const QStringList many(20000, u"слово"_s);
    TextFileWrite written;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.isSet());
        written = SaveTextFile(path, TextEncoding::UTF8, many);
    }
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(written.error.startsWith(u"Недостаточно места на диске: файл «%1»"_s.arg(path)))
        << written.error.toStdString();
    // The system's own text follows in parentheses.
    EXPECT_TRUE(written.error.endsWith(u" (%1)"_s.arg(qt_error_string(EFBIG))))
        << written.error.toStdString();
    EXPECT_EQ(LoadTextFile(path, TextEncoding::UTF8).lines(), QStringList{u"старое"_s});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // A full disk proper reads the same, from a number or from a device's text.
    EXPECT_TRUE(errnoMessage(ENOSPC, path, FileAction::Write).startsWith(u"Недостаточно места"_s));
    EXPECT_TRUE(fileErrorMessage(QFileDevice::ResourceError, QString(), path, FileAction::Write)
                    .startsWith(u"Недостаточно места"_s));
}

TEST(ErrorText, AFolderThatCannotBeWrittenIsNamed)
{
    QTemporaryDir dir;
    const QString folder = readOnlyFolder(dir);
    if (folder.isEmpty())
        GTEST_SKIP() << "no folder here refuses this user";
    const QString path = folder + u"/список.txt"_s;
    const TextFileWrite written = SaveTextFile(path, TextEncoding::UTF8, {u"кот"_s});
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(written.error.startsWith(u"Нет прав на запись в папку «%1»"_s.arg(folder)))
        << written.error.toStdString();
    EXPECT_TRUE(written.error.contains(u"другую папку"_s)) << written.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));

    EXPECT_TRUE(errnoMessage(EROFS, u"/media/disk/a.txt"_s, FileAction::Write)
                    .startsWith(u"Нет прав на запись в папку «/media/disk»"_s));
}

TEST(ErrorText, ReadingAndWritingAMissingPathSayWhatIsMissing)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"нет.txt"_s);
    const TextFileRead read = LoadTextFile(missing, TextEncoding::UTF8);
    EXPECT_TRUE(read.error.startsWith(u"Файл «%1» не найден."_s.arg(missing)))
        << read.error.toStdString();
    const QString deep = dir.filePath(u"нет/a.txt"_s);
    const TextFileWrite written = SaveTextFile(deep, TextEncoding::UTF8, {u"a"_s});
    EXPECT_TRUE(written.error.startsWith(u"Папка «%1» не найдена."_s.arg(dir.filePath(u"нет"_s))))
        << written.error.toStdString();
    const TextFileRead folder = LoadTextFile(dir.path(), TextEncoding::UTF8);
    EXPECT_FALSE(folder.ok());
    EXPECT_TRUE(folder.error.contains(dir.path())) << folder.error.toStdString();
    // An errno without a sentence of its own still names the file.
    EXPECT_EQ(errnoMessage(EXDEV, missing, FileAction::Read).section(u" ("_s, 0, 0),
              u"Не удалось прочитать файл «%1»."_s.arg(missing));
}

TEST(ErrorText, DatabaseFailuresNameTheFile)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(u"words.txt"_s);
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    int code = 0;
    const QString notDatabase = databaseFailure(text, &code);
    EXPECT_EQ(code, SQLITE_NOTADB);
    EXPECT_TRUE(notDatabase.startsWith(u"Файл «%1» не является базой данных."_s.arg(text)))
        << notDatabase.toStdString();
    EXPECT_TRUE(notDatabase.endsWith(u"(file is not a database)"_s)) << notDatabase.toStdString();

    const QString absent = dir.filePath(u"none.sqlite"_s);
    EXPECT_TRUE(databaseFailure(absent, &code).startsWith(u"Файл «%1» не найден."_s.arg(absent)));
    EXPECT_EQ(code, SQLITE_CANTOPEN);

    EXPECT_TRUE(databaseErrorMessage(SQLITE_FULL, absent, u"database or disk is full"_s)
                    .startsWith(u"Недостаточно места на диске: файл «%1»"_s.arg(absent)));
    // SQLite reports a write past the file-size limit as an I/O error; errno tells.
    EXPECT_TRUE(databaseErrorMessage(SQLITE_IOERR_WRITE, absent, u"disk I/O error"_s, EFBIG)
                    .startsWith(u"Недостаточно места на диске"_s));
    EXPECT_EQ(databaseErrorMessage(SQLITE_MISMATCH, absent, QString()),
              u"Ошибка базы данных «%1»."_s.arg(absent));
}
