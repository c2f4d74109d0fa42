#include "sorter/tform2.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm2::TForm2(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Переименование кнопки"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Дайте новое название"), this));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    layout->addWidget(Edit1);
    BitBtn1 = new QPushButton(QStringLiteral("Переименовать"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(QIcon::fromTheme(QStringLiteral("edit-rename")));
    BitBtn1->setAutoDefault(false);
    layout->addWidget(BitBtn1, 0, Qt::AlignRight);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(Edit1, &QLineEdit::returnPressed, this, &TForm2::BitBtn1Click);
    setFixedSize(320, sizeHint().height());
}

QString TForm2::askName(const QString &name)
{
    Edit1->setText(name);
    if (QWidget *owner = parentWidget())
        move(owner->geometry().center() - rect().center());
    exec();
    return Edit1->text();
}

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_shownText = Edit1->text();
    Edit1->setFocus();
    Edit1->selectAll();
}

void TForm2::keyPressEvent(QKeyEvent *event)
{
    // Esc is the dialog's one way back to the old name; the close box keeps the edit.
    if (event->key() == Qt::Key_Escape)
        Edit1->setText(m_shownText);
    QDialog::keyPressEvent(event);
}

void TForm2::BitBtn1Click()
{
    accept();
}
