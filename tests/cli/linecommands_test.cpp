#include "tests/support/clitest.h"
#include "tests/support/printers.h"

#include <QProcess>

#include <gtest/gtest.h>

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
