#include "compare/comparison.h"

#include "common/linelist.h"
#include "common/textlines.h"
#include "tests/support/printers.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <random>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

// The comparison done the long way, step by step with item-list scans, as the reference
// that the hashed engine must agree with.
void expectSameAsScans(const QList<QStringList> &sources)
{
    const int n = int(sources.size());
    QStringList collection;
    for (const QStringList &source : sources)
        collection += UniqList(SortList(source));
    QStringList items;
    QStringList counts;
    GetFreqList(SortList(collection), items, counts);
    QStringList common;
    for (qsizetype k = 0; k < items.size(); ++k)
        if (counts.at(k).toInt() == n)
            common.append(items.at(k));
    const ComparisonResult result = CompareLists(sources);
    ASSERT_EQ(result.listCount(), n);
    EXPECT_EQ(result.merged(), items);
    EXPECT_EQ(result.common(), common);
    for (int i = 1; i <= n; ++i) {
        QStringList unique;
        QStringList shared;
        QStringList absent = items;
        for (const QString &line : sources.at(i - 1)) {
            const int c = counts.at(items.indexOf(line)).toInt();
            if (c == 1)
                unique.append(line);
            else if (c < n)
                shared.append(line);
            absent.removeOne(line);
        }
        EXPECT_EQ(result.unique(i), unique) << "list " << i;
        EXPECT_EQ(result.shared(i), shared) << "list " << i;
        EXPECT_EQ(result.absent(i), absent) << "list " << i;
    }
}

QStringList lines(std::initializer_list<QString> texts)
{
    return QStringList(texts);
}

} // namespace

TEST(CompareLists, UniqueAndSharedKeepTheListsOrderAndRepeatsAsCompared)
{
    const ComparisonResult r = CompareLists({lines({u"z"_s, u"x"_s, u"y"_s, u"x"_s, u"z"_s, u"x"_s}),
                                             lines({u"y"_s, u"w"_s, u"w"_s}), lines({u"y"_s, u"x"_s})});
    EXPECT_EQ(r.merged(), lines({u"w"_s, u"x"_s, u"y"_s, u"z"_s}));
    EXPECT_EQ(r.unique(1), lines({u"z"_s, u"z"_s}));
    EXPECT_EQ(r.shared(1), lines({u"x"_s, u"x"_s, u"x"_s}));
    EXPECT_EQ(r.unique(2), lines({u"w"_s, u"w"_s}));
    EXPECT_TRUE(r.shared(2).isEmpty());
    EXPECT_EQ(r.shared(3), lines({u"x"_s}));
    EXPECT_EQ(r.common(), lines({u"y"_s}));
    EXPECT_EQ(r.absent(1), lines({u"w"_s}));
    EXPECT_EQ(r.absent(3), lines({u"w"_s, u"z"_s}));
    EXPECT_EQ(r.itemCount(), 4);
    EXPECT_EQ(r.listsHolding(1), 2);
    EXPECT_TRUE(r.listHolds(2, 0));
    EXPECT_FALSE(r.listHolds(1, 0));

    // The result keeps the lists as they were when compared.
    QList<QStringList> sources{lines({u"a"_s, u"b"_s}), lines({u"b"_s})};
    const ComparisonResult kept = CompareLists(sources);
    sources[0][0] = u"c"_s;
    sources[1].clear();
    EXPECT_EQ(kept.unique(1), lines({u"a"_s}));
    EXPECT_EQ(kept.merged(), lines({u"a"_s, u"b"_s}));
    QStringList texts{u"x\ny"_s, u"y"_s};
    const ComparisonResult fromTexts = CompareLists(texts);
    texts[0].replace(0, 1, u"z"_s);
    EXPECT_EQ(fromTexts.uniqueText(1), u"x\r\n"_s);
}

