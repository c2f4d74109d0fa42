#include "builder/literalsearch.h"

#include "builder/dictionary.h"
#include "builder/dictionarystatement.h"

#include <algorithm>

// Each step below is the plain algorithm, one statement per item, ids kept as the
// decimal text the database renders. Only the word and id of a candidate are kept as
// two fields instead of one tab-joined line, so a word holding a tab stays whole.

namespace {

struct Candidate
{
    QString word;
    QString id;
    QString line() const { return word + u'\t' + id; }
};

struct Ranked
{
    int count;
    QString line;
    QString word;
};

class LiteralRun
{
public:
    LiteralRun(Dictionary &dictionary, const SearchInput &input, const SearchReports &reports)
        : m_db(dictionary.handle()), m_input(input), m_reporter(reports)
    {
    }

    SearchResult related();
    SearchResult linked();

private:
    // Each step returns false when the run must end: a database error (in m_error) or a
    // stop request.
    bool check(const DictionaryStatement &statement)
    {
        if (statement.ok())
            return true;
        m_error = statement.error();
        return false;
    }
    bool seeds(QStringList *ids);
    bool neighbours(const char *sql, const QStringList &ids, int base, int span,
                    QStringList *found);
    bool contexts(const QStringList &ids, QStringList *found);
    bool middleWords(const QStringList &contexts, QStringList *found);
    bool resolve(const QStringList &ids, QList<Candidate> *candidates);
    bool tail(QList<Candidate> candidates, bool mergeByWord, QStringList *words);
    SearchResult result(bool done, const QStringList &words);

    sqlite3 *m_db;
    const SearchInput &m_input;
    SearchReporter m_reporter;
    QStringList m_tesaurus;
    QStringList m_blackList;
    QStringList m_seeds;
    QString m_error;
};

SearchResult LiteralRun::result(bool done, const QStringList &words)
{
    SearchResult result;
    if (done)
        result.words = words;
    result.error = m_error;
    result.stopped = !done && m_error.isEmpty();
    return result;
}

bool LiteralRun::seeds(QStringList *ids)
{
    m_tesaurus = searchLines(m_input.thesaurus);
    m_blackList = searchLines(m_input.blackList);
    m_reporter.stage(SearchStage::seeds(), m_tesaurus.size());
    DictionaryStatement statement(m_db, "select initform_id from forms where word=?");
    if (!check(statement))
        return false;
    for (const QString &line : std::as_const(m_tesaurus)) {
        if (m_reporter.stopRequested())
            return false;
        statement.bindText(1, line);
        while (statement.next()) {
            const QString id = statement.text(0);
            if (!ids->contains(id))
                ids->append(id);
        }
        if (!check(statement))
            return false;
    }
    m_reporter.progress(1);
    m_seeds = *ids;
    return true;
}

bool LiteralRun::neighbours(const char *sql, const QStringList &ids, int base, int span,
                            QStringList *found)
{
    DictionaryStatement statement(m_db, sql);
    if (!check(statement))
        return false;
    for (qsizetype k = 0; k < ids.size(); ++k) {
        if (m_reporter.stopRequested())
            return false;
        statement.bindInt(1, idFromText(ids[k]));
        while (statement.next())
            found->append(statement.text(0));
        if (!check(statement))
            return false;
        if (k % 100 == 0)
            m_reporter.progress(stageProgress(base, span, k, ids.size()));
    }
    return true;
}

bool LiteralRun::contexts(const QStringList &ids, QStringList *found)
{
    DictionaryStatement statement(m_db, "select word1id,word3id from grams3 where word2id=?");
    if (!check(statement))
        return false;
    for (qsizetype k = 0; k < ids.size(); ++k) {
        if (m_reporter.stopRequested())
            return false;
        statement.bindInt(1, idFromText(ids[k]));
        while (statement.next()) {
            const QString context = statement.text(0) + u'\t' + statement.text(1);
            if (!found->contains(context))
                found->append(context);
        }
        if (!check(statement))
            return false;
        if (k % 100 == 0)
            m_reporter.progress(stageProgress(1, 4, k, ids.size()));
    }
    m_reporter.progress(10);
    return true;
}

bool LiteralRun::middleWords(const QStringList &contexts, QStringList *found)
{
    DictionaryStatement statement(
        m_db, "select word2id from grams3 where word1id=? and word3id=? and word2id!=-1");
    if (!check(statement))
        return false;
    const QString tab = QStringLiteral("\t");
    for (qsizetype k = 0; k < contexts.size(); ++k) {
        if (m_reporter.stopRequested())
            return false;
        statement.bindText(1, getFieldFromString(0, contexts[k], tab));
        statement.bindText(2, getFieldFromString(1, contexts[k], tab));
        while (statement.next())
            found->append(statement.text(0));
        if (!check(statement))
            return false;
        if (k % 100 == 0)
            m_reporter.progress(stageProgress(5, 5, k, contexts.size()));
    }
    return true;
}

bool LiteralRun::resolve(const QStringList &ids, QList<Candidate> *candidates)
{
    m_reporter.stage(SearchStage::resolving(), ids.size());
    DictionaryStatement statement(m_db, "select word,props from forms where id=?");
    if (!check(statement))
        return false;
    int counter = 0;
    for (qsizetype k = 0; k < ids.size(); ++k) {
        if (m_reporter.stopRequested())
            return false;
        statement.bindText(1, ids[k]);
        if (statement.next() && checkPartWord(statement.text(1), *m_input.filter))
            candidates->append({statement.text(0), ids[k]});
        if (!check(statement))
            return false;
        if (++counter > 1000) {
            counter = 0;
            m_reporter.progress(stageProgress(10, 30, k, ids.size()));
        }
    }
    return true;
}

bool LiteralRun::tail(QList<Candidate> candidates, bool mergeByWord, QStringList *words)
{
    m_reporter.stage(SearchStage::sorting(), candidates.size());
    std::sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return ordinalLess(a.line(), b.line());
    });
    m_reporter.progress(41);

    m_reporter.stage(SearchStage::merging(), candidates.size());
    QList<Candidate> merged;
    QString previous;
    for (const Candidate &c : std::as_const(candidates)) {
        const QString key = mergeByWord ? c.word : c.line();
        if (key != previous)
            merged.append(c);
        previous = key;
    }
    m_reporter.progress(42);

    m_reporter.stage(SearchStage::blackList(), merged.size());
    QList<Candidate> allowed;
    for (const Candidate &c : std::as_const(merged))
        if (!m_blackList.contains(c.word))
            allowed.append(c);
    m_reporter.progress(43);

    m_reporter.stage(SearchStage::thesaurus(), allowed.size());
    QList<Candidate> fresh;
    for (const Candidate &c : std::as_const(allowed))
        if (!m_tesaurus.contains(c.word))
            fresh.append(c);
    m_reporter.progress(44);

    m_reporter.stage(SearchStage::significance(), fresh.size());
    DictionaryStatement right(m_db, "select word2id from grams2 where word1id=?");
    DictionaryStatement left(m_db, "select word1id from grams2 where word2id=?");
    if (!check(right) || !check(left))
        return false;
    QList<Ranked> ranked;
    for (qsizetype k = 0; k < fresh.size(); ++k) {
        if (m_reporter.stopRequested())
            return false;
        const qint64 id = idFromText(fresh[k].id);
        int count = 0;
        right.bindInt(1, id);
        while (right.next())
            count += int(m_seeds.count(right.text(0)));
        left.bindInt(1, id);
        while (left.next())
            count += int(m_seeds.count(left.text(0)));
        if (!check(right) || !check(left))
            return false;
        ranked.append({count, rankedLine(count, fresh[k].word), fresh[k].word});
        if (k % 100 == 0)
            m_reporter.progress(stageProgress(44, 55, k, fresh.size()));
    }
    m_reporter.progress(99);

    m_reporter.stage(SearchStage::sorting(), ranked.size());
    std::sort(ranked.begin(), ranked.end(), [](const Ranked &a, const Ranked &b) {
        return a.count != b.count ? a.count < b.count : ordinalLess(a.line, b.line);
    });
    m_reporter.progress(100);

    for (qsizetype i = ranked.size() - 1; i >= 0 && words->size() < MaxFoundWords; --i)
        words->append(ranked[i].word);
    return true;
}

