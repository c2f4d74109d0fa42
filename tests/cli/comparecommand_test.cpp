#include "tests/support/clitest.h"
#include "tests/support/printers.h"
#include "tests/cli/cliprocess.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class CompareCommandTest : public CliTest
{
protected:
    int run(const QStringList &args)
    {
        const CliRun r = CliTest::run(QStringList{u"compare"_s} + args);
        m_err = r.err;
        return r.status;
    }
    QString output(const QString &name) const
    {
        const QByteArray bytes = contents(u"out/"_s + name);
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
        return QString::fromUtf8(bytes);
    }
    QString outDir() const { return path(u"out"_s); }

    QString m_err;
};

} // namespace

TEST_F(CompareCommandTest, WritesEveryResultAndBothTables)
{
    const QString first = file(u"first.txt"_s, "\xEF\xBB\xBF" "b\na\na\r\nc\n\nкот");
    const QString second = file(u"second.txt"_s, "a\r\nd\r\n\r\n");
    QDir().mkpath(outDir());
    ASSERT_EQ(run({u"--out"_s, outDir(), first, second}), 0) << m_err.toStdString();
    EXPECT_EQ(QDir(outDir()).entryList(QDir::Files).size(), 10);
    EXPECT_EQ(output(u"merged.txt"_s), u"\r\na\r\nb\r\nc\r\nd\r\nкот\r\n"_s);
    EXPECT_EQ(output(u"common.txt"_s), u"\r\na\r\n"_s);
    EXPECT_EQ(output(u"unique-1.txt"_s), u"b\r\nc\r\nкот\r\n"_s);
    EXPECT_EQ(output(u"unique-2.txt"_s), u"d\r\n"_s);
    EXPECT_EQ(output(u"shared-1.txt"_s), QString());
    EXPECT_EQ(output(u"absent-1.txt"_s), u"d\r\n"_s);
    EXPECT_EQ(output(u"absent-2.txt"_s), u"b\r\nc\r\nкот\r\n"_s);
    EXPECT_EQ(output(u"words.tsv"_s),
              u"Слово\tКол-во\tfirst.txt\tsecond.txt\r\n\t2\t+\t+\r\na\t2\t+\t+\r\nb\t1\t+\t\r\n"
              u"c\t1\t+\t\r\nd\t1\t\t+\r\nкот\t1\t+\t\r\n"_s);
    EXPECT_EQ(output(u"lists.tsv"_s),
              u"Список\tСтрок\tУникальных\tОтсутствующих\tПересекающихся\tОбщих\tВсего\r\n"
              u"first.txt\t6\t3\t1\t0\t2\t6\r\nsecond.txt\t3\t1\t3\t0\t2\t6\r\n"_s);
}

TEST_F(CompareCommandTest, CleansTheListsFirstWhenAsked)
{
    const QString list = file(u"list.txt"_s, "  b\na\n\na\nB\n");
    const QString other = file(u"other.txt"_s, "\xD0\x91\n");  // "Б"
    ASSERT_EQ(run({u"--auto"_s, u"--out"_s, outDir(), list, list, other}), 0);
    EXPECT_EQ(output(u"common.txt"_s), QString());
    EXPECT_EQ(output(u"shared-1.txt"_s), u"a\r\nb\r\n"_s);
    EXPECT_EQ(output(u"unique-3.txt"_s), u"б\r\n"_s);
    EXPECT_TRUE(output(u"words.tsv"_s).startsWith(u"Слово\tКол-во\tlist.txt\tlist.txt\tother.txt\r\n"_s));
    ASSERT_EQ(run({u"--auto"_s, u"--no-auto-compare"_s, u"--case"_s, u"upper"_s, u"--out"_s,
                   outDir(), list, other}),
              0);
    EXPECT_EQ(output(u"merged.txt"_s), u"A\r\nB\r\nБ\r\n"_s);
    // Without --auto the case choice changes nothing.
    ASSERT_EQ(run({u"--case"_s, u"capitalize"_s, u"--out"_s, outDir(), list, other}), 0);
    EXPECT_EQ(output(u"unique-1.txt"_s), u"  b\r\na\r\n\r\na\r\nB\r\n"_s);
}

TEST_F(CompareCommandTest, RefusesBadInputWithoutWritingAnything)
{
    const QString list = file(u"list.txt"_s, "a\n");
    const QString missing = m_dir.filePath(u"missing.txt"_s);
    const QStringList eleven(11, list);
    const QList<QStringList> bad{
        {u"--out"_s, outDir(), list},
        QStringList{u"--out"_s, outDir()} + eleven,
        {u"--out"_s, outDir(), list, missing},
        {u"--out"_s, outDir(), u"--sideways"_s, list, list},
        {u"--case"_s, u"title"_s, u"--out"_s, outDir(), list, list},
        {u"--encoding"_s, u"koi8"_s, u"--out"_s, outDir(), list, list},
        {list, list},
    };
    for (const QStringList &args : bad) {
        EXPECT_EQ(run(args), 2) << args.join(u' ').toStdString();
        EXPECT_EQ(m_err.count(u'\n'), 1) << m_err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(outDir()));
    }
    file(u"out"_s, "a file in the way");
    EXPECT_EQ(run({u"--out"_s, outDir(), list, list}), 2);
}

// A write that failed half-way once left a result folder with some of its files.
TEST_F(CompareCommandTest, LeavesNoResultFolderWhenAWriteFails)
{
    QByteArray first;
    QByteArray second;
    for (int i = 0; i < 5000; ++i) {
        first += "слово" + QByteArray::number(i) + '\n';
        second += "слово" + QByteArray::number(i * 2) + '\n';
    }
    const QStringList lists = {file(u"first.txt"_s, first), file(u"second.txt"_s, second)};
    ASSERT_EQ(run(QStringList{u"--out"_s, outDir()} + lists), 0) << m_err.toStdString();
    // Every file may be as large as the merged list, and the word table is larger.
    const qint64 limit = QFileInfo(outDir() + u"/merged.txt"_s).size() + 100;
    ASSERT_GT(QFileInfo(outDir() + u"/words.tsv"_s).size(), limit);

    const QString failed = path(u"failed"_s);
    const CliProcessRun run = runCliProcess(
        QStringList{u"compare"_s, u"--out"_s, failed} + lists, {u"/dev/null"_s, limit});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(u"Недостаточно места на диске"_s)) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(failed));
    EXPECT_EQ(QDir(m_dir.path()).entryList({u"*.part"_s}, QDir::Dirs | QDir::Files),
              QStringList());
}
