#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

/// The rename dialog of a send button. It has no cancel: however it closes, the
/// field's text is the new name, and Esc first puts the old name back.
class TForm2 final : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);
    /// Shows the dialog modally with name in the field; returns the field's text.
    QString askName(const QString &name);

    QLineEdit *Edit1;
    QPushButton *BitBtn1;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BitBtn1Click();
    QString m_shownText;
};
