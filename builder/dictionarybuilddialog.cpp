#include "builder/dictionarybuilddialog.h"

#include "builder/dictionarybuildjob.h"
#include "common/dialogfolder.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

DictionaryBuildDialog::DictionaryBuildDialog(QWidget *parent)
    : QDialog(parent), m_job(new DictionaryBuildJob(this))
{
    setWindowTitle(u"Создать словарь из своих текстов"_s);
    auto *layout = new QGridLayout(this);
    Sources = new QListWidget(this);
    Sources->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AddFiles = new QPushButton(u"Добавить файлы…"_s, this);
    AddFolder = new QPushButton(u"Добавить папку…"_s, this);
    RemoveSource = new QPushButton(u"Убрать"_s, this);
    OutPath = new QLineEdit(this);
    ChooseOut = new QPushButton(u"Выбрать…"_s, this);
    Stage = new QLabel(this);
    Progress = new QProgressBar(this);
    Progress->setRange(0, DictionaryBuildJob::StageCount);
    Progress->setFormat(u"этап %v из %m"_s);
    Skipped = new QPlainTextEdit(this);
    Skipped->setReadOnly(true);
    Skipped->setPlaceholderText(u"Здесь будут названы файлы, которые не удалось прочитать."_s);
    Skipped->setMaximumHeight(72);
    Build = new QPushButton(u"Создать"_s, this);
    Cancel = new QPushButton(u"Отмена"_s, this);
    layout->addWidget(new QLabel(u"Тексты: файлы (txt, fb2, epub, html, zip, дампы Википедии, "
                                 u"также .gz, .bz2, .xz) и папки"_s,
                                 this),
                      0, 0, 1, 3);
    layout->addWidget(Sources, 1, 0, 4, 2);
    layout->addWidget(AddFiles, 1, 2);
    layout->addWidget(AddFolder, 2, 2);
    layout->addWidget(RemoveSource, 3, 2);
    layout->addWidget(new QLabel(u"Файл нового словаря"_s, this), 5, 0, 1, 3);
    layout->addWidget(OutPath, 6, 0, 1, 2);
    layout->addWidget(ChooseOut, 6, 2);
    layout->addWidget(Stage, 7, 0, 1, 3);
    layout->addWidget(Progress, 8, 0, 1, 3);
    layout->addWidget(Skipped, 9, 0, 1, 3);
    layout->setColumnStretch(0, 1);
    layout->addWidget(Build, 10, 1, Qt::AlignRight);
    layout->addWidget(Cancel, 10, 2);
    Build->setDefault(true);
    connect(AddFiles, &QPushButton::clicked, this, &DictionaryBuildDialog::addFilesClick);
    connect(AddFolder, &QPushButton::clicked, this, &DictionaryBuildDialog::addFolderClick);
    connect(RemoveSource, &QPushButton::clicked, this, [this] { qDeleteAll(Sources->selectedItems()); });
    connect(ChooseOut, &QPushButton::clicked, this, &DictionaryBuildDialog::chooseOutClick);
    connect(Build, &QPushButton::clicked, this, &DictionaryBuildDialog::buildClick);
    connect(Cancel, &QPushButton::clicked, this, &DictionaryBuildDialog::reject);
    connect(m_job, &DictionaryBuildJob::progressChanged, this, &DictionaryBuildDialog::showProgress);
    connect(m_job, &DictionaryBuildJob::fileSkipped, this,
            [this](const QString &message) { Skipped->appendPlainText(message); });
    connect(m_job, &DictionaryBuildJob::finished, this, &DictionaryBuildDialog::buildFinished);
    resize(560, 420);
}

DictionaryBuildDialog::~DictionaryBuildDialog() = default;

void DictionaryBuildDialog::addSources(const QStringList &paths)
{
    for (const QString &path : paths)
        Sources->addItem(QDir::toNativeSeparators(path));
}

void DictionaryBuildDialog::reject()
{
    if (m_job->isRunning())
        m_job->cancel();
    else
        QDialog::reject();
}

void DictionaryBuildDialog::addFilesClick()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        this, u"Тексты"_s, dialogStartFolder(false),
        u"Тексты (*.txt *.fb2 *.zip *.epub *.html *.htm *.xhtml *.xml *.gz *.bz2 *.xz);;"
        u"Все файлы (*)"_s,
        nullptr, QFileDialog::DontUseNativeDialog);
    if (!files.isEmpty())
        rememberDialogFolder(files.first());
    addSources(files);
}

void DictionaryBuildDialog::addFolderClick()
{
    const QString dir = QFileDialog::getExistingDirectory(
        this, u"Папка с текстами"_s, dialogStartFolder(false), QFileDialog::DontUseNativeDialog);
    if (dir.isEmpty())
        return;
    rememberDialogFolder(QDir(dir).filePath(u"."_s));
    addSources({dir});
}

void DictionaryBuildDialog::chooseOutClick()
{
    const QString start = OutPath->text().isEmpty() ? dialogStartFolder(true) : OutPath->text();
    const QString path = QFileDialog::getSaveFileName(this, u"Файл нового словаря"_s, start,
                                                      u"Словари (*.sqlite);;Все файлы (*)"_s,
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    rememberDialogFolder(path);
    if (!path.isEmpty())
        OutPath->setText(path);
}

void DictionaryBuildDialog::buildClick()
{
    QStringList sources;
    for (int i = 0; i < Sources->count(); ++i)
        sources.append(QDir::fromNativeSeparators(Sources->item(i)->text()));
    Skipped->clear();
    if (!m_job->start(sources, QDir::fromNativeSeparators(OutPath->text().trimmed()))) {
        QMessageBox::warning(this, windowTitle(), m_job->errorText());
        return;
    }
    setBuilding(true);
    showProgress();
}

void DictionaryBuildDialog::showProgress()
{
    Stage->setText(m_job->stageCaption());
    Progress->setValue(m_job->stageNumber());
}

void DictionaryBuildDialog::buildFinished(bool succeeded)
{
    setBuilding(false);
    if (!succeeded) {
        Stage->setText(m_job->errorText());
        Progress->setValue(0);
        if (!m_job->errorText().startsWith(u"Создание словаря отменено"_s))
            QMessageBox::warning(this, windowTitle(), m_job->errorText());
        return;
    }
    Stage->setText(u"Словарь создан: %1"_s.arg(QDir::toNativeSeparators(m_job->outPath())));
    const auto answer = QMessageBox::question(
        this, windowTitle(),
        u"Словарь создан: %1.\nИспользовать его?"_s.arg(QDir::toNativeSeparators(m_job->outPath())));
    if (answer == QMessageBox::Yes) {
        m_builtPath = m_job->outPath();
        accept();
    }
}

void DictionaryBuildDialog::setBuilding(bool building)
{
    for (QWidget *input : {static_cast<QWidget *>(Sources), static_cast<QWidget *>(AddFiles),
                           static_cast<QWidget *>(AddFolder), static_cast<QWidget *>(RemoveSource),
                           static_cast<QWidget *>(OutPath), static_cast<QWidget *>(ChooseOut),
                           static_cast<QWidget *>(Build)})
        input->setEnabled(!building);
}
