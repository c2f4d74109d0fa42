#include "compare/tform5.h"

#include "compare/workspace.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TForm5::TForm5(ComparisonWorkspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
{
    setWindowTitle(u"Глобальная замена"_s);
    Edit1 = new QLineEdit(this);
    Edit2 = new QLineEdit(this);
    Button1 = new QPushButton(u"Заменить"_s, this);
    Button2 = new QPushButton(u"Закрыть"_s, this);
    Button1->setDefault(true);
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(u"Заменить"_s, this), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(new QLabel(u"На"_s, this), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    grid->addLayout(buttons, 2, 0, 1, 2);
    resize(420, sizeHint().height());
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm5::accept);
}

int TForm5::exec()
{
    Edit1->setText(m_workspace.replaceFrom());
    Edit2->setText(m_workspace.replaceTo());
    Edit2->setFocus();
    return QDialog::exec();
}

void TForm5::Button1Click()
{
    QMessageBox::information(this, QApplication::applicationDisplayName(),
                             m_workspace.replaceEverywhere(Edit1->text(), Edit2->text()));
}
