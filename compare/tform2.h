#pragma once

#include "compare/statisticswindow.h"

#include <array>

/// "Статистика по словам": which lists hold each word of the merged list.
class TForm2 final : public StatisticsWindow
{
    Q_OBJECT
public:
    explicit TForm2(const ComparisonWorkspace &workspace, QWidget *parent = nullptr);
    /// Builds the table from the merged box and the sources of the lists in use (N12Click).
    void build() override { N12Click(); }
    void N12Click();

private:
    std::array<QAction *, 10> m_listSorts{};
};
