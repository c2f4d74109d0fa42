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
        if (section == u"[forms]")
            dictionary.addForm(f[0].toLongLong(), f[1], f[2].toLongLong(), f.value(3));
        else if (section == u"[grams2]")
            dictionary.addPair(f[0].toLongLong(), f[1].toLongLong());
        else if (section == u"[grams3]")
            dictionary.addTriple(f[0].toLongLong(), f[1].toLongLong(), f[2].toLongLong());
    }
    return dictionary;
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

void TestDictionary::addForm(qint64 id, const QString &word, qint64 initform,
                             const QString &props)
{
    m_forms.append({id, word, initform, props});
}

void TestDictionary::addPair(qint64 first, qint64 second)
{
    m_pairs.append({first, second});
}

void TestDictionary::addTriple(qint64 first, qint64 middle, qint64 last)
{
    m_triples.append({first, middle, last});
}

namespace {

QString execute(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return QString();
    const QString error = QString::fromUtf8(message);
    sqlite3_free(message);
    return error;
}

void bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

} // namespace

QString TestDictionary::write(const QString &path) const
{
    QFile::remove(path);
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return u"cannot create "_s + path;
    }
    QString error = execute(db,
                            "begin;"
                            "create table forms (id integer primary key, word text not null,"
                            " initform_id integer not null, props text not null);"
                            "create table grams2 (word1id integer not null, word2id integer not"
                            " null, word1 text not null, word2 text not null,"
                            " freq integer not null);"
                            "create table grams3 (word1id integer not null, word2id integer not"
                            " null, word3id integer not null, word1 text not null, word2 text"
                            " not null, word3 text not null, freq integer not null);");
    sqlite3_stmt *form = nullptr;
    sqlite3_stmt *pair = nullptr;
    sqlite3_stmt *triple = nullptr;
    sqlite3_prepare_v2(db, "insert into forms values (?,?,?,?)", -1, &form, nullptr);
    sqlite3_prepare_v2(db, "insert into grams2 values (?,?,?,?,?)", -1, &pair, nullptr);
    sqlite3_prepare_v2(db, "insert into grams3 values (?,?,?,?,?,?,?)", -1, &triple, nullptr);
    for (const Form &f : m_forms) {
        sqlite3_bind_int64(form, 1, f.id);
        bindText(form, 2, f.word);
        sqlite3_bind_int64(form, 3, f.initform);
        bindText(form, 4, f.props);
        if (sqlite3_step(form) != SQLITE_DONE && error.isEmpty())
            error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_reset(form);
    }
    for (const auto &p : m_pairs) {
        for (int c = 0; c < 2; ++c) {
            sqlite3_bind_int64(pair, c + 1, p[c]);
            bindText(pair, c + 3, u"w"_s + QString::number(p[c]));
        }
        sqlite3_bind_int64(pair, 5, 1);
        sqlite3_step(pair);
        sqlite3_reset(pair);
    }
    for (const auto &t : m_triples) {
        for (int c = 0; c < 3; ++c) {
            sqlite3_bind_int64(triple, c + 1, t[c]);
            bindText(triple, c + 4, u"w"_s + QString::number(t[c]));
        }
        sqlite3_bind_int64(triple, 7, 1);
        sqlite3_step(triple);
        sqlite3_reset(triple);
    }
    sqlite3_finalize(form);
    sqlite3_finalize(pair);
    sqlite3_finalize(triple);
    // The indexes of builder/README.md.
    const QString indexed =
        execute(db, "create index forms_word on forms(word);"
                    "create index forms_initform on forms(initform_id);"
                    "create index grams2_word1 on grams2(word1id, word2id);"
                    "create index grams2_word2 on grams2(word2id, word1id);"
                    "create index grams3_word2 on grams3(word2id, word1id, word3id);"
                    "create index grams3_outer on grams3(word1id, word3id, word2id);"
                    "commit;");
    if (error.isEmpty())
        error = indexed;
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

DictionaryFile::DictionaryFile(const TestDictionary &dictionary)
{
    m_error = dictionary.write(path());
}
