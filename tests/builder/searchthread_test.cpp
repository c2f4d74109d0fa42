#include "builder/searchthread.h"

#include "builder/bylinkedwords.h"
#include "builder/worker.h"
#include "common/pane.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Cats = uR"(
[forms]
1|кот|1|NOUN
5|пушистый|5|ADJF
7|мяукать|7|INFN
9|сидеть|9|INFN
[grams2]
5|1  1|7
[grams3]
5|1|7  5|9|7
)"_s;

// What a window model does with the signals, as one log.
struct Window
{
    explicit Window(SearchThread &thread)
    {
        QObject::connect(&thread, &SearchThread::searchStarted, [this] { log.append(u"start"_s); });
        QObject::connect(&thread, &SearchThread::stageShown,
                         [this](const QString &s) { log.append(u"stage "_s + s); });
        QObject::connect(&thread, &SearchThread::progressShown,
                         [this](int p) { log.append(u"progress "_s + QString::number(p)); });
        QObject::connect(&thread, &SearchThread::searchFinished, [this](const QString &text) {
            log.append(u"finish "_s + text);
            found = text;
        });
        QObject::connect(&thread, &SearchThread::searchFailed,
                         [this](const QString &message) { log.append(u"fail "_s + message); });
    }
    QStringList log;
    QString found;
};

struct Fixture : OpenDictionary
{
    Fixture() : OpenDictionary(TestDictionary::fromText(Cats)) {}
    MemoryPane thesaurus{u"Кот\r\n"_s};
    MemoryPane blackList;
};

} // namespace

TEST(SearchThread, HandsEveryReportToTheWindowThreadInOrder)
{
    Fixture f;
    Worker worker(f.dictionary, f.thesaurus, f.blackList, PartWord);
    Window window(worker);
    QObject::connect(&worker, &SearchThread::searchStarted, [&] {
        // The texts are taken at the start: a later edit does not reach the run.
        f.blackList.setText(u"мяукать"_s);
        EXPECT_TRUE(worker.isSearching());
    });
    ASSERT_TRUE(worker.startSearch());
    worker.waitForRun();
    EXPECT_EQ(window.found, u"пушистый\r\nмяукать\r\n"_s);
    EXPECT_EQ(window.log.first(), u"start"_s);
    EXPECT_EQ(window.log.last(), u"finish пушистый\r\nмяукать\r\n"_s);
    EXPECT_TRUE(window.log.contains(u"stage Поиск словосочетаний (1)"_s));
    EXPECT_TRUE(window.log.contains(u"progress 100"_s));
    EXPECT_FALSE(worker.isSearching());
    EXPECT_FALSE(f.dictionary.isBusy());
}

TEST(SearchThread, StartsInTurnAndNeverShareTheConnection)
{
    Fixture f;
    Worker worker(f.dictionary, f.thesaurus, f.blackList, PartWord);
    ByLinkedWords linked(f.dictionary, f.thesaurus, f.blackList, PartWord);
    Window related(worker);
    Window byLinks(linked);
    // The run cannot get past its first call until this thread serves it, so it is
    // still going when the search starts again: the second start waits for the first
    // run, serving its calls, and its result shows first.
    QObject::connect(&worker, &SearchThread::searchFinished,
                     [&] { f.thesaurus.setText(u"мяукать"_s); });
    ASSERT_TRUE(worker.startSearch());
    EXPECT_FALSE(linked.startSearch());
    EXPECT_EQ(f.dictionary.rightBigrams(u"1"_s).error, dictionaryBusyMessage());
    ASSERT_TRUE(worker.startSearch());
    EXPECT_EQ(related.found, u"пушистый\r\nмяукать\r\n"_s);
    worker.waitForRun();
    EXPECT_EQ(related.found, u"кот\r\n"_s);
    EXPECT_EQ(related.log.count(u"start"_s), 2);

    // Deferring the other search: wait for the run, then start.
    ASSERT_TRUE(worker.startSearch());
    worker.waitForRun();
    f.thesaurus.setText(u"кот"_s);
    ASSERT_TRUE(linked.startSearch());
    linked.waitForRun();
    EXPECT_EQ(byLinks.found, u"сидеть\r\n"_s);
}

TEST(SearchThread, ReportsADatabaseErrorAndEndsTheRun)
{
    QTemporaryDir dir;
    // props overflows when a run reads it: the file passes the check and fails later.
    const QString path = writeDatabase(
        dir.filePath(u"broken.db"_s),
        "create table f (id integer primary key, word, initform_id);"
        "insert into f values (1, 'кот', 1), (2, 'пёс', 2);"
        "create view forms as select id, word, initform_id,"
        " abs(-9223372036854775807 - 1) as props from f;"
        "create table grams2 (word1id, word2id, word1, word2, freq);"
        "insert into grams2 values (1, 2, '', '', 1);"
        "create table grams3 (word1id, word2id, word3id, word1, word2, word3, freq);");
    Dictionary dictionary;
    ASSERT_TRUE(dictionary.ConnectDictionary(path));
    MemoryPane thesaurus(u"кот"_s);
    MemoryPane blackList;
    Worker worker(dictionary, thesaurus, blackList, PartWord);
    Window window(worker);
    ASSERT_TRUE(worker.startSearch());
    worker.waitForRun();
    EXPECT_EQ(window.log.last(), u"fail integer overflow"_s);
    EXPECT_FALSE(worker.isSearching());
    EXPECT_FALSE(dictionary.isBusy());
}

TEST(SearchThread, AnAbandonedRunEndsWithoutReports)
{
    Fixture f;
    auto worker = std::make_unique<Worker>(f.dictionary, f.thesaurus, f.blackList, PartWord);
    Window window(*worker);
    ASSERT_TRUE(worker->startSearch());
    worker->abandon();
    worker->waitForRun();
    EXPECT_FALSE(worker->isSearching());
    worker.reset();
    EXPECT_FALSE(window.log.contains(u"finish пушистый\r\nмяукать\r\n"_s));
    EXPECT_FALSE(f.dictionary.isBusy());
    // An idle thread object, never started, goes without waiting.
    Worker idle(f.dictionary, f.thesaurus, f.blackList, PartWord);
}
