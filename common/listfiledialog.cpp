#include "common/listfiledialog.h"

#include "common/dialogfolder.h"
#include "common/findreplace.h"
#include "common/pane.h"
#include "common/textlines.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

namespace {

const QString EncodingLabelName = QStringLiteral("textEncodingLabel");
FileChooser RealChooser;
FileChooser *Current = &RealChooser;

// A Qt file dialog with the encoding list added under the file type row.
FileChooser::Choice runDialog(QWidget *parent, int encodingIndex, QFileDialog::AcceptMode mode,
                              bool multiple)
{
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setWindowTitle(mode == QFileDialog::AcceptOpen ? QStringLiteral("Открыть")
                                                          : QStringLiteral("Сохранить как"));
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                       : multiple                      ? QFileDialog::ExistingFiles
                                                       : QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Все файлы (*)"));
    dialog.setDirectory(dialogStartFolder(mode == QFileDialog::AcceptSave));
    // The open dialog lists detection first, so its items stand one after the encodings.
    const bool opening = mode == QFileDialog::AcceptOpen;
    const int first = opening ? AutoDetectEncoding : 0;
    auto *combo = new QComboBox(&dialog);
    if (opening)
        combo->addItem(autoDetectName());
    combo->addItems(textEncodingNames());
    combo->setCurrentIndex(std::clamp(encodingIndex, first, TextEncodingCount - 1) - first);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(QStringLiteral("Кодировка:"), &dialog), row, 0);
        grid->addWidget(combo, row, 1);
    }
    FileChooser::Choice choice;
    choice.encodingIndex = encodingIndex;
    if (dialog.exec() == QDialog::Accepted) {
        choice.paths = dialog.selectedFiles();
        choice.encodingIndex = combo->currentIndex() + first;
        if (!choice.paths.isEmpty())
            rememberDialogFolder(choice.paths.first());
    }
    return choice;
}

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

bool openAnyway(QWidget *parent, const QString &path)
{
    return QMessageBox::question(
               parent, QApplication::applicationDisplayName(),
               QStringLiteral("Файл «%1», вероятно, не текстовый: в нём есть нулевые байты или "
                              "много управляющих знаков. Всё равно открыть его как текст?")
                   .arg(fileName(path)),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace

FileChooser::Choice FileChooser::chooseToOpen(QWidget *parent, int encodingIndex, bool multiple)
{
    return runDialog(parent, encodingIndex, QFileDialog::AcceptOpen, multiple);
}

FileChooser::Choice FileChooser::chooseToSave(QWidget *parent, int encodingIndex)
{
    return runDialog(parent, encodingIndex, QFileDialog::AcceptSave, false);
}

QString FileChooser::chooseFileToOpen(QWidget *parent)
{
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("Открыть"),
                                                      dialogStartFolder(false), QString(),
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    rememberDialogFolder(path);
    return path;
}

QString FileChooser::chooseFileToSave(QWidget *parent)
{
    const QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Сохранить как"), dialogStartFolder(true), QString(), nullptr,
        QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    rememberDialogFolder(path);
    return path;
}

FileChooser &FileChooser::current()
{
    return *Current;
}

void FileChooser::setCurrent(FileChooser *chooser)
{
    Current = chooser ? chooser : &RealChooser;
}

QList<OpenedListFile> openListFiles(QWidget *parent, int *encodingIndex, bool multiple)
{
    const FileChooser::Choice choice =
        FileChooser::current().chooseToOpen(parent, *encodingIndex, multiple);
    QList<OpenedListFile> opened;
    if (choice.paths.isEmpty())
        return opened;
    *encodingIndex = choice.encodingIndex;
    for (const QString &path : choice.paths) {
        OpenedListFile file{path, loadTextFileAs(path, choice.encodingIndex)};
        if (!file.read.ok()) {
            QMessageBox::critical(parent, QApplication::applicationDisplayName(),
                                  file.read.error);
            continue;
        }
        if (file.read.binary && !openAnyway(parent, path))
            continue;
        if (file.read.undecodable > 0)
            QMessageBox::warning(
                parent, QApplication::applicationDisplayName(),
                QStringLiteral("Файл «%1» не вполне соответствует кодировке %2: "
                               "недопустимых последовательностей байтов — %3. "
                               "Они показаны знаком замены; проверьте выбор кодировки.")
                    .arg(fileName(path), textEncodingNames().at(int(file.read.encoding)))
                    .arg(file.read.undecodable));
        showTextEncoding(parent, file.read.encoding, file.read.detected);
        opened.append(file);
    }
    return opened;
}

std::optional<QString> saveListFile(QWidget *parent, const QString &paneText, int *encodingIndex)
{
    const QStringList lines = splitLines(paneText);
    int index = *encodingIndex;
    for (;;) {
        const FileChooser::Choice choice = FileChooser::current().chooseToSave(parent, index);
        if (choice.paths.isEmpty())
            return std::nullopt;
        index = choice.encodingIndex;
        const auto encoding = TextEncoding(index);
        const int lost = unencodableCount(joinLines(lines), encoding);
        if (lost > 0) {
            QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(),
                            QStringLiteral("Знаков, которых нет в кодировке %1: %2. При "
                                           "сохранении они будут заменены знаком «?».")
                                .arg(textEncodingNames().at(index))
                                .arg(lost),
                            QMessageBox::NoButton, parent);
            QPushButton *other =
                box.addButton(QStringLiteral("Другая кодировка"), QMessageBox::AcceptRole);
            QPushButton *anyway =
                box.addButton(QStringLiteral("Сохранить с заменой"), QMessageBox::DestructiveRole);
            box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
            box.setDefaultButton(other);
            box.exec();
            if (box.clickedButton() == other)
                continue;
            if (box.clickedButton() != anyway)
                return std::nullopt;
        }
        *encodingIndex = index;
        const QString path = choice.paths.first();
        const TextFileWrite written = SaveTextFile(path, encoding, lines);
        if (!written.ok()) {
            QMessageBox::critical(parent, QApplication::applicationDisplayName(), written.error);
            return std::nullopt;
        }
        showTextEncoding(parent, encoding, false);
        return path;
    }
}

QString textEncodingCaption(TextEncoding encoding, bool detected)
{
    const QString name = textEncodingNames().at(int(encoding));
    return detected ? QStringLiteral("Кодировка: %1 (определена автоматически)").arg(name)
                    : QStringLiteral("Кодировка: %1").arg(name);
}

void showTextEncoding(QWidget *window, TextEncoding encoding, bool detected)
{
    auto *main = window ? qobject_cast<QMainWindow *>(window->window()) : nullptr;
    if (!main)
        return;
    auto *label = main->findChild<QLabel *>(EncodingLabelName);
    if (!label) {
        label = new QLabel(main);
        label->setObjectName(EncodingLabelName);
        main->statusBar()->addPermanentWidget(label);
    }
    label->setText(textEncodingCaption(encoding, detected));
}

void presentFindOutcome(QWidget *parent, const FindOutcome &outcome, Pane &pane)
{
    if (outcome.beep)
        QApplication::beep();
    if (!outcome.message.isEmpty())
        QMessageBox::information(parent, QApplication::applicationDisplayName(),
                                 outcome.message);
    if (outcome.focusPane)
        pane.focus();
}
