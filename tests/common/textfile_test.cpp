#include "common/textfile.h"

#include "tests/support/printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
