#include "tests/support/clitest.h"
#include "tests/support/printers.h"
#include "tests/cli/cliprocess.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {
class LineCommandsTest : public CliTest
{
};
} // namespace

TEST_F(LineCommandsTest, LinesPrintsThePaneTextInUtf8)
{
    const QString list = file(u"list.txt"_s, "\xEF\xBB\xBF\xD0\xB1\n\xD0\x90\r\xD1\x91\r\n\xD0\xB1");
    EXPECT_EQ(run({u"lines"_s, u"sort"_s, list}).out, "\xD0\x90\r\n\xD0\xB1\r\n\xD0\xB1\r\n\xD1\x91\r\n");
    EXPECT_EQ(run({u"lines"_s, u"dedupe"_s, list}).out.count("\r\n"), 4);
    EXPECT_EQ(run({u"lines"_s, u"upper"_s, list}).out,
              "\xD0\x91\r\n\xD0\x90\r\n\xD0\x81\r\n\xD0\x91\r\n");
    EXPECT_EQ(run({u"lines"_s, u"reverse"_s, u"--out-encoding"_s, u"utf16le"_s, list}).out.left(4),
              QByteArray::fromHex("3104 0d00").replace(' ', ""));
    // An empty list prints nothing; an ANSI file reads as Windows-1251.
    EXPECT_EQ(run({u"lines"_s, u"capitalize"_s, file(u"empty.txt"_s, "")}).out, QByteArray());
    EXPECT_EQ(run({u"lines"_s, u"capitalize"_s, u"--encoding"_s, u"ansi"_s,
                   file(u"cp.txt"_s, "\xEA\xCE\xD2")})
                  .out,
              "\xD0\x9A\xD0\xBE\xD1\x82\r\n");
}

TEST_F(LineCommandsTest, ReplaceAlwaysReportsTheCount)
{
    const QString list = file(u"list.txt"_s, "кот\nскот\nКот");
    CliRun r = run({u"replace"_s, u"--find"_s, u"кот"_s, u"--with"_s, u"пёс"_s, u"--whole-word"_s, list});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(QString::fromUtf8(r.out), u"пёс\r\nскот\r\nпёс\r\n"_s);
    EXPECT_EQ(r.err, u"Произведено замен: 2\n"_s);
    r = run({u"replace"_s, u"--find"_s, u"кот"_s, u"--with"_s, u"пёс"_s, u"--match-case"_s,
             u"--whole-word"_s, list});
    EXPECT_EQ(r.err, u"Произведено замен: 1\n"_s);
    r = run({u"replace"_s, u"--find"_s, u"пёс"_s, u"--with"_s, u"x"_s, list});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, u"Произведено замен: 0\n"_s);
}

TEST_F(LineCommandsTest, ConvertReencodesByTheLoadAndSaveRules)
{
    const QString in = file(u"in.txt"_s, "\xEF\xBB\xBF\xD1\x91\xD0\xB6 \xC3\x9F");
    const QString out = path(u"out.txt"_s);
    EXPECT_EQ(run({u"convert"_s, u"--from"_s, u"utf8"_s, u"--to"_s, u"utf7"_s, in, out}).status, 0);
    EXPECT_EQ(contents(u"out.txt"_s), "+BFEENg +AN8\r\n");
    EXPECT_EQ(run({u"convert"_s, u"--from"_s, u"utf7"_s, u"--to"_s, u"utf16be"_s, out, out}).status, 0);
    EXPECT_EQ(contents(u"out.txt"_s).toHex(), "feff04510436002000df000d000a");
    const CliRun lossy = run({u"convert"_s, u"--from"_s, u"utf8"_s, u"--to"_s, u"ascii"_s, in, out});
    EXPECT_EQ(lossy.status, 0);
    EXPECT_TRUE(lossy.err.contains(u"3"_s));
    EXPECT_EQ(contents(u"out.txt"_s), "?? ?\r\n");
}

TEST_F(LineCommandsTest, BadInputIsOneLineAndStatusTwo)
{
    const QString list = file(u"list.txt"_s, "a");
    const QList<QStringList> bad = {
        {},
        {u"frobnicate"_s},
        {u"lines"_s, u"shuffle"_s, list},
        {u"lines"_s, u"sort"_s, path(u"missing.txt"_s)},
        {u"lines"_s, u"sort"_s, u"--encoding"_s, u"koi8"_s, list},
        {u"lines"_s, u"sort"_s},
        {u"lines"_s, u"sort"_s, u"--bogus"_s, list},
        {u"replace"_s, u"--find"_s, u"a"_s, list},
        {u"convert"_s, u"--from"_s, u"utf8"_s, u"--to"_s, u"utf9"_s, list, list},
    };
    for (const QStringList &args : bad) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_EQ(r.err.count(u'\n'), 1) << args.join(u' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(run({u"--help"_s}).status, 0);
}

TEST_F(LineCommandsTest, TheProgramWritesToItsStandardStreams)
{
    QProcess cli;
    cli.start(QStringLiteral(LEXORUM_BIN_DIR "/lexorum-cli"),
              {u"replace"_s, u"--find"_s, u"б"_s, u"--with"_s, u"в"_s, file(u"l.txt"_s, "аб")});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_EQ(cli.readAllStandardOutput(), "ав\r\n");
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardError()), u"Произведено замен: 1\n"_s);
}

