#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;

/// "База данных": where the dictionary file is. The path takes effect when the
/// connection is next opened.
class TForm2 final : public QDialog
{
    Q_OBJECT
public:
    TForm2(Workspace &workspace, QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QPushButton *BitBtn4;
    QPushButton *BuildFromTexts;  // "Создать словарь из своих текстов…"

protected:
    void showEvent(QShowEvent *event) override;  // FormShow

private:
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void buildFromTextsClick();

    Workspace &m_workspace;
};