TEST(CompareLists, AgreesWithTheItemListScansOnTheCorners)
{
    // Lines compared exactly as they stand (case, blanks, a break inside a line), empty lists
    // and empty lines, nothing at all, and lines that sort by code units.
    const QList<QList<QStringList>> corners{
        {lines({u"b"_s, u"a"_s, u"a"_s, u"c"_s}), lines({u"a"_s, u"d"_s})},
        {lines({u"Кот"_s, u"кот "_s, u" кот"_s}), lines({u"кот"_s, u"Кот"_s})},
        {lines({u"a\nb"_s, u"a"_s}), lines({u"b"_s})},
        {lines({u"a"_s, u"b"_s}), QStringList(), lines({u"b"_s})},
        {lines({u"a"_s, u""_s, u""_s}), lines({u""_s, u"b"_s}), lines({u""_s})},
        {lines({u""_s, u""_s}), lines({u"x"_s})},
        {QStringList(), QStringList(), QStringList()},
        {lines({u"яма"_s, u"ёж"_s, u"Абрикос"_s, u"Ёлка"_s, u"abc"_s, u"ab"_s, u"Z"_s, u"9"_s}),
         lines({u"\U0001F600"_s, u"\uFFFD"_s, u"a\u0000"_s, u"a"_s, u"a\u0000\u0000"_s})},
    };
    for (const QList<QStringList> &sources : corners)
        expectSameAsScans(sources);
    // Merged in code unit order: a character outside the basic plane sorts by its first
    // surrogate, below U+FFFD.
    EXPECT_EQ(CompareLists(corners[7]).merged(),
              lines({u"9"_s, u"Z"_s, u"a"_s, u"a\u0000"_s, u"a\u0000\u0000"_s, u"ab"_s, u"abc"_s,
                     u"Ёлка"_s, u"Абрикос"_s, u"яма"_s, u"ёж"_s, u"\U0001F600"_s, u"\uFFFD"_s}));
}

TEST(CompareLists, AgreesWithTheItemListScansOnRandomLists)
{
    // Enough lines to take the keyed sort, sharing beginnings across several keys, with
    // lengths on both sides of each key's end and U+0000 inside.
    std::mt19937 random(7);
    QStringList first;
    QStringList second;
    const QString stems[] = {u"купить"_s, u"купить слона"_s, u"купить слона недорого"_s,
                             u"ab\u0000\u0000cd"_s, QString()};
    for (int i = 0; i < 3000; ++i) {
        QString line = stems[random() % 5];
        const int extra = int(random() % 7);
        for (int c = 0; c < extra; ++c)
            line += u"\u0000 аяёЁz"_s.at(random() % 7);
        (random() % 2 ? first : second).append(line);
    }
    expectSameAsScans({first, second});

    // Few distinct lines spread over up to ten lists.
    const QStringList words = {u""_s,   u" "_s,   u"кот"_s, u"Кот"_s, u"кот "_s,
                               u"пёс"_s, u"ёж"_s,  u"Ёж"_s,  u"a"_s,   u"ab"_s,
                               u"\t"_s,  u"я"_s,   u"1"_s,   u"кот и пёс"_s};
    for (int round = 0; round < 60; ++round) {
        const int n = 2 + int(random() % 9);
        QList<QStringList> sources;
        for (int i = 0; i < n; ++i) {
            QStringList source;
            const int size = int(random() % 40);
            for (int j = 0; j < size; ++j) {
                QString line = words[random() % words.size()];
                if (random() % 4 == 0)
                    line += QString::number(random() % 30);
                source.append(line);
            }
            sources.append(source);
        }
        expectSameAsScans(sources);
    }
}

