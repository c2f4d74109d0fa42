#include "builder/tform5.h"

#include "common/screenfit.h"
#include "common/textlines.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TForm5::TForm5(QWidget *parent)
    : QDialog(parent)
{
    static_assert(PartOfSpeechCount == 17);
    setWindowTitle(u"Части речи"_s);
    const QString captions[PartOfSpeechCount] = {
        u"существительное"_s,          u"прилагательное (полное)"_s,
        u"прилагательное (краткое)"_s, u"компаратив"_s,
        u"глагол (личная форма)"_s,    u"глагол (инфинитив)"_s,
        u"причастие (полное)"_s,       u"причастие (краткое)"_s,
        u"деепричастие"_s,             u"числительное"_s,
        u"наречие"_s,                  u"местоимение"_s,
        u"предикатив"_s,               u"предлог"_s,
        u"союз"_s,                     u"частица"_s,
        u"междометие"_s};
    auto *layout = new QHBoxLayout(this);
    auto *group = new QGroupBox(u"Выбранные части речи"_s, this);
    auto *boxes = new QVBoxLayout(group);
    boxes->setSpacing(2);
    for (int i = 0; i < PartOfSpeechCount; ++i) {
        CheckBox[i] = new QCheckBox(captions[i], group);
        CheckBox[i]->setChecked(true);
        boxes->addWidget(CheckBox[i]);
        connect(CheckBox[i], &QCheckBox::toggled, this, &TForm5::set1Click);
    }
    layout->addWidget(group);
    auto *buttons = new QVBoxLayout;
    BitBtn3 = new QPushButton(u"Выделить все      "_s, this);
    BitBtn4 = new QPushButton(u"Снять выделение"_s, this);
    BitBtn2 = new QPushButton(u"  Сохранить"_s, this);
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn4);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { checkAll(true); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { checkAll(false); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        set1Click();
        accept();
    });
    set1Click();
    setFixedSize(sizeHint());
}

void TForm5::showEvent(QShowEvent *event)
{
    if (parentWidget())
        move(parentWidget()->frameGeometry().center() - rect().center());
    keepOnScreen(this);
    QDialog::showEvent(event);
}

void TForm5::set1Click()
{
    for (int i = 0; i < PartOfSpeechCount; ++i)
        PartWord.set(i, CheckBox[i]->isChecked());
}

void TForm5::checkAll(bool checked)
{
    for (QCheckBox *box : CheckBox)
        box->setChecked(checked);
}
