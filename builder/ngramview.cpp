#include "builder/ngramview.h"

#include "builder/dictionary.h"
#include "builder/wordformview.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Captions[NgramView::GridCount] = {u"Биграммы справа"_s, u"Биграммы слева"_s,
                                                u"Триграммы"_s};

QList<QStringList> emptyRows(int count, int columns)
{
    return QList<QStringList>(count, QStringList(columns, QString()));
}

} // namespace

NgramView::NgramView()
{
    const QStringList pair = {u"№"_s, u"Слово 1"_s, u"Слово 2"_s, u"Частота"_s};
    const QStringList triple = {u"№"_s, u"Слово 1"_s, u"Слово 2"_s, u"Слово 3"_s, u"Частота"_s};
    for (int k = 0; k < GridCount; ++k) {
        m_grids[k].caption = Captions[k];
        m_grids[k].headers = k < 2 ? pair : triple;
        m_grids[k].rows = emptyRows(4, int(m_grids[k].headers.size()));
    }
}

QString NgramView::refresh(Dictionary &dictionary, const QString &word)
{
    const FormIdLookup id = mostFrequentInitialFormId(dictionary, word);
    if (!id.ok())
        return id.error;
    std::array<NgramGrid, GridCount> grids = m_grids;
    for (int k = 0; k < GridCount; ++k) {
        const int columns = int(grids[k].headers.size());
        QList<QStringList> rows;
        if (id.found()) {
            const DictionaryRows found = k == 0   ? dictionary.rightBigrams(id.id)
                                         : k == 1 ? dictionary.leftBigrams(id.id)
                                                  : dictionary.trigrams(id.id);
            if (!found.ok())
                return found.error;
            for (const QStringList &row : found.rows)
                rows.append(QStringList{QString::number(rows.size() + 1)} + row);
        }
        grids[k].caption = Captions[k] + u" ("_s + QString::number(rows.size()) + u')';
        grids[k].rows = rows.isEmpty() ? emptyRows(1, columns) : rows;
    }
    m_grids = grids;
    return QString();
}
