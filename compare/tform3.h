#pragma once

#include "compare/statisticswindow.h"

/// "Статистика по спискам": the line counts of every list's boxes.
class TForm3 final : public StatisticsWindow
{
    Q_OBJECT
public:
    explicit TForm3(const ComparisonWorkspace &workspace, QWidget *parent = nullptr);
    /// Builds the table from the counts of the boxes as they stand (N14Click).
    void build() override { N14Click(); }
    void N14Click();
};
