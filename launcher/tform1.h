#pragma once

#include "common/suiteinfo.h"

#include <QMainWindow>

#include <memory>

class LauncherModel;
class QPushButton;
enum class SuiteTool;

/// The launcher's window "Lexorum": three tool buttons with their help buttons over
/// a picture, and the menus. Tools start from the program directory, detached.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
public:
    /// programDirectory: where the tools and help documents are looked for.
    explicit TForm1(const QString &programDirectory = CurPath(), QWidget *parent = nullptr);
    ~TForm1() override;

    LauncherModel &model() { return *m_model; }

private:
    void createControls();  // BitBtn1..BitBtn6 on the background picture
    void createMenus();     // N4, N7, N6, the tool items, N14, N16, N18
    void startTool(SuiteTool tool);
    void openHelp(SuiteTool tool);

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void N4Click();
    void N7Click();
    void N6Click();
    void N14Click();
    void N16Click();
    void N18Click();
    void showUpdateAnswer(const QString &message);

    std::unique_ptr<LauncherModel> m_model;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QPushButton *BitBtn4 = nullptr;
    QPushButton *BitBtn5 = nullptr;
    QPushButton *BitBtn6 = nullptr;
};
