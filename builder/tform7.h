#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class Workspace;

/// "Список словоформ": every form of the current word's initial form. It opens to the
/// right of the main window; a double-clicked form replaces the current line of the
/// active pane.
class TForm7 final : public QWidget
{
    Q_OBJECT
public:
    TForm7(Workspace &workspace, QWidget *parent = nullptr);

    QPlainTextEdit *Memo1;
    QLabel *StatusBar1;

    /// Shows what the workspace's word-form view holds.
    void showForms();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;  // FormShow
    void hideEvent(QHideEvent *event) override;

private:
    void Memo1DblClick();

    Workspace &m_workspace;
};