TEST(CompareLists, SplitsBigInputsOverTwoThreadsWithTheSameResults)
{
    // Enough lines (and units, given as texts) to be numbered on two threads, and in list 1
    // to build its unique and shared texts in two parts, checked against a plain ordered
    // map. Lines share beginnings, repeat within and across lists and hold empty lines,
    // U+0000 and surrogates; the texts mix all three kinds of break.
    std::mt19937 random(2026);
    const QString stems[] = {QString(), u"купить слона"_s, u"ab\u0000"_s, u"\U0001F600x"_s,
                             u"Ёлка зелёная"_s, u"z"_s};
    const int n = 4;
    QList<QStringList> sources(n);
    for (int line = 0; line < 420000; ++line) {
        QString text = stems[random() % 6];
        if (random() % 8 != 0)
            text += QString::number(random() % 60000);
        sources[random() % 2 == 0 ? 0 : 1 + int(random() % (n - 1))].append(text);
    }
    std::map<std::u16string, unsigned> masks;
    for (int i = 0; i < n; ++i)
        for (const QString &line : std::as_const(sources[i]))
            masks[std::u16string(reinterpret_cast<const char16_t *>(line.constData()),
                                 std::size_t(line.size()))] |= 1u << i;
    auto toQString = [](const std::u16string &units) {
        return QString(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size()));
    };
    QStringList merged;
    QStringList common;
    QList<QStringList> absent(n);
    for (const auto &[units, mask] : masks) {
        merged.append(toQString(units));
        if (mask == (1u << n) - 1)
            common.append(merged.constLast());
        for (int i = 0; i < n; ++i)
            if (!(mask & (1u << i)))
                absent[i].append(merged.constLast());
    }
    QList<QStringList> unique(n);
    QList<QStringList> shared(n);
    for (int i = 0; i < n; ++i) {
        for (const QString &line : std::as_const(sources[i])) {
            const int holding = std::popcount(masks.at(std::u16string(
                reinterpret_cast<const char16_t *>(line.constData()), std::size_t(line.size()))));
            if (holding == 1)
                unique[i].append(line);
            else if (holding < n)
                shared[i].append(line);
        }
    }
    const QString breaks[] = {u"\r\n"_s, u"\n"_s, u"\r"_s};
    QStringList texts;
    for (const QStringList &source : std::as_const(sources)) {
        QString text;
        for (const QString &line : source)
            text += line + breaks[random() % 3];
        texts.append(text);
    }
    ASSERT_GE(sources[0].size(), 200000);
    for (const ComparisonResult &result : {CompareLists(sources), CompareLists(texts)}) {
        ASSERT_EQ(result.merged(), merged);
        EXPECT_EQ(result.common(), common);
        EXPECT_EQ(result.commonText(), joinLines(common));
        for (int i = 1; i <= n; ++i) {
            EXPECT_EQ(result.unique(i), unique[i - 1]) << "list " << i;
            EXPECT_EQ(result.shared(i), shared[i - 1]) << "list " << i;
            EXPECT_EQ(result.uniqueText(i), joinLines(unique[i - 1])) << "list " << i;
            EXPECT_EQ(result.sharedText(i), joinLines(shared[i - 1])) << "list " << i;
            EXPECT_EQ(result.absentText(i), joinLines(absent[i - 1])) << "list " << i;
            EXPECT_EQ(result.lineCount(ComparisonResult::Box::Unique, i), unique[i - 1].size());
            EXPECT_EQ(result.lineCount(ComparisonResult::Box::Shared, i), shared[i - 1].size());
            EXPECT_EQ(result.lineCount(ComparisonResult::Box::Absent, i), absent[i - 1].size());
        }
        EXPECT_EQ(result.lineCount(ComparisonResult::Box::Merged), merged.size());
        EXPECT_EQ(result.lineCount(ComparisonResult::Box::Common), common.size());
    }
    // An empty list between big ones still counts as a list.
    const ComparisonResult pair = CompareLists(QStringList{texts[0], texts[1]});
    const ComparisonResult gap = CompareLists(QStringList{texts[0], QString(), texts[1]});
    ASSERT_EQ(gap.listCount(), 3);
    EXPECT_EQ(gap.mergedText(), pair.mergedText());
    EXPECT_EQ(gap.absentText(2), pair.mergedText());
    EXPECT_EQ(gap.commonText(), QString());
    EXPECT_EQ(gap.uniqueText(1), pair.uniqueText(1));
    EXPECT_EQ(gap.uniqueText(3), pair.uniqueText(2));
    EXPECT_EQ(gap.lineCount(ComparisonResult::Box::Shared, 3),
              lineCount(texts[1]) - pair.lineCount(ComparisonResult::Box::Unique, 2));
}

TEST(CompareLists, CutsBoxTextsAsSplitLinesDoes)
{
    // Lines longer and shorter than the eight units that are scanned at a time, breaks of
    // every kind at every offset, with and without a final break.
    std::mt19937 random(99);
    const QString breaks[] = {u"\r\n"_s, u"\n"_s, u"\r"_s};
    for (int round = 0; round < 40; ++round) {
        const int n = 2 + int(random() % 9);
        QStringList texts;
        QList<QStringList> sources;
        for (int i = 0; i < n; ++i) {
            QString text;
            const int size = int(random() % 30);
            for (int j = 0; j < size; ++j) {
                const int length = int(random() % 20);
                for (int c = 0; c < length; ++c)
                    text += u"ab \t\u000Eкё"_s.at(random() % 7);
                if (j + 1 < size || random() % 2)
                    text += breaks[random() % 3];
            }
            texts.append(text);
            sources.append(splitLines(text));
        }
        const ComparisonResult fromTexts = CompareLists(texts);
        const ComparisonResult fromLines = CompareLists(sources);
        ASSERT_EQ(fromTexts.merged(), fromLines.merged());
        EXPECT_EQ(fromTexts.commonText(), joinLines(fromLines.common()));
        for (int i = 1; i <= n; ++i) {
            EXPECT_EQ(fromTexts.unique(i), fromLines.unique(i));
            EXPECT_EQ(fromTexts.sharedText(i), joinLines(fromLines.shared(i)));
            EXPECT_EQ(fromTexts.absentText(i), joinLines(fromLines.absent(i)));
        }
    }
    EXPECT_EQ(CompareLists(QStringList{u"\r\n"_s, QString()}).mergedText(), u"\r\n"_s);
    EXPECT_EQ(CompareLists(QStringList{u"a\r\rb"_s, u"b\n"_s}).unique(1), lines({u"a"_s, u""_s}));
}

