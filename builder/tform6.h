#pragma once

#include <QWidget>

#include <array>

class QGroupBox;
class QTableWidget;
class Workspace;

/// "Словосочетания": the pairs and triples of the current word's initial form. It
/// opens below the main window; a double-clicked word adds its initial form to the
/// thesaurus.
class TForm6 final : public QWidget
{
    Q_OBJECT
public:
    TForm6(Workspace &workspace, QWidget *parent = nullptr);

    std::array<QGroupBox *, 3> GroupBox;        // GroupBox1 .. GroupBox3
    std::array<QTableWidget *, 3> StringGrid;   // StringGrid1 .. StringGrid3

    /// Shows what the workspace's n-gram view holds.
    void showGrids();

protected:
    void showEvent(QShowEvent *event) override;    // FormShow
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;  // FormResize

private:
    void StringGridDblClick(int grid, int row, int column);

    Workspace &m_workspace;
};
