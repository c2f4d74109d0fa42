#pragma once

#include <QDialog>

class ComparisonWorkspace;
class QLineEdit;
class QPushButton;

/// "Глобальная замена": the pair of whole-line texts to replace in every box in use.
class TForm5 final : public QDialog
{
    Q_OBJECT
public:
    explicit TForm5(ComparisonWorkspace &workspace, QWidget *parent = nullptr);
    /// Shows the pair as the workspace holds it and runs modally until "Закрыть".
    int exec() override;

    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QPushButton *Button1;
    QPushButton *Button2;

private:
    void Button1Click();
    ComparisonWorkspace &m_workspace;
};
