#include "dictionary/dictbuilder.h"

#include "builder/dictionary.h"
#include "builder/linkedwordssearch.h"
#include "builder/relatedwordssearch.h"
#include "tests/support/printers.h"
#include "tests/dictionary/morphologyfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const char Corpus[] = "Кошки стали лучших.\n"
                      "Ставшие кошки стали наилучших!\n"
                      "Ёж, кошка и сталь. Еж кошки ежа.\n"
                      "Иван Иванович, первого ивановичем\n"
                      "кошки ежа лучших; кошки ёж сталь\n";

// Rows of a query, each row its columns joined by blanks.
QStringList query(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QStringList rows;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        ADD_FAILURE() << sqlite3_errmsg(db);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        QStringList columns;
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            columns.append(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(statement, c))));
        rows.append(columns.join(u' '));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

class DictBuilder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"morph"_s) && QDir(dir.path()).mkpath(u"corpus"_s));
        ASSERT_TRUE(TestMorphology::standard().write(dir.filePath(QStringLiteral("morph"))));
        ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("corpus/a.txt")), Corpus));
        options.morphologyDir = dir.filePath(QStringLiteral("morph"));
        options.corpusPaths = {dir.filePath(QStringLiteral("corpus"))};
        options.outPath = dir.filePath(QStringLiteral("out.sqlite"));
    }
    DictBuildReport build(const DictBuildHooks &hooks = {})
    {
        const DictBuildReport report = buildDictionary(options, hooks);
        EXPECT_TRUE(report.ok()) << report.error.toStdString();
        return report;
    }
    // The initial forms of a word, in id order.
    QStringList initialForms(const QString &word)
    {
        const QString sql = QStringLiteral("select i.word from forms f join forms i on "
                                           "i.id = f.initform_id where f.word = '%1' "
                                           "order by f.id")
                                .arg(word);
        return query(options.outPath, sql.toUtf8().constData());
    }
    QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files); }
    QTemporaryDir dir;
    DictBuildOptions options;
};

} // namespace

TEST_F(DictBuilder, GivesEveryFormItsInitialFormAndTags)
{
    const DictBuildReport report = build();
    EXPECT_EQ(report.lexemes, 15);
    EXPECT_EQ(report.corpusTokens, 24);
    EXPECT_EQ(report.knownTokens, 23);  // all but «и»
    EXPECT_EQ(initialForms(u"стали"_s), (QStringList{u"сталь"_s, u"стать"_s}));
    EXPECT_EQ(initialForms(u"ставшие"_s), (QStringList{u"стать"_s, u"ставший"_s}));
    EXPECT_EQ(initialForms(u"кошки"_s), (QStringList{u"кошка"_s, u"кошка"_s}));
    // Each of these has one lexeme; «ё» words get a twin with «е», the initial form keeps «ё».
    const char *const single[][2] = {
        {"лучше", "хороший"},       {"получше", "хороший"},     {"наихороших", "наихороший"},
        {"лучших", "лучший"},       {"наилучших", "наилучший"}, {"иваном", "иван"},
        {"ивановичем", "иванович"}, {"ивановна", "ивановна"},   {"первого", "первый"},
        {"один", "один"},           {"еж", "ёж"},               {"ёж", "ёж"}};
    for (const auto &[word, initial] : single)
        EXPECT_EQ(initialForms(QString::fromUtf8(word)), QStringList{QString::fromUtf8(initial)});
    EXPECT_EQ(query(options.outPath, "select word from forms where word like '%ё%' or "
                                     "word like 'еж%' order by id"),
              (QStringList{u"ёж"_s, u"ежа"_s, u"еж"_s}));
    // One row per word and lexeme, with the tag of the word's first form in its lexeme.
    EXPECT_EQ(query(options.outPath, "select props from forms where word = 'стали' order by id"),
              (QStringList{u"NOUN,inan,femn,sing,gent"_s, u"VERB,perf,intr,plur,past,indc"_s}));
    EXPECT_EQ(query(options.outPath, "select props from forms where word = 'хороший'"),
              QStringList{u"ADJF,Qual,masc,sing,nomn"_s});
    EXPECT_EQ(query(options.outPath, "select count(*), count(distinct word || initform_id) "
                                     "from forms"),
              QStringList{u"32 32"_s});
}

