#include "tests/builder/testdictionary.h"

#include "common/textlines.h"

#include <QFile>

#include <sqlite3.h>

#include <random>

using namespace Qt::Literals::StringLiterals;

TestDictionary TestDictionary::fromText(const QString &source)
{
    TestDictionary dictionary;
    QString section;
    for (const QString &line : splitLines(source)) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[')) {
            section = trimmed;
            continue;
        }
        // Fields are taken untrimmed, so a word may begin or end with a blank.
        const QStringList f = line.split(u'|');
        if (section == u"[forms]") {
            dictionary.addForm(f[0].toLongLong(), f[1], f[2].toLongLong(), f.value(3));
            continue;
        }
        for (const QString &row : line.split(u' ', Qt::SkipEmptyParts)) {
            const QStringList ids = row.split(u'|');
            const auto freq = [&ids](qsizetype i) { return ids.value(i, u"1"_s).toLongLong(); };
            if (section == u"[grams2]")
                dictionary.addPair(ids[0].toLongLong(), ids[1].toLongLong(), freq(2));
            else if (section == u"[grams3]")
                dictionary.addTriple(ids[0].toLongLong(), ids[1].toLongLong(),
                                     ids[2].toLongLong(), freq(3));
            else if (section == u"[lexemes]")
                dictionary.addLexeme(ids[0].toLongLong(), freq(1));
        }
    }
    return dictionary;
}

TestDictionary TestDictionary::catsAndMice()
{
    return fromText(uR"([forms]
1|кошка|1|NOUN,anim,femn
2|кошки|1|NOUN,anim,femn
3|собака|3|NOUN,anim,femn
4|мышь|4|NOUN,anim,femn
5|и|5|CONJ
6|ловит|7|VERB,impf
7|ловить|7|INFN,impf
[grams2]
1|5  5|3  1|7  3|7  7|4
[grams3]
3|1|7  3|4|7
)"_s);
}

TestDictionary TestDictionary::generated(std::uint32_t seed, int lemmas)
{
    std::mt19937 random(seed);
    const auto below = [&random](int n) { return int(random() % std::uint32_t(n)); };
    // Few letters and short words make homographs and equal words common.
    const QString letters = u"аякёЁАЯ"_s;
    const auto makeWord = [&] {
        QString word;
        for (int i = 0, length = 1 + below(3); i < length; ++i)
            word += letters[below(int(letters.size()))];
        if (below(20) == 0)
            word += u' ';
        return word;
    };
    const QStringList tags = {u"NOUN"_s, u"ADJF"_s, u"VERB"_s, u"INFN"_s, u"ADVB"_s,
                              u"INTJ"_s, u"LATN"_s, u"noun"_s, u""_s,    u" NOUN"_s};
    TestDictionary dictionary;
    qint64 next = lemmas + 1;
    for (qint64 id = 1; id <= lemmas; ++id) {
        const QString tag = tags[below(int(tags.size()))];
        dictionary.addForm(id, makeWord(), id, below(2) ? tag : tag + u",anim,masc"_s);
        for (int i = below(3); i > 0; --i)
            dictionary.addForm(next++, makeWord(), id, tag + u",plur"_s);
    }
    // Links favour low ids, so some candidates tie and some gather many links; a few
    // point at ids no form has.
    const auto linkId = [&]() -> qint64 {
        if (below(40) == 0)
            return lemmas + 1000 + below(5);
        return 1 + qint64(below(lemmas)) * below(lemmas) / lemmas;
    };
    for (int i = 0; i < lemmas * 6; ++i)
        dictionary.addPair(linkId(), linkId());
    for (int i = 0; i < lemmas * 8; ++i)
        dictionary.addTriple(1 + below(12), below(15) == 0 ? -1 : linkId(), 1 + below(12));
    return dictionary;
}

QString TestDictionary::write(const QString &path) const
{
    QFile::remove(path);
    const auto quoted = [](QString text) { return u'\'' + text.replace(u'\'', u"''"_s) + u'\''; };
    QString sql = u"begin;"
                  "create table forms (id integer primary key, word text not null,"
                  " initform_id integer not null, props text not null);"
                  "create table grams2 (word1id integer not null, word2id integer not null,"
                  " word1 text not null, word2 text not null, freq integer not null);"
                  "create table grams3 (word1id integer not null, word2id integer not null,"
                  " word3id integer not null, word1 text not null, word2 text not null,"
                  " word3 text not null, freq integer not null);"_s;
    for (const Form &f : m_forms)
        sql += u"insert into forms values (%1, %2, %3, %4);"_s.arg(QString::number(f.id),
                                                                   quoted(f.word),
                                                                   QString::number(f.initform),
                                                                   quoted(f.props));
    // A gram row holds its ids, then the words "w<id>", then its freq.
    const auto addGrams = [&sql](const char *table, const QList<QList<qint64>> &rows) {
        for (const QList<qint64> &row : rows) {
            QStringList numbers;
            QStringList words;
            for (const qint64 id : row.first(row.size() - 1)) {
                numbers.append(QString::number(id));
                words.append(u"'w"_s + QString::number(id) + u'\'');
            }
            sql += u"insert into %1 values (%2, %3, %4);"_s.arg(
                QString::fromLatin1(table), numbers.join(u", "_s), words.join(u", "_s),
                QString::number(row.last()));
        }
    };
    addGrams("grams2", m_pairs);
    addGrams("grams3", m_triples);
    if (!m_lexemes.isEmpty()) {
        sql += u"create table lexemes (id integer primary key, freq integer not null,"
               " share real not null);"_s;
        for (const QList<qint64> &row : m_lexemes)
            sql += u"insert into lexemes values (%1, %2, 0);"_s.arg(QString::number(row[0]),
                                                                     QString::number(row[1]));
    }
    // The indexes of builder/README.md.
    sql += u"create index forms_word on forms(word);"
           "create index forms_initform on forms(initform_id);"
           "create index grams2_word1 on grams2(word1id, word2id);"
           "create index grams2_word2 on grams2(word2id, word1id);"
           "create index grams3_word2 on grams3(word2id, word1id, word3id);"
           "create index grams3_outer on grams3(word1id, word3id, word2id);"
           "commit;"_s;
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return u"cannot create "_s + path;
    }
    char *message = nullptr;
    QString error;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK)
        error = QString::fromUtf8(message);
    sqlite3_free(message);
    sqlite3_close(db);
    return error;
}

RecordedRun recordRun(const std::function<SearchResult(const SearchReports &)> &search)
{
    RecordedRun run;
    SearchReports reports;
    reports.stage = [&run](const QString &stage) { run.reports.append(u"stage: "_s + stage); };
    reports.progress = [&run](int progress) {
        run.reports.append(u"progress: "_s + QString::number(progress));
    };
    run.result = search(reports);
    return run;
}

RecordedRun recordBothWays(const std::function<SearchResult(const SearchReports &)> &fast,
                           const std::function<SearchResult(const SearchReports &)> &literal)
{
    const RecordedRun fastRun = recordRun(fast);
    const RecordedRun literalRun = recordRun(literal);
    EXPECT_TRUE(fastRun.result.ok()) << fastRun.result.error.toStdString();
    EXPECT_EQ(literalRun.result.words, fastRun.result.words);
    EXPECT_EQ(literalRun.reports, fastRun.reports);
    return fastRun;
}

DictionaryFile::DictionaryFile(const TestDictionary &dictionary)
{
    m_error = dictionary.write(path());
}

QString writeDatabase(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}
