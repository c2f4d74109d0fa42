#include "dictionary/dawg.h"

#include "tests/support/printers.h"
#include "tests/dictionary/morphologyfixture.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

std::map<std::string, std::uint32_t> walk(const DawgFile &dawg, QString *error)
{
    std::map<std::string, std::uint32_t> seen;
    const bool ok = dawg.forEachKey(
        [&](std::string_view key, std::uint32_t value) {
            seen.emplace(key, value);
            return true;
        },
        error);
    EXPECT_EQ(ok, error->isEmpty());
    return seen;
}

QString parseError(const QByteArray &bytes)
{
    DawgFile dawg;
    QString error;
    EXPECT_FALSE(dawg.parse(bytes, QStringLiteral("words.dawg"), &error));
    return error;
}

} // namespace

TEST(DawgFile, WalksEveryKeyWithItsValue)
{
    const std::map<std::string, std::uint32_t> keys = {
        {"a", 1}, {"ab", 2}, {"abc", 3}, {"b", 4}, {"ba\x01\x03", 5}, {"\xE0\xFF", 6}};
    DawgFile dawg;
    QString error;
    ASSERT_TRUE(dawg.parse(dawgBytes(keys), QStringLiteral("t.dawg"), &error)) << error.toStdString();
    EXPECT_EQ(walk(dawg, &error), keys);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.dawg"));
    ASSERT_TRUE(writeFile(path, dawgBytes(keys)));
    ASSERT_TRUE(dawg.load(path, &error)) << error.toStdString();
    EXPECT_EQ(walk(dawg, &error).size(), keys.size());
    EXPECT_FALSE(dawg.load(dir.filePath(QStringLiteral("missing.dawg")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("missing.dawg")));
}

TEST(DawgFile, RefusesFilesWhoseCountsDoNotAddUp)
{
    const QByteArray good = dawgBytes({{"ab", 1}, {"b", 2}});
    EXPECT_TRUE(parseError(QByteArray()).contains(QStringLiteral("truncated")));
    EXPECT_TRUE(parseError(good.left(good.size() - 1)).contains(QStringLiteral("do not add up")));
    EXPECT_TRUE(parseError(good + '\0').contains(QStringLiteral("do not add up")));
    EXPECT_TRUE(parseError(good.left(100)).contains(QStringLiteral("truncated")));
    EXPECT_TRUE(parseError(good.left(100)).startsWith(QStringLiteral("words.dawg: ")));
    QByteArray noUnits(8, '\0');
    EXPECT_TRUE(parseError(noUnits).contains(QStringLiteral("no units")));
}

TEST(DawgFile, StopsOnAGuideThatLoops)
{
    QByteArray bytes = dawgBytes({{"a", 1}, {"b", 2}});
    const std::uint32_t units = qFromLittleEndian<std::uint32_t>(bytes.constData());
    // The node of "b" (block 1, label 'b') names 'a' as its next sibling: a loop.
    const qsizetype guide = 8 + 4 * qsizetype(units);
    bytes[guide + 2 * (256 + 'b') + 1] = 'a';
    DawgFile dawg;
    QString error;
    ASSERT_TRUE(dawg.parse(bytes, QStringLiteral("loop.dawg"), &error));
    walk(dawg, &error);
    EXPECT_TRUE(error.contains(QStringLiteral("out of order"))) << error.toStdString();

    // A child label that leads nowhere.
    bytes = dawgBytes({{"a", 1}});
    bytes[8 + 4 * qsizetype(qFromLittleEndian<std::uint32_t>(bytes.constData()))] = 'z';
    ASSERT_TRUE(dawg.parse(bytes, QStringLiteral("dangling.dawg"), &error));
    walk(dawg, &error);
    EXPECT_TRUE(error.contains(QStringLiteral("broken"))) << error.toStdString();
}