TEST_F(DictBuilder, NumbersLexemesByFrequencyWithTheInitialFormFirst)
{
    build();
    // Every lexeme's rows follow its initial form's row.
    EXPECT_EQ(query(options.outPath, "select count(*) from forms where id < initform_id"),
              QStringList{u"0"_s});
    EXPECT_EQ(query(options.outPath, "select count(*) from forms f join forms i on "
                                     "i.id = f.initform_id where i.initform_id != i.id"),
              QStringList{u"0"_s});
    EXPECT_EQ(query(options.outPath, "select count(*) from lexemes a join lexemes b on "
                                     "a.id < b.id and a.freq < b.freq"),
              QStringList{u"0"_s});
    // A lexeme counts the tokens given to it; the equal shares of ambiguous tokens break
    // ties (сталь has «сталь» twice and half of «стали» twice, стать the other halves),
    // and then the morphology's order (иванович before лучший).
    EXPECT_EQ(query(options.outPath, "select f.word, l.freq, l.share from lexemes l join "
                                     "forms f on f.id = l.id order by l.id limit 8"),
              (QStringList{u"кошка 6 3.0"_s, u"ёж 5 5.0"_s, u"сталь 2 3.0"_s,
                           u"иванович 2 2.0"_s, u"лучший 2 2.0"_s, u"стать 2 1.5"_s,
                           u"иван 1 1.0"_s, u"первый 1 1.0"_s}));
    // The name Кошка gets none of «кошки»: its half shares only order the unused lexemes.
    EXPECT_EQ(query(options.outPath, "select l.freq, l.share from lexemes l join forms f on "
                                     "f.id = l.id where f.word = 'кошка' order by l.id"),
              (QStringList{u"6 3.0"_s, u"0 3.0"_s}));
    EXPECT_EQ(query(options.outPath, "select id from forms where word = 'кошка' order by id"),
              (QStringList{u"1"_s, u"23"_s}));
}

TEST_F(DictBuilder, CountsPairsAndTriplesOfKnownWords)
{
    const DictBuildReport report = build();
    EXPECT_EQ(report.grams2Rows, 11);
    EXPECT_EQ(report.grams3Rows, 7);
    // «стали» is стать by the tag probabilities, «ставшие» the adjective rather than the
    // participle, «кошки» the common noun rather than the name.
    const char *pairs = "select g.word1, g.word2, g.freq, a.word, a.props, b.word from grams2 g "
                        "join forms a on a.id = g.word1id join forms b on b.id = g.word2id "
                        "order by g.word1, g.word2";
    EXPECT_EQ(query(options.outPath, pairs),
              (QStringList{u"еж кошки 1 ёж NOUN,anim,masc,sing,nomn кошка"_s,
                           u"ежа лучших 1 ёж NOUN,anim,masc,sing,nomn лучший"_s,
                           u"иван иванович 1 иван NOUN,anim,masc,Name,sing,nomn иванович"_s,
                           u"кошки ежа 2 кошка NOUN,anim,femn,sing,nomn ёж"_s,
                           u"кошки стали 2 кошка NOUN,anim,femn,sing,nomn стать"_s,
                           u"кошки ёж 1 кошка NOUN,anim,femn,sing,nomn ёж"_s,
                           u"первого ивановичем 1 первый ADJF,Anum,masc,sing,nomn иванович"_s,
                           u"ставшие кошки 1 ставший ADJF,Qual,masc,sing,nomn кошка"_s,
                           u"стали лучших 1 стать INFN,perf,intr лучший"_s,
                           u"стали наилучших 1 стать INFN,perf,intr наилучший"_s,
                           u"ёж сталь 1 ёж NOUN,anim,masc,sing,nomn сталь"_s}));
    // «и» is unknown: in the middle it gives -1; at either end the n-gram is dropped.
    EXPECT_EQ(query(options.outPath, "select word1, word2, word3, freq, word2id from grams3 "
                                     "where word2id = -1"),
              QStringList{u"кошка и сталь 1 -1"_s});
    EXPECT_EQ(query(options.outPath, "select count(*) from grams2 where word1 = 'и' or "
                                     "word2 = 'и'"),
              QStringList{u"0"_s});
    EXPECT_EQ(query(options.outPath, "select count(*) from grams3 where word1 = 'и' or "
                                     "word3 = 'и' or word1 = 'лучших'"),
              QStringList{u"0"_s});  // «лучших. Ставшие» and «сталь. Еж» are cut
    // A lexeme's contexts are the triples with it in the middle, as the rows are kept.
    const char *contexts = "select count(*), sum(contexts) from lexemes l where contexts = "
                           "(select count(*) from grams3 where word2id = l.id)";
    EXPECT_EQ(query(options.outPath, contexts), QStringList{u"15 6"_s});
    options.minFreq = 2;
    const DictBuildReport frequent = build();
    EXPECT_EQ(query(options.outPath, contexts), QStringList{u"15 0"_s});
    EXPECT_EQ(frequent.grams2Rows, 2);
    EXPECT_EQ(query(options.outPath, "select word1, word2 from grams2 order by word2"),
              (QStringList{u"кошки ежа"_s, u"кошки стали"_s}));
}

