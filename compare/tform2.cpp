#include "compare/tform2.h"

#include "common/textlines.h"
#include "compare/workspace.h"

#include <QMenu>

using namespace Qt::Literals::StringLiterals;

TForm2::TForm2(const ComparisonWorkspace &workspace, QWidget *parent)
    : StatisticsWindow(u"Статистика по словам"_s, workspace, parent)
{
    addSortItem(u"По словам"_s, 1);
    addSortItem(u"По количеству"_s, 2);
    for (int k = 1; k <= 10; ++k)
        m_listSorts[k - 1] = addSortItem(u"По списку № %1"_s.arg(k), listColumn(k));
    sortMenu()->addAction(u"Обратный порядок"_s, this, &TForm2::reverseRows);
}

void TForm2::N12Click()
{
    const int n = m_workspace.listCount();
    for (int k = 1; k <= 10; ++k)
        m_listSorts[k - 1]->setVisible(isListSortShown(k, n));
    QList<QStringList> sources;
    QStringList names;
    for (int i = 1; i <= n; ++i) {
        sources.append(splitLines(m_workspace.boxText({i, BoxKind::Source})));
        names.append(m_workspace.name(i));
    }
    setTable(buildWordStatistics(splitLines(m_workspace.boxText({BoxId::Merged})), sources,
                                 names));
}