TEST_F(LineCommandsTest, AutoEncodingReadsWhatEachFileHolds)
{
    const QByteArray sorted = "\xD1\x8F\r\n\xD1\x91\xD0\xB6\r\n";  // "я" before "ёж"
    const struct
    {
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"cp1251.txt", QByteArray::fromHex("b8e60d0aff")},
        {"utf8.txt", "\xD1\x91\xD0\xB6\n\xD1\x8F"},
        {"utf8bom.txt", "\xEF\xBB\xBF\xD1\x91\xD0\xB6\n\xD1\x8F"},
        {"utf16le.txt", QByteArray::fromHex("fffe510436040d000a004f04")},
    };
    for (const auto &f : files) {
        const CliRun r = run({u"lines"_s, u"sort"_s, u"--encoding"_s, u"auto"_s,
                              file(QString::fromLatin1(f.name), f.bytes)});
        EXPECT_EQ(r.status, 0) << f.name;
        EXPECT_EQ(r.out, sorted) << f.name;
        EXPECT_EQ(r.err, QString()) << f.name;
    }
    // A file of program code is refused in one line; a named encoding still reads it.
    const QString binary = file(u"prog"_s, QByteArray::fromHex("7f454c460201010000000000"));
    const CliRun refused = run({u"lines"_s, u"sort"_s, u"--encoding"_s, u"auto"_s, binary});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines().size(), 1);
    EXPECT_TRUE(refused.err.contains(u"не текстовый"_s)) << refused.err.toStdString();
    EXPECT_EQ(run({u"lines"_s, u"sort"_s, u"--encoding"_s, u"ansi"_s, binary}).status, 0);
    EXPECT_EQ(run({u"lines"_s, u"sort"_s, u"--out-encoding"_s, u"auto"_s, binary}).status, 2);
}

// A failing standard output (a full disk, /dev/full) once gave status 0 and a truncated file.
TEST_F(LineCommandsTest, ReportsAFailingStandardOutput)
{
    QByteArray big;
    for (int i = 0; i < 20000; ++i)
        big += "слово " + QByteArray::number(i) + '\n';
    const QString list = file(u"list.txt"_s, big);
    for (const QStringList &args :
         {QStringList{u"lines"_s, u"sort"_s, list},
          QStringList{u"replace"_s, u"--find"_s, u"а"_s, u"--with"_s, u"б"_s, list}}) {
        const CliProcessRun full = runCliProcess(args, {u"/dev/full"_s});
        EXPECT_EQ(full.status, 2) << full.err.toStdString();
        EXPECT_TRUE(full.err.contains(u"Недостаточно места на диске"_s)
                    && full.err.contains(u"/dev/full"_s))
            << full.err.toStdString();
    }
    // The limit on file size stands for a disk that fills up on the way.
    const CliProcessRun limited = runCliProcess({u"lines"_s, u"sort"_s, list},
                                                {path(u"sorted.txt"_s), 10000});
    EXPECT_EQ(limited.status, 2);
    EXPECT_TRUE(limited.err.contains(u"Недостаточно места на диске"_s))
        << limited.err.toStdString();
    EXPECT_TRUE(limited.err.contains(path(u"sorted.txt"_s))) << limited.err.toStdString();
}

TEST_F(LineCommandsTest, ConvertKeepsTheOldFileWhenTheDiskFills)
{
    QByteArray big;
    for (int i = 0; i < 20000; ++i)
        big += "слово " + QByteArray::number(i) + '\n';
    const QString list = file(u"list.txt"_s, big);
    const QString old = file(u"old.txt"_s, "старое\n");
    const CliProcessRun run = runCliProcess(
        {u"convert"_s, u"--from"_s, u"utf8"_s, u"--to"_s, u"utf16le"_s, list, old},
        {u"/dev/null"_s, 10000});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(u"Недостаточно места на диске"_s)) << run.err.toStdString();
    EXPECT_EQ(contents(u"old.txt"_s), "старое\n");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 2);  // no temporary left
}

// Saving onto a FIFO once replaced it by a regular file; a link was replaced by the file too.
TEST_F(LineCommandsTest, ConvertWritesIntoAFifoAndThroughALink)
{
    const QString list = file(u"list.txt"_s, "б\nа\n");
    const QString fifo = path(u"fifo"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opened first without waiting, so the writer finds its reader; the text fits the pipe.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const CliRun run =
        CliTest::run({u"convert"_s, u"--from"_s, u"utf8"_s, u"--to"_s, u"utf8"_s, list, fifo});
    char buffer[64] = {};
    const ssize_t got = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(QByteArray(buffer, int(std::max<ssize_t>(got, 0))), "\xEF\xBB\xBF" "б\r\nа\r\n");
    struct stat status = {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    const QString target = file(u"target.txt"_s, "старое\n");
    const QString link = path(u"link.txt"_s);
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(CliTest::run({u"convert"_s, u"--from"_s, u"utf8"_s, u"--to"_s, u"ansi"_s, list, link})
                  .status,
              0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(u"target.txt"_s), "\xE1\r\n\xE0\r\n");
}
