#include "common/textfile.h"

#include "common/textlines.h"
#include "tests/support/printers.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

class TextFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(TextFileTest, SkipsOnlyTheChosenEncodingsOwnMark)
{
    const QString utf8 = write(u"u8.txt"_s, QByteArray::fromHex("efbbbfd0b0d0b10d0a"));
    EXPECT_EQ(LoadTextFile(utf8, TextEncoding::UTF8).text, u"аб\r\n"_s);
    // Read as ANSI the mark shows as its three characters.
    EXPECT_EQ(LoadTextFile(utf8, TextEncoding::ANSI).text.left(3), u"п»ї"_s);

    const QString le = write(u"le.txt"_s, QByteArray::fromHex("fffe30040a00"));
    EXPECT_EQ(LoadTextFile(le, TextEncoding::Unicode).text, u"а\n"_s);
    // A little-endian mark read as big-endian is text, not a mark.
    EXPECT_EQ(LoadTextFile(le, TextEncoding::BigEndianUnicode).text.at(0), QChar(0xFFFE));
    const QString be = write(u"be.txt"_s, QByteArray::fromHex("feff0430"));
    EXPECT_EQ(LoadTextFile(be, TextEncoding::BigEndianUnicode).text, u"а"_s);
    EXPECT_EQ(LoadTextFile(be, TextEncoding::UTF8).undecodable, 2);
}

TEST_F(TextFileTest, WritesTheMarkThenEveryLineWithCrLf)
{
    const QStringList lines{u"ёж"_s, QString()};
    const struct
    {
        TextEncoding encoding;
        const char *hex;
    } cases[] = {
        {TextEncoding::ANSI, "b8e60d0a0d0a"},
        {TextEncoding::Unicode, "fffe51043604" "0d000a000d000a00"},
        {TextEncoding::BigEndianUnicode, "feff04510436" "000d000a000d000a"},
        {TextEncoding::UTF8, "efbbbfd191d0b60d0a0d0a"},
        // No closing "-" is needed before a character outside the base64 set.
        {TextEncoding::UTF7, "2b424645454e670d0a0d0a"},
    };
    for (const auto &c : cases) {
        const TextFileWrite written = SaveTextFile(path(u"out.txt"_s), c.encoding, lines);
        ASSERT_TRUE(written.ok()) << written.error.toStdString();
        EXPECT_EQ(written.unencodable, 0);
        EXPECT_EQ(read(u"out.txt"_s).toHex(), QByteArray(c.hex)) << int(c.encoding);
        EXPECT_EQ(LoadTextFile(path(u"out.txt"_s), c.encoding).lines(), lines);
    }
}

TEST_F(TextFileTest, Utf7RoundTripsATrailingNonAsciiRun)
{
    for (const QString &text : {u"ёж ß"_s, u"ß"_s, u"a+b-c ~ \\ ё"_s, u"\U0001F600"_s}) {
        const Encoded encoded = encodeText(text, TextEncoding::UTF7);
        EXPECT_EQ(decodeText(encoded.bytes, TextEncoding::UTF7).text, text)
            << encoded.bytes.toStdString();
    }
    EXPECT_EQ(encodeText(u"ёж ß"_s, TextEncoding::UTF7).bytes, QByteArray("+BFEENg +AN8-"));
}

TEST_F(TextFileTest, CountsWhatAnEncodingCannotHold)
{
    const Encoded ansi = encodeText(u"ёж ß 😀"_s, TextEncoding::ANSI);
    EXPECT_EQ(ansi.unencodable, 2);
    EXPECT_EQ(ansi.bytes, QByteArray("\xB8\xE6 ? ?"));
    EXPECT_EQ(unencodableCount(u"ёж"_s, TextEncoding::ASCII), 2);
    EXPECT_EQ(unencodableCount(u"ёж ß"_s, TextEncoding::UTF7), 0);
    const TextFileWrite written =
        SaveTextFile(path(u"a.txt"_s), TextEncoding::ASCII, {u"кот"_s, u"cat"_s});
    EXPECT_TRUE(written.ok());
    EXPECT_EQ(written.unencodable, 3);
}

TEST_F(TextFileTest, InvalidBytesStillLoadAndAreCounted)
{
    const QString bad = write(u"bad.txt"_s, QByteArray::fromHex("61ff62c3"));
    const TextFileRead read = LoadTextFile(bad, TextEncoding::UTF8);
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.undecodable, 2);
    EXPECT_TRUE(read.text.startsWith(u'a'));
    EXPECT_EQ(LoadTextFile(bad, TextEncoding::ASCII).undecodable, 2);
}

TEST_F(TextFileTest, FailuresNameTheFileAndLeaveItAlone)
{
    const TextFileRead missing = LoadTextFile(path(u"none.txt"_s), TextEncoding::UTF8);
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error.contains(u"none.txt"_s));

    const QString old = write(u"old.txt"_s, "old");
    ASSERT_TRUE(SaveTextFile(old, TextEncoding::UTF8, {u"new"_s}).ok());
    EXPECT_EQ(read(u"old.txt"_s), QByteArray("\xEF\xBB\xBFnew\r\n"));

    // A folder in the file's place cannot be replaced, and stays as it was.
    QDir(path(QString())).mkdir(u"folder"_s);
    write(u"folder/inside.txt"_s, "kept");
    const TextFileWrite failed = SaveTextFile(path(u"folder"_s), TextEncoding::UTF8, {u"x"_s});
    EXPECT_FALSE(failed.ok());
    EXPECT_TRUE(failed.error.contains(u"folder"_s));
    EXPECT_EQ(read(u"folder/inside.txt"_s), QByteArray("kept"));
    EXPECT_FALSE(SaveTextFile(path(u"no/such/dir.txt"_s), TextEncoding::UTF8, {}).ok());
    // No temporary file is left behind by the failed saves.
    EXPECT_EQ(QDir(path(QString())).entryList(QDir::Files).size(), 1);
}

