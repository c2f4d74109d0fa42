#include "compare/tform3.h"

#include "compare/workspace.h"

#include <QMenu>

using namespace Qt::Literals::StringLiterals;

TForm3::TForm3(const ComparisonWorkspace &workspace, QWidget *parent)
    : StatisticsWindow(u"Статистика по спискам"_s, workspace, parent)
{
    sortMenu()->addAction(u"По номеру списка"_s, this, &TForm3::N14Click);
    addSortItem(u"По названию списка"_s, 1);
    addSortItem(u"По количеству элементов в списке"_s, 2);
    addSortItem(u"По количеству уникальных элементов в списке"_s, 3);
    addSortItem(u"По количеству отсутствующих элементов в списке"_s, 4);
    addSortItem(u"По количеству пересекающихся элементов в списке"_s, 5);
    sortMenu()->addAction(u"Обратный порядок"_s, this, &TForm3::reverseRows);
}

void TForm3::N14Click()
{
    QList<ListBoxCounts> lists;
    for (int i = 1; i <= m_workspace.listCount(); ++i)
        lists.append({m_workspace.name(i), m_workspace.lineCountOf({i, BoxKind::Source}),
                      m_workspace.lineCountOf({i, BoxKind::Unique}),
                      m_workspace.lineCountOf({i, BoxKind::Absent}),
                      m_workspace.lineCountOf({i, BoxKind::Shared})});
    setTable(buildListStatistics(lists, m_workspace.lineCountOf({BoxId::Common}),
                                 m_workspace.lineCountOf({BoxId::Merged})));
}