TEST(UniqList, KeepsEachChangeAndGetFreqListReturnsTheItemCount)
{
    // GetFreqList's runs are checked through the reference comparison above.
    EXPECT_EQ(UniqList(lines({u""_s, u""_s, u"a"_s, u"a"_s, u""_s, u"b"_s})), lines({u""_s, u"a"_s, u""_s, u"b"_s}));
    QStringList items{u"old"_s};
    QStringList counts{u"9"_s};
    EXPECT_EQ(GetFreqList(lines({u""_s, u""_s, u"a"_s, u"b"_s, u"b"_s, u"b"_s}), items, counts), 3);
    EXPECT_EQ(GetFreqList({}, items, counts), 0);
    EXPECT_TRUE(items.isEmpty() && counts.isEmpty());
}

TEST(CountRefreshTexts, CaptionsEverySlotWithItsCount)
{
    BoxLineCounts counts;
    counts.source[9] = 3;
    counts.absent[2] = 1200;
    const CountRefreshTexts texts = countRefreshTexts(counts, 3);
    EXPECT_EQ(texts.source[9], u"Список 10 (3)"_s);
    EXPECT_EQ(texts.source[4], u"Список 5 (0)"_s);
    EXPECT_EQ(texts.absent[2], u"Отсутствующие (1200)"_s);
    EXPECT_EQ(texts.absent[0], u"Отсутствующие (0)"_s);
}

TEST(CompareDistinctLists, GivesTheComparisonOfTheSortedListsWithoutRepeats)
{
    // Small lists of every shape (empty lines, empty lists, repeats, one line shared by all),
    // then lists big enough for two threads, checkpoints and texts built in two parts: the
    // comparison worked out must be the one the engine finds on the sorted lists.
    using Box = ComparisonResult::Box;
    std::mt19937 random(21);
    auto check = [](const QStringList &texts, const std::string &name) {
        QStringList sorted;
        for (const QString &text : texts)
            sorted.append(joinLines(UniqList(SortList(splitLines(text)))));
        const ComparisonResult expected = CompareLists(sorted);
        std::vector<std::vector<std::uint32_t>> starts;
        const ComparisonResult worked = CompareDistinctLists(CompareLists(texts), &starts);
        const int n = int(texts.size());
        ASSERT_EQ(worked.listCount(), n) << name;
        ASSERT_EQ(starts.size(), std::size_t(n)) << name;
        ASSERT_EQ(worked.mergedText(), expected.mergedText()) << name;
        ASSERT_EQ(worked.commonText(), expected.commonText()) << name;
        for (int i = 1; i <= n; ++i) {
            ASSERT_EQ(worked.listText(i), sorted[i - 1]) << name << " list " << i;
            std::vector<std::uint32_t> lineStarts;
            for (qsizetype k = 0; k < sorted[i - 1].size(); ++k)
                if (k == 0 || sorted[i - 1][k - 1] == u'\n')
                    lineStarts.push_back(std::uint32_t(k));
            ASSERT_EQ(starts[std::size_t(i - 1)], lineStarts) << name << " list " << i;
            for (Box box : {Box::Unique, Box::Shared, Box::Absent}) {
                ASSERT_EQ(worked.text(box, i), expected.text(box, i)) << name << " list " << i;
                ASSERT_EQ(worked.lineCount(box, i), expected.lineCount(box, i)) << name;
                ASSERT_EQ(worked.lineStarts(box, i), expected.lineStarts(box, i)) << name;
            }
            ASSERT_EQ(worked.lines(Box::Unique, i), expected.lines(Box::Unique, i)) << name;
        }
        for (qsizetype k = 0; k < expected.itemCount(); k += 1 + expected.itemCount() / 50)
            for (int i = 1; i <= n; ++i)
                ASSERT_EQ(worked.listHolds(i, k), expected.listHolds(i, k)) << name;
    };
    const QString words[] = {QString(), u"кот"_s, u"Кот"_s, u"пёс"_s, u"кот и пёс"_s,
                             u"\U0001F600"_s, u"ab\u0000"_s, u"я"_s};
    const QString breaks[] = {u"\r\n"_s, u"\n"_s, u"\r"_s};
    for (int round = 0; round < 300; ++round) {
        QStringList texts;
        const int n = 2 + int(random() % 9);
        for (int i = 0; i < n; ++i) {
            QString text;
            for (int k = int(random() % 12); k > 0; --k)
                text += words[random() % 8] + breaks[random() % 3];
            texts.append(text);
        }
        check(texts, "round " + std::to_string(round));
    }
    QStringList big(3);
    for (int line = 0; line < 700000; ++line)
        big[line % 7 < 4 ? 0 : 1 + line % 2] += u"слово "_s
                                                 + QString::number(random() % 1000000) + u"\n"_s;
    ASSERT_GE(lineCount(CompareDistinctLists(CompareLists(big)).listText(1)), 200000);
    check(big, "big");
}