TEST_F(DictBuilder, AnswersEveryStatementOfTheProgramWithAnIndex)
{
    build();
    const char *const statements[] = {
        "select initform_id from forms where word='кошки'",
        "select word2id from grams2 where word1id=1",
        "select word1id from grams2 where word2id=1",
        "select word,props from forms where id='3'",
        "select word1id,word3id from grams3 where word2id=1",
        "select word2id from grams3 where word1id='2' and word3id='4' and word2id!=-1",
        "select word1,word2,freq from grams2 where word1id=1",
        "select word1,word2,freq from grams2 where word2id=1",
        "select word1,word2,word3,freq from grams3 where word2id=1",
        "select word from forms where initform_id=1 group by word order by word",
        "select word from forms where id='1'",
    };
    for (const char *sql : statements) {
        const QStringList plan =
            query(options.outPath, (QByteArray("explain query plan ") + sql).constData());
        ASSERT_FALSE(plan.isEmpty()) << sql;
        for (const QString &step : plan)
            EXPECT_TRUE(step.contains(u"USING INTEGER PRIMARY KEY"_s)
                        || step.contains(u"USING INDEX"_s)
                        || step.contains(u"USING COVERING INDEX"_s)
                        || step.contains(u"TEMP B-TREE"_s))
                << sql << ": " << step.toStdString();
    }
    // Ids bound as text find their rows: the id columns have integer affinity.
    EXPECT_EQ(query(options.outPath, "select word from forms where id='1'"),
              QStringList{u"кошка"_s});
}

TEST_F(DictBuilder, FeedsOrvellasTwoSearches)
{
    build();
    Dictionary dictionary;
    ASSERT_TRUE(dictionary.ConnectDictionary(options.outPath))
        << dictionary.error().toStdString();
    ASSERT_TRUE(dictionary.claim());
    SearchInput related;
    related.thesaurus = u"Кошка\r\n"_s;
    SearchResult found = RelatedWordsSearch(dictionary).run(related, {});
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    // ёж stands beside кошка three times in two rows; стать and ставший once each.
    EXPECT_EQ(found.words, (QStringList{u"ёж"_s, u"стать"_s, u"ставший"_s}));

    SearchInput linked;
    linked.thesaurus = u"ёж\r\n"_s;
    found = LinkedWordsSearch(dictionary).run(linked, {});
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    // ёж stands in «кошки ежа лучших» and «кошки ёж сталь»; стать shares the first context.
    EXPECT_EQ(found.words, QStringList{u"стать"_s});
    dictionary.release();
}