TEST_F(TextFileTest, DetectionTakesTheMarkThenValidUtf8ThenAnsi)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        TextEncoding encoding;
        QString text;
    } cases[] = {
        {"utf8 bom", QByteArray::fromHex("efbbbfd0bad0bed1820d0a"), TextEncoding::UTF8,
         u"кот\r\n"_s},
        {"utf16le bom", QByteArray::fromHex("fffe3a043e0442040a00"), TextEncoding::Unicode,
         u"кот\n"_s},
        {"utf16be bom", QByteArray::fromHex("feff043a043e0442000a"), TextEncoding::BigEndianUnicode,
         u"кот\n"_s},
        {"utf8", QByteArray::fromHex("d0bad0bed1820ad191d0b6"), TextEncoding::UTF8,
         u"кот\nёж"_s},
        {"windows-1251", QByteArray::fromHex("eaeef20ab8e6"), TextEncoding::ANSI, u"кот\nёж"_s},
        // One byte of 1251 text that happens to read as UTF-8 does not make the rest UTF-8.
        {"1251 with a UTF-8 look-alike", QByteArray::fromHex("d0b020eaeef2"), TextEncoding::ANSI,
         u"Р° кот"_s},
        {"ascii", QByteArray("cat\r\ndog"), TextEncoding::ANSI, u"cat\r\ndog"_s},
        {"empty", QByteArray(), TextEncoding::UTF8, QString()},
        // Overlong forms and surrogates are no UTF-8.
        {"overlong", QByteArray::fromHex("c0af"), TextEncoding::ANSI, u"АЇ"_s},
        {"surrogate", QByteArray::fromHex("eda080"), TextEncoding::ANSI, u"н\u00a0Ђ"_s},
        {"cut short", QByteArray::fromHex("d0bad0"), TextEncoding::ANSI, u"РєР"_s},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(detectTextEncoding(c.bytes), c.encoding) << c.name;
        const TextFileRead read = loadTextFileAs(write(u"in.txt"_s, c.bytes), AutoDetectEncoding);
        ASSERT_TRUE(read.ok()) << c.name;
        EXPECT_EQ(read.text, c.text) << c.name;
        EXPECT_EQ(read.encoding, c.encoding) << c.name;
        EXPECT_TRUE(read.detected) << c.name;
        EXPECT_FALSE(read.binary) << c.name;
        EXPECT_EQ(read.undecodable, 0) << c.name;
    }
}

TEST_F(TextFileTest, BinaryBytesAreFlaggedOnlyWhenDetecting)
{
    QByteArray elf = QByteArray::fromHex("7f454c4602010100000000000000000003003e00");
    elf += QByteArray("кот ", 7);
    const QString binary = write(u"prog"_s, elf);
    const TextFileRead detected = loadTextFileAs(binary, AutoDetectEncoding);
    EXPECT_TRUE(detected.ok());
    EXPECT_TRUE(detected.binary);
    EXPECT_FALSE(detected.text.isEmpty());  // the user may still open it
    // A hand-picked encoding reads the bytes as before, without a question.
    const TextFileRead chosen = loadTextFileAs(binary, int(TextEncoding::ANSI));
    EXPECT_FALSE(chosen.binary);
    EXPECT_FALSE(chosen.detected);
    EXPECT_EQ(chosen.text, LoadTextFile(binary, TextEncoding::ANSI).text);
    EXPECT_EQ(chosen.encoding, TextEncoding::ANSI);

    // Mostly control characters, no NUL; a UTF-16 text full of NUL bytes is text.
    EXPECT_TRUE(looksBinary(u"\x01\x02\x03\x1b[0ma"_s));
    EXPECT_FALSE(looksBinary(u"a\tb\r\nc\fd\x1b"_s));
    EXPECT_FALSE(loadTextFileAs(write(u"le.txt"_s, QByteArray::fromHex("fffe6100620063000a00")),
                                AutoDetectEncoding)
                     .binary);
}

TEST(PaneText, IsTheTextCutIntoLinesAndJoinedAgain)
{
    // Short texts of letters and every kind of break, including a CR just before the end
    // and texts without a final break: the pane text is built without cutting, so it is
    // checked against the cut-and-joined form, and normalizeBreaks against the same text
    // with a final break.
    QRandomGenerator random(21);
    const std::array<QString, 6> pieces{u"а"_s, u"b"_s, u"\r"_s, u"\n"_s, u"\r\n"_s, u" "_s};
    for (int round = 0; round < 2000; ++round) {
        QString text;
        for (int k = int(random.bounded(12)); k > 0; --k)
            text += pieces[random.bounded(int(pieces.size()))];
        TextFileRead read;
        read.text = text;
        const QString expected = joinLines(splitLines(text));
        ASSERT_EQ(read.paneText(), expected) << text.toUtf8().toPercentEncoding().constData();
        const QString normalized = normalizeBreaks(text);
        ASSERT_EQ(lineCount(normalized), lineCount(text));
        ASSERT_FALSE(normalized.contains(QRegularExpression(u"\r(?!\n)|(?<!\r)\n"_s)));
        ASSERT_EQ(joinLines(splitLines(normalized)), expected);
    }
}
