#include "builder/tform2.h"

#include "builder/dictionarybuilddialog.h"
#include "builder/workspace.h"
#include "common/desktopservices.h"
#include "common/dialogfolder.h"
#include "common/screenfit.h"
#include "common/suiteinfo.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TForm2::TForm2(Workspace &workspace, QWidget *parent)
    : QDialog(parent), m_workspace(workspace)
{
    setWindowTitle(u"База данных"_s);
    auto *layout = new QGridLayout(this);
    Label1 = new QLabel(u"Путь к базе данных"_s, this);
    Edit1 = new QLineEdit(this);
    BitBtn3 = new QPushButton(u"Выбрать"_s, this);
    BitBtn4 = new QPushButton(u"Загрузить"_s, this);
    BitBtn1 = new QPushButton(u"Сохранить"_s, this);
    BitBtn2 = new QPushButton(u"Отмена"_s, this);
    BuildFromTexts = new QPushButton(u"Создать словарь из своих текстов…"_s, this);
    layout->addWidget(Label1, 0, 0, 1, 4);
    layout->addWidget(Edit1, 1, 0, 1, 3);
    layout->addWidget(BitBtn3, 1, 3);
    layout->addWidget(BuildFromTexts, 2, 0, 1, 2, Qt::AlignLeft);
    layout->addWidget(BitBtn4, 3, 0);
    layout->setColumnStretch(1, 1);
    layout->addWidget(BitBtn1, 3, 2);
    layout->addWidget(BitBtn2, 3, 3);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm2::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm2::BitBtn4Click);
    connect(BuildFromTexts, &QPushButton::clicked, this, &TForm2::buildFromTextsClick);
    setFixedSize(492, 176);
}

void TForm2::showEvent(QShowEvent *event)
{
    Edit1->setText(m_workspace.dataBase());
    if (parentWidget())
        move(parentWidget()->frameGeometry().center() - rect().center());
    keepOnScreen(this);
    QDialog::showEvent(event);
}

void TForm2::BitBtn1Click()
{
    const QString problem = m_workspace.acceptDataBase(Edit1->text());
    if (problem.isEmpty())
        accept();
    else
        QMessageBox::warning(this, windowTitle(), problem);
}

void TForm2::BitBtn3Click()
{
    const QString start = Edit1->text().isEmpty() ? dialogStartFolder(false) : Edit1->text();
    const QString path = QFileDialog::getOpenFileName(this, u"Словарь"_s, start,
                                                      u"Все файлы (*)"_s, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    rememberDialogFolder(path);
    if (!path.isEmpty())
        Edit1->setText(path);
}

void TForm2::BitBtn4Click()
{
    DesktopServices::current().openUrl(makerPage(u"/product.php?id=53"_s, u"Orvella.html"_s));
}

void TForm2::buildFromTextsClick()
{
    DictionaryBuildDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString problem = m_workspace.acceptDataBase(dialog.builtPath());
    if (problem.isEmpty())
        Edit1->setText(dialog.builtPath());
    else
        QMessageBox::warning(this, windowTitle(), problem);
}
