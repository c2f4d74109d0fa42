#pragma once

#include <QMainWindow>

class QLabel;
class LineBoxView;

/// "Просмотр списка": a copy of the current box in a window of its own, placed right of
/// the main window.
class TForm4 final : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm4(QWidget *mainWindow);
    LineBoxView *Memo1;
    void setStatus(const QString &text);
    QString status() const;

signals:
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *m_mainWindow;
    QLabel *m_countPanel;
};
