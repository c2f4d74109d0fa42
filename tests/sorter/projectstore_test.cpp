#include "sorter/projectstore.h"

#include "tests/sorter/sortingpanes.h"
#include "tests/support/printers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

/// Runs statements on a database file, creating it.
void runSql(const QString &path, const QStringList &statements)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    for (const QString &sql : statements)
        ASSERT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
    sqlite3_close(db);
}

QString sqliteShell(const QString &path, const QString &command)
{
    const QString program = QStandardPaths::findExecutable(u"sqlite3"_s);
    if (program.isEmpty())
        return u"sqlite3 not installed"_s;
    QProcess shell;
    shell.start(program, {path, command});
    shell.waitForFinished();
    return QString::fromUtf8(shell.readAllStandardOutput());
}

class ProjectStoreTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir;
    SortingPanes saved;
    SortingPanes opened;
};

} // namespace

TEST_F(ProjectStoreTest, RoundTripsEveryTextAndRestartsTheHistory)
{
    saved.source.setText(u"it's\r\n'\r\nlast"_s);
    saved.list(1).setText(u"'"_s);
    saved.list(3).setText(u"a\\n \"q\" \u0000 end"_s);
    saved.list(10).setText(u"hidden\r\n"_s);
    saved.session.setButtonName(1, u"O'Brien's"_s);
    saved.session.setButtonName(2, QString());
    saved.session.setVisibleListCount(3);
    ASSERT_TRUE(SaveProject(saved.session, path(u"p.db"_s)).ok());
    opened.source.setText(u"before"_s);
    opened.session.RecordSnapshot();
    opened.list(2).setText(u"x"_s);
    opened.session.RecordSnapshot();

    ASSERT_TRUE(OpenProject(opened.session, path(u"p.db"_s)).ok());
    EXPECT_EQ(opened.source.text(), saved.source.text());
    for (int k = 1; k <= SortingSession::ListCount; ++k) {
        EXPECT_EQ(opened.list(k).text(), saved.list(k).text()) << k;
        EXPECT_EQ(opened.session.buttonName(k), saved.session.buttonName(k)) << k;
    }
    EXPECT_EQ(opened.session.visibleListCount(), 3);
    EXPECT_EQ(opened.session.windowCaption(),
              u"Ручная сортировка списков - "_s + QDir::toNativeSeparators(path(u"p.db"_s)));
    opened.session.Undo();  // the loaded state is the only step
    EXPECT_EQ(opened.source.text(), saved.source.text());
    opened.session.SendToList(2);
    opened.session.Undo();
    EXPECT_EQ(opened.source.text(), saved.source.text());
    EXPECT_EQ(opened.list(2).text(), QString());  // saved empty, as every list row is
}

TEST_F(ProjectStoreTest, WritesTheTableAndTwelveRowsAsTheLiteralStatementsWould)
{
    saved.source.setText(u"src'\r\n"_s);
    saved.list(1).setText(u"a\r\n"_s);
    saved.session.setButtonName(1, u"It's"_s);
    saved.session.setVisibleListCount(3);
    ASSERT_TRUE(SaveProject(saved.session, path(u"bound.db"_s)).ok());
    EXPECT_EQ(sqliteShell(path(u"bound.db"_s), u".schema"_s), projectTableStatement() + u"\n"_s);

    // The same state through quoted literals, ids quoted as well.
    QStringList statements{projectTableStatement(), u"begin;"_s,
                           u"insert into `Data` (id,name,data) values('0','','src''\r\n');"_s};
    for (int k = 1; k <= SortingSession::ListCount; ++k)
        statements.append(u"insert into `Data` (id,name,data) values('%1','%2','%3');"_s.arg(k).arg(
            k == 1 ? u"It''s"_s : u"В список"_s, k == 1 ? u"a\r\n"_s : QString()));
    statements << u"insert into `Data` (id,name,data) values('-1','','3');"_s << u"commit;"_s;
    runSql(path(u"literal.db"_s), statements);
    EXPECT_EQ(sqliteShell(path(u"bound.db"_s), u".dump"_s),
              sqliteShell(path(u"literal.db"_s), u".dump"_s));
    EXPECT_EQ(sqliteShell(path(u"bound.db"_s),
                          u"select count(*), sum(typeof(id) = 'integer') from Data;"_s),
              u"12|12\n"_s);
}

TEST_F(ProjectStoreTest, OpenAppliesTheRowsThatArePresent)
{
    for (int k = 1; k <= SortingSession::ListCount; ++k) {
        opened.list(k).setText(u"old %1"_s.arg(k));
        opened.session.setButtonName(k, u"name %1"_s.arg(k));
    }
    opened.session.setVisibleListCount(4);
    runSql(path(u"two.db"_s),
           {projectTableStatement(), u"insert into Data values(0, 'ignored', 'new source');"_s,
            u"insert into Data values(1, 'first', 'new list');"_s,
            u"insert into Data values(42, 'x', 'y');"_s,
            u"insert into Data values(-1, '', '11');"_s});
    ASSERT_TRUE(OpenProject(opened.session, path(u"two.db"_s)).ok());
    EXPECT_EQ(opened.source.text(), u"new source"_s);
    EXPECT_EQ(opened.list(1).text(), u"new list"_s);
    EXPECT_EQ(opened.session.buttonName(1), u"first"_s);
    EXPECT_EQ(opened.list(2).text(), u"old 2"_s);
    EXPECT_EQ(opened.session.buttonName(10), u"name 10"_s);
    EXPECT_EQ(opened.session.visibleListCount(), 4);  // 11 is out of range

    runSql(path(u"word.db"_s),
           {projectTableStatement(), u"insert into Data values(-1, '', 'three');"_s});
    ASSERT_TRUE(OpenProject(opened.session, path(u"word.db"_s)).ok());
    EXPECT_EQ(opened.session.visibleListCount(), 5);  // a non-number counts as 5
}

