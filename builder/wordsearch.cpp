#include "builder/wordsearch.h"

using namespace Qt::Literals::StringLiterals;

namespace SearchStage {

QString seeds() { return u"Ищем id исходных форм ("_s; }
QString neighbours() { return u"Поиск словосочетаний ("_s; }
QString middleWords() { return u"Поиск слов по соседним словам ("_s; }
QString resolving() { return u"Поиск исходных форм для найденных словоформ ("_s; }
QString sorting() { return u"Сортировка результатов ("_s; }
QString merging() { return u"Объединение результатов ("_s; }
QString blackList() { return u"Фильтрация с использованием чёрного списка ("_s; }
QString thesaurus() { return u"Фильтрация с использованием тезауруса ("_s; }
QString significance() { return u"Сортировка в порядке значимости ("_s; }

QString text(const QString &prefix, qsizetype count)
{
    return prefix + QString::number(count) + u')';
}

} // namespace SearchStage

QString rankByName(RankBy rankBy)
{
    return rankBy == RankBy::Strength ? u"strength"_s : u"links"_s;
}

bool rankByFromName(const QString &name, RankBy *rankBy)
{
    for (const RankBy r : {RankBy::Links, RankBy::Strength}) {
        if (name == rankByName(r)) {
            *rankBy = r;
            return true;
        }
    }
    return false;
}

QStringList searchLines(const QString &paneText)
{
    return splitLines(toLowerSimple(paneText));
}

QString rankedLine(int count, const QString &word)
{
    return QString::asprintf("%4i ", count) + u'\t' + word;
}

void SearchReporter::stage(const QString &prefix, qsizetype count) const
{
    if (m_reports.stage)
        m_reports.stage(SearchStage::text(prefix, count));
}

void SearchReporter::progress(int value) const
{
    if (m_reports.progress)
        m_reports.progress(value);
}

bool SearchReporter::stopRequested()
{
    if (!m_stopped && m_reports.stopRequested)
        m_stopped = m_reports.stopRequested();
    return m_stopped;
}

int stageProgress(int base, int span, qint64 k, qint64 n)
{
    return base + int(qint64(span) * k / n);
}
