#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;

/// "Части речи": one box per part of speech. Every change reaches the searches' filter
/// at once; the filter starts with all parts allowed and is not kept between runs.
class TForm5 final : public QDialog
{
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);

    std::array<QCheckBox *, 17> CheckBox;  // CheckBox1 .. CheckBox17
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QPushButton *BitBtn4;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void set1Click();
    void checkAll(bool checked);
};