TEST_F(ProjectStoreTest, AFailedOpenLeavesTheSessionAsItWasAndCreatesNothing)
{
    opened.source.setText(u"mine"_s);
    opened.list(2).setText(u"two"_s);
    opened.session.RecordSnapshot();
    opened.list(2).setText(u"three"_s);
    opened.session.RecordSnapshot();

    QFile text(path(u"text.db"_s));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("SQLite, just some words\r\n");
    text.close();
    runSql(path(u"other.db"_s), {u"create table Other (x);"_s});
    // Rows of a page each; the last page is spoilt, so the query fails midway.
    QStringList rows{projectTableStatement(), u"insert into Data values(0, '', 'new');"_s};
    for (int k = 1; k <= SortingSession::ListCount; ++k)
        rows.append(u"insert into Data values(%1, '', '%2');"_s.arg(k).arg(QString(3000, u'x')));
    runSql(path(u"spoilt.db"_s), rows);
    QFile spoilt(path(u"spoilt.db"_s));
    ASSERT_TRUE(spoilt.open(QIODevice::ReadWrite));
    ASSERT_GT(spoilt.size(), 8 * 4096);
    spoilt.seek(spoilt.size() - 4096);
    spoilt.write(QByteArray(4096, '\xff'));
    spoilt.close();
    EXPECT_TRUE(isProjectFile(path(u"other.db"_s)));
    EXPECT_FALSE(isProjectFile(path(u"text.db"_s)));
    EXPECT_FALSE(isProjectFile(path(u"none.db"_s)));

    EXPECT_EQ(OpenProject(opened.session, path(u"none.db"_s)).error.section(u" ("_s, 0, 0),
              u"Ошибка открытия базы данных. Файл «%1» не найден. Проверьте имя файла и папку."_s
                  .arg(path(u"none.db"_s)));
    EXPECT_FALSE(QFile::exists(path(u"none.db"_s)));
    EXPECT_TRUE(
        OpenProject(opened.session, path(u"other.db"_s)).error.contains(u"no such table: Data"_s));
    EXPECT_TRUE(OpenProject(opened.session, path(u"text.db"_s))
                    .error.startsWith(u"Файл «%1» не является базой данных."_s.arg(
                        path(u"text.db"_s))));
    for (const QString &name : {u"text.db"_s, u"other.db"_s, u"spoilt.db"_s}) {
        const ProjectResult result = OpenProject(opened.session, path(name));
        EXPECT_FALSE(result.ok()) << name.toStdString();
        EXPECT_TRUE(result.error.contains(name)) << result.error.toStdString();
    }
    EXPECT_EQ(opened.source.text(), u"mine"_s);
    EXPECT_EQ(opened.list(2).text(), u"three"_s);
    EXPECT_EQ(opened.session.windowCaption(), u"Ручная сортировка списков"_s);
    opened.session.Undo();  // the history was not touched
    EXPECT_EQ(opened.list(2).text(), u"two"_s);
}

TEST_F(ProjectStoreTest, AFailedSaveLeavesWhatWasThere)
{
    EXPECT_TRUE(SaveProject(saved.session, path(u"missing/p.db"_s))
                    .error.startsWith(u"Ошибка создания базы данных. Папка «%1» не найдена."_s.arg(
                        path(u"missing"_s))));
    EXPECT_FALSE(QFile::exists(path(u"missing"_s)));
    // A folder in the way: the new file is written but cannot replace it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"dir.db"_s));
    EXPECT_FALSE(SaveProject(saved.session, path(u"dir.db"_s)).ok());
    EXPECT_TRUE(QFileInfo(path(u"dir.db"_s)).isDir());
    EXPECT_EQ(entries(), QStringList{u"dir.db"_s});  // no temporary file left behind
    EXPECT_EQ(saved.session.windowCaption(), u"Ручная сортировка списков"_s);

    // Saving over an old project replaces it without a question.
    saved.list(1).setText(u"first"_s);
    ASSERT_TRUE(SaveProject(saved.session, path(u"p.db"_s)).ok());
    saved.list(1).setText(u"old"_s);
    ASSERT_TRUE(SaveProject(saved.session, path(u"p.db"_s)).ok());
    QFile file(path(u"p.db"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // A file size limit fills the disk for this process: the new file cannot grow.
    saved.list(1).setText(QString(300000, u'ж'));
    rlimit usual{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &usual), 0);
    const rlimit small{64 * 1024, usual.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ProjectResult result = SaveProject(saved.session, path(u"p.db"_s));
    setrlimit(RLIMIT_FSIZE, &usual);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.startsWith(
        u"Не удалось записать базу данных «%1»: на диске не хватает места"_s.arg(
            path(u"p.db"_s))))
        << result.error.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(entries(), (QStringList{u"dir.db"_s, u"p.db"_s}));
    ASSERT_TRUE(OpenProject(opened.session, path(u"p.db"_s)).ok());
    EXPECT_EQ(opened.list(1).text(), u"old"_s);
}
