#include "dictionary/morphology.h"

#include "tests/support/printers.h"
#include "tests/dictionary/morphologyfixture.h"
#include "dictionary/cp1251.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Groups = std::vector<std::vector<std::uint16_t>>;

Groups split(const std::vector<const char *> &tagTexts)
{
    static std::vector<std::unique_ptr<MorphTag>> kept;
    std::vector<const MorphTag *> tags;
    std::map<std::string, const MorphTag *> byText;
    for (const char *text : tagTexts) {
        if (!byText.count(text)) {
            kept.push_back(std::make_unique<MorphTag>(MorphTag::fromText(text)));
            byText[text] = kept.back().get();
        }
        tags.push_back(byText[text]);
    }
    return splitParadigm(tags);
}

QString loadError(const QString &dir)
{
    Morphology m;
    QString error;
    EXPECT_FALSE(m.load(dir, &error));
    return error;
}

// The fixture's morphology written into a folder; tests break one file at a time.
class MorphologyFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(fixture.write(dir.path()));
    }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    // The load error once the file name holds bytes.
    QString brokenBy(const char *name, const QByteArray &bytes) const
    {
        EXPECT_TRUE(writeFile(path(name), bytes));
        return loadError(dir.path());
    }
    QTemporaryDir dir;
    TestMorphology fixture = TestMorphology::standard();
};

} // namespace

TEST(MorphTag, TurnsTheBlankIntoACommaAndReadsTheMarks)
{
    const MorphTag t = MorphTag::fromText("ADJF,Supr,Qual masc,sing,nomn");
    EXPECT_EQ(t.props, "ADJF,Supr,Qual,masc,sing,nomn");
    EXPECT_EQ(t.pos, "ADJF");
    EXPECT_TRUE(t.superlative);
    EXPECT_EQ(t.gender, "masc");
    EXPECT_EQ(MorphTag::fromText("INFN,perf,intr").props, "INFN,perf,intr");
    EXPECT_TRUE(MorphTag::fromText("NOUN,anim,masc,Patr sing,nomn").personalName);
    EXPECT_TRUE(MorphTag::fromText("NOUN,anim,femn,Surn sing,nomn").personalName);
    EXPECT_TRUE(MorphTag::fromText("PRTF,perf,tran,past,pssv plur,nomn").fullParticiple);
    EXPECT_FALSE(MorphTag::fromText("PRTS,perf,past,pssv sing,neut").fullParticiple);
}

TEST(WordKey, HoldsParadigmAndFormInFourOddBytes)
{
    const std::string key = encodeWordKey("\xEA\xEE\xF2", 2248, 132);
    EXPECT_EQ(key, std::string("\xEA\xEE\xF2\x01\x23\x91\x03\x09", 8));
    WordKey decoded;
    ASSERT_TRUE(decodeWordKey(key, &decoded));
    EXPECT_EQ(decoded.word, "\xEA\xEE\xF2");
    EXPECT_EQ(decoded.paradigm, 2248u);
    EXPECT_EQ(decoded.formIndex, 132u);
    EXPECT_TRUE(decodeWordKey(encodeWordKey("", 0, 16383), &decoded));
    EXPECT_EQ(decoded.formIndex, 16383u);

    EXPECT_FALSE(decodeWordKey(std::string("\xEA\x01\x23\x90\x03\x09", 6), &decoded));  // even
    EXPECT_FALSE(decodeWordKey(std::string("\xEA\x02\x23\x91\x03\x09", 6), &decoded));  // no 0x01
    EXPECT_FALSE(decodeWordKey(std::string("\x01\x23\x91\x03", 4), &decoded));          // short
    EXPECT_FALSE(decodeWordKey(std::string("\xEA\x01\x23\x91\x03\x09\x01", 7), &decoded));
}

TEST(SplitParadigm, KeepsVerbFormsAndAdjectiveFormsWithTheirHead)
{
    EXPECT_EQ(split({"INFN,impf,tran", "VERB,impf,tran sing,3per,pres,indc",
                     "PRTF,impf,tran,past,actv masc,sing,nomn", "PRTS,perf,past,pssv sing,neut",
                     "GRND,impf,tran pres"}),
              (Groups{{0, 1, 2, 3, 4}}));
    EXPECT_EQ(split({"ADJF,Qual masc,sing,nomn", "ADJS,Qual sing,masc", "COMP,Qual",
                     "COMP,Qual Cmp2"}),
              (Groups{{0, 1, 2, 3}}));
    // Another class splits off: a noun's adjective forms, an adjective's adverb.
    EXPECT_EQ(split({"NOUN,inan,masc sing,nomn", "ADJF masc,sing,nomn", "NOUN,inan,masc sing,gent",
                     "ADJF masc,sing,gent"}),
              (Groups{{0, 2}, {1, 3}}));
}