TEST_F(DictBuilder, RecordsItsSourcesForDictInfo)
{
    options.meta = {{u"morphology_sha256"_s, u"868de433"_s}};
    build();
    QStringList lines;
    QString error;
    ASSERT_TRUE(readDictionaryInfo(options.outPath, &lines, &error)) << error.toStdString();
    for (const QString &line : {u"morphology: test 1 r"_s, u"forms_rows: 32"_s,
                                u"corpus_tokens: 24"_s, u"morphology_sha256: 868de433"_s})
        EXPECT_TRUE(lines.contains(line)) << lines.join(u'\n').toStdString();
    EXPECT_FALSE(readDictionaryInfo(dir.filePath(u"none.sqlite"_s), &lines, &error));
    EXPECT_TRUE(error.contains(u"none.sqlite"_s));
}

TEST_F(DictBuilder, LeavesNothingHalfWrittenWhenAnInputIsBroken)
{
    ASSERT_TRUE(writeFile(options.outPath, "the old dictionary"));
    const QStringList before = filesInDir();

    QFile dawg(dir.filePath(u"morph/words.dawg"_s));
    ASSERT_TRUE(dawg.resize(dawg.size() - 1));
    DictBuildReport report = buildDictionary(options);
    EXPECT_TRUE(report.error.contains(u"words.dawg: the counts do not add up"_s))
        << report.error.toStdString();
    EXPECT_EQ(filesInDir(), before);

    ASSERT_TRUE(TestMorphology::standard().write(dir.filePath(u"morph"_s)));
    options.corpusPaths.append(dir.filePath(u"missing.txt"_s));
    report = buildDictionary(options);
    EXPECT_TRUE(report.error.contains(u"missing.txt"_s)) << report.error.toStdString();
    EXPECT_EQ(filesInDir(), before);

    options.corpusPaths.removeLast();
    options.outPath = dir.filePath(u"nowhere/out.sqlite"_s);
    report = buildDictionary(options);
    EXPECT_TRUE(report.error.contains(u"nowhere"_s)) << report.error.toStdString();

    QFile old(dir.filePath(u"out.sqlite"_s));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("the old dictionary"));
}

namespace {

// What a dictionary holds from its corpus, row by row.
QStringList corpusRows(const QString &path)
{
    return query(path, "select 'L', id, freq, share from lexemes order by id")
           + query(path, "select 'P', * from grams2 order by word1id, word2id")
           + query(path, "select 'T', * from grams3 order by word1id, word2id, word3id");
}

} // namespace

TEST_F(DictBuilder, GivesTheSameDictionarySpilledOrCountedInShares)
{
    // A corpus with more pairs and triples than a tiny budget holds.
    QByteArray text;
    for (int i = 0; i < 60; ++i)
        text += QByteArray(Corpus).replace("\n", i % 2 ? " кошки ежа\n" : " сталь лучших\n");
    ASSERT_TRUE(writeFile(dir.filePath(u"corpus/a.txt"_s), text));
    ASSERT_TRUE(writeFile(dir.filePath(u"corpus/b.txt"_s), Corpus));
    build();
    const QStringList whole = corpusRows(options.outPath);
    ASSERT_GT(whole.size(), 40);

    options.memoryBytes = 4096;
    options.outPath = dir.filePath(u"spilled.sqlite"_s);
    // Every temporary is named while it exists, for a command ended by a signal to remove.
    QStringList runs;
    QStringList parts;
    DictBuildHooks hooks;
    hooks.temporaryCreated = [&](const QString &path) {
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
        (path.endsWith(u".part"_s) ? parts : runs).append(path);
    };
    const DictBuildReport spilled = build(hooks);
    EXPECT_GT(spilled.spilledRuns, 2);
    EXPECT_GE(runs.size(), spilled.spilledRuns);  // the merge spills what is left in memory
    EXPECT_EQ(parts.size(), 1);
    for (const QString &path : runs + parts)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    EXPECT_EQ(corpusRows(options.outPath), whole);

    // Each share counted apart, then merged by the build.
    options.memoryBytes = 0;
    DictBuildOptions share = options;
    share.corpusPaths = {dir.filePath(u"corpus/a.txt"_s)};
    share.outPath = dir.filePath(u"a.counts"_s);
    ASSERT_TRUE(countCorpus(share).ok());
    share.corpusPaths = {dir.filePath(u"corpus/b.txt"_s)};
    share.outPath = dir.filePath(u"b.counts"_s);
    ASSERT_TRUE(countCorpus(share).ok());
    options.corpusPaths.clear();
    options.countsPaths = {dir.filePath(u"a.counts"_s), dir.filePath(u"b.counts"_s)};
    options.outPath = dir.filePath(u"shares.sqlite"_s);
    build();
    EXPECT_EQ(corpusRows(options.outPath), whole);
    // The runs went away with the builds.
    EXPECT_EQ(filesInDir(), (QStringList{u"a.counts"_s, u"b.counts"_s, u"out.sqlite"_s,
                                         u"shares.sqlite"_s, u"spilled.sqlite"_s}));
}

