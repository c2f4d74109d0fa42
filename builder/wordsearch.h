#pragma once

#include "common/textlines.h"

#include <QString>
#include <QStringList>

#include <functional>

// What the two searches share: their input, their reports and their result.

/// How a run orders its proposals ("Порядок предложений").
enum class RankBy {
    Links,     // "по числу связей": the number of word-pair links to the seeds
    Strength,  // "по силе связи": an association measure; see builder/README.md
};

/// "links" or "strength", as the settings file and the command line spell it.
QString rankByName(RankBy rankBy);
/// The ranking of a name; false for any other text.
bool rankByFromName(const QString &name, RankBy *rankBy);

/// What a run reads. The texts are the panes' as they stood at the start; the
/// filter is read again at each candidate test, so a change applies from then on.
struct SearchInput
{
    QString thesaurus;
    QString blackList;
    const part_word *filter = &PartWord;
    RankBy rankBy = RankBy::Links;
};

/// Where a run reports, on the thread that runs it. Any member may be empty.
struct SearchReports
{
    std::function<void(const QString &stage)> stage;       // prefix + count + ")"
    std::function<void(int progress)> progress;            // 0..100
    std::function<bool()> stopRequested;                   // asked between items
};

struct SearchResult
{
    QStringList words;  // at most MaxFoundWords, best first
    QString error;      // the database's own message; empty on success
    bool stopped = false;  // ended early on request; words are then empty
    bool ok() const { return error.isEmpty() && !stopped; }
    /// The found-words pane text: each word followed by CR LF.
    QString foundText() const { return joinLines(words); }
};

inline constexpr int MaxFoundWords = 1000;

/// The stage prefixes; each is followed by a count and ")".
namespace SearchStage {
QString seeds();          // "Ищем id исходных форм ("
QString neighbours();     // "Поиск словосочетаний ("
QString middleWords();    // "Поиск слов по соседним словам ("
QString resolving();      // "Поиск исходных форм для найденных словоформ ("
QString sorting();        // "Сортировка результатов ("
QString merging();        // "Объединение результатов ("
QString blackList();      // "Фильтрация с использованием чёрного списка ("
QString thesaurus();      // "Фильтрация с использованием тезауруса ("
QString significance();   // "Сортировка в порядке значимости ("
QString text(const QString &prefix, qsizetype count);
} // namespace SearchStage

/// Lowercases a pane text and cuts it into lines, as a run reads its inputs.
QStringList searchLines(const QString &paneText);
/// The ranked line of a candidate: the count as "%4i ", TAB, the word.
QString rankedLine(int count, const QString &word);

/// Passes a run's reports on and asks whether to stop; for the search implementations.
class SearchReporter final
{
public:
    explicit SearchReporter(const SearchReports &reports) : m_reports(reports) {}
    void stage(const QString &prefix, qsizetype count) const;
    void progress(int value) const;
    /// Polled between items; once true it stays true.
    bool stopRequested();

private:
    const SearchReports &m_reports;
    bool m_stopped = false;
};

/// The progress value of item k of n at the stage's base and span: base + span·k div n.
int stageProgress(int base, int span, qint64 k, qint64 n);