SearchResult LiteralRun::related()
{
    QStringList ids;
    QStringList found;
    QList<Candidate> candidates;
    QStringList words;
    bool done = seeds(&ids);
    if (done) {
        m_reporter.stage(SearchStage::neighbours(), ids.size());
        done = neighbours("select word2id from grams2 where word1id=?", ids, 1, 4, &found)
               && neighbours("select word1id from grams2 where word2id=?", ids, 5, 5, &found)
               && resolve(found, &candidates) && tail(candidates, true, &words);
    }
    return result(done, words);
}

SearchResult LiteralRun::linked()
{
    QStringList ids;
    QStringList contextLines;
    QStringList found;
    QList<Candidate> candidates;
    QStringList words;
    bool done = seeds(&ids);
    if (done) {
        m_reporter.stage(SearchStage::neighbours(), ids.size());
        done = contexts(ids, &contextLines);
    }
    if (done) {
        m_reporter.stage(SearchStage::middleWords(), contextLines.size());
        done = middleWords(contextLines, &found) && resolve(found, &candidates)
               && tail(candidates, false, &words);
    }
    return result(done, words);
}

} // namespace

SearchResult literalRelatedWords(Dictionary &dictionary, const SearchInput &input,
                                 const SearchReports &reports)
{
    const DictionaryReading reading(dictionary);
    return LiteralRun(dictionary, input, reports).related();
}

SearchResult literalLinkedWords(Dictionary &dictionary, const SearchInput &input,
                                const SearchReports &reports)
{
    const DictionaryReading reading(dictionary);
    return LiteralRun(dictionary, input, reports).linked();
}