TEST_F(DictBuilder, LeavesNoFileWhenCancelledAtAnyStage)
{
    ASSERT_TRUE(writeFile(options.outPath, "the old dictionary"));
    const QStringList before = filesInDir();
    for (const QString &stopAt : {u"count"_s, u"forms"_s, u"grams"_s, u"index"_s}) {
        QStringList stages;
        bool cancel = false;
        DictBuildHooks hooks;
        hooks.stage = [&](const QString &key, const QString &) {
            stages.append(key);
            cancel = cancel || key == stopAt;
        };
        hooks.cancelled = [&] { return cancel; };
        const DictBuildReport report = buildDictionary(options, hooks);
        EXPECT_TRUE(report.cancelled) << stopAt.toStdString();
        EXPECT_EQ(stages.last(), stopAt);
        EXPECT_EQ(filesInDir(), before) << stopAt.toStdString();
    }
    QFile old(options.outPath);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("the old dictionary"));
}

// The default dictionary of the checkout, when scripts/fetch-data has built it.
TEST(DefaultDictionary, LooksUpWhatRussianLemmatisersGive)
{
    const QString path = QStringLiteral(LEXORUM_SOURCE_DIR "/data/lexorum-ru.sqlite");
    if (!QFile::exists(path))
        GTEST_SKIP() << "no " << path.toStdString() << "; scripts/fetch-data builds it";
    const char *const firstInitialForms[][2] = {
        {"кошки", "кошка"},         {"стали", "стать"},         {"пошел", "пойти"},
        {"лучших", "лучший"},       {"наилучших", "наилучший"}, {"ивановичем", "иванович"},
        {"первого", "первый"},      {"люди", "человек"},        {"делавший", "делать"},
        {"красивее", "красивый"}};
    for (const auto &[word, initial] : firstInitialForms) {
        const QString sql = QStringLiteral("select i.word from forms f join forms i on "
                                           "i.id = f.initform_id where f.word = '%1' "
                                           "order by f.id limit 1")
                                .arg(QString::fromUtf8(word));
        EXPECT_EQ(query(path, sql.toUtf8().constData()).value(0), QString::fromUtf8(initial));
    }
    EXPECT_EQ(query(path, "select count(*) from forms where word='стали'"),
              QStringList{u"2"_s});
    EXPECT_EQ(query(path, "select count(*) from forms where substr(props, 1, "
                          "instr(props || ',', ',') - 1) not in ('NOUN', 'ADJF', 'ADJS', "
                          "'COMP', 'VERB', 'INFN', 'PRTF', 'PRTS', 'GRND', 'NUMR', 'ADVB', "
                          "'NPRO', 'PRED', 'PREP', 'CONJ', 'PRCL', 'INTJ')"),
              QStringList{u"0"_s});
}