TEST(SplitParadigm, GivesSuperlativesPatronymicsAndOrdinalsTheirOwnLexemes)
{
    // хороший, хороших, лучше | наихороший, наихороших | лучший, лучших | наилучший, ...
    EXPECT_EQ(split({"ADJF,Qual masc,sing,nomn", "ADJF,Qual plur,gent", "COMP,Qual",
                     "ADJF,Supr,Qual masc,sing,nomn", "ADJF,Supr,Qual plur,gent",
                     "ADJF,Supr,Qual masc,sing,nomn", "ADJF,Supr,Qual plur,gent",
                     "ADJF,Supr,Qual masc,sing,nomn", "ADJF,Supr,Qual plur,gent"}),
              (Groups{{0, 1, 2}, {3, 4}, {5, 6}, {7, 8}}));
    // иван, иваном | иванович, ивановичем (masculine) | ивановна (feminine), interleaved.
    EXPECT_EQ(split({"NOUN,anim,masc,Name sing,nomn", "NOUN,anim,masc,Patr sing,nomn",
                     "NOUN,anim,femn,Patr sing,nomn", "NOUN,anim,masc,Name sing,ablt",
                     "NOUN,anim,masc,Patr sing,ablt", "NOUN,anim,femn,Patr sing,ablt"}),
              (Groups{{0, 3}, {1, 4}, {2, 5}}));
    // один | первый, первого: ordinals are adjectives; an ordinal head keeps its forms.
    EXPECT_EQ(split({"NUMR masc,nomn", "ADJF,Anum masc,sing,nomn", "ADJF,Anum masc,sing,gent"}),
              (Groups{{0}, {1, 2}}));
    EXPECT_EQ(split({"ADJF,Anum masc,sing,nomn", "ADJF,Anum masc,sing,gent"}),
              (Groups{{0, 1}}));
    EXPECT_EQ(split({}), Groups{});
}

TEST_F(MorphologyFiles, LoadsTheFilesAndGroupsTheForms)
{
    Morphology m;
    QString error;
    ASSERT_TRUE(m.load(dir.path(), &error)) << error.toStdString();
    EXPECT_EQ(m.prefixes, (std::vector<std::string>{"", cp1251("по"), cp1251("наи")}));
    EXPECT_EQ(m.paradigms.size(), fixture.paradigms.size());
    EXPECT_EQ(m.keyCount, std::int64_t(fixture.wordKeys().size()));
    ASSERT_EQ(m.stems.size(), fixture.words.size());
    std::string word;
    std::vector<std::string> lemmas;
    for (const StemEntry &s : m.stems) {
        m.formWord(s, 0, &word);
        lemmas.push_back(cp1251ToUtf8(word));
    }
    std::sort(lemmas.begin(), lemmas.end());
    EXPECT_EQ(lemmas, (std::vector<std::string>{"иван", "кошка", "кошка", "один", "ставший",
                                                "сталь", "стать", "хороший", "ёж"}));
    EXPECT_EQ(m.paradigms[3].lexemes,
              (Groups{{0, 1, 2, 3}, {4, 5}, {6, 7}, {8, 9}}));  // хороший and its superlatives
    EXPECT_EQ(m.paradigms[4].lexemes, (Groups{{0, 1}, {2, 3}, {4}}));
    const auto stali = m.tagProbabilities.find(cp1251("стали"));
    ASSERT_NE(stali, m.tagProbabilities.end());
    ASSERT_EQ(stali->second.size(), 2u);
    EXPECT_EQ(m.tags[stali->second[0].first].props, "NOUN,inan,femn,sing,gent");
    EXPECT_EQ(stali->second[0].second, 2770u);
    EXPECT_EQ(m.tagProbabilities.count("c"), 0u);  // LATN is no tag of the dictionary
}

TEST_F(MorphologyFiles, NamesTheFileThatIsMissingOrDoesNotAddUp)
{
    EXPECT_TRUE(loadError(dir.filePath(u"nowhere"_s)).contains(u"nowhere"_s));
    QFile::remove(path("suffixes.json"));
    EXPECT_TRUE(loadError(dir.path()).contains(u"suffixes.json"_s));
    EXPECT_TRUE(brokenBy("suffixes.json", "[\"a\", 3]").contains(u"suffixes.json: entry 1"_s));
    EXPECT_TRUE(brokenBy("suffixes.json", "{").contains(u"not valid JSON"_s));

    ASSERT_TRUE(fixture.write(dir.path()));
    const QByteArray good = fixture.paradigmsArray();
    QByteArray badLength = good;
    badLength[2] = 4;  // the first paradigm's length
    QByteArray badTag = good;
    badTag[4 + 2 * 3] = char(200);  // the first form's tag id
    const std::pair<QByteArray, QString> paradigms[] = {
        {good.left(good.size() - 2), u"paradigms.array: the file is truncated"_s},
        {good + QByteArray(2, '\0'), u"bytes follow the last paradigm"_s},
        {badLength, u"not a multiple of three"_s},
        {badTag, u"missing suffix, tag or prefix"_s}};
    for (const auto &[bytes, error] : paradigms)
        EXPECT_TRUE(brokenBy("paradigms.array", bytes).contains(error)) << error.toStdString();
}

TEST_F(MorphologyFiles, RefusesWordKeysThatNoParadigmMakes)
{
    const auto withKey = [&](const std::string &added, const std::string &removed = {}) {
        auto keys = fixture.wordKeys();
        keys.emplace(added, 0);
        keys.erase(removed);
        return brokenBy("words.dawg", dawgBytes(keys));
    };
    std::string even = fixture.wordKeys().begin()->first;
    even.back() = '\x02';  // an even payload byte
    EXPECT_TRUE(withKey(even).contains(u"four odd bytes"_s));
    EXPECT_TRUE(withKey(encodeWordKey(cp1251("кот"), 99, 0)).contains(u"paradigm 99, form 0"_s));
    EXPECT_TRUE(withKey(encodeWordKey(cp1251("кошкой"), 0, 1))  // form 1 ends in «и»
                    .contains(u"lacks the prefix or suffix"_s));
    // A lexeme with a form missing: the meta count and the paradigms disagree.
    const std::string kept = fixture.wordKeys().begin()->first;
    EXPECT_TRUE(withKey(kept, encodeWordKey(cp1251("кошки"), 0, 2))
                    .contains(u"meta.json announces"_s));
    EXPECT_TRUE(brokenBy("meta.json", "[[\"compile_options\", {\"paradigm_prefixes\": "
                                      "[\"\", \"по\", \"наи\"]}]]")
                    .contains(u"the counts do not add up"_s));
}
