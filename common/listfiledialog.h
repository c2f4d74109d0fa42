#pragma once

#include "common/textfile.h"

#include <QStringList>

#include <optional>

class QWidget;
struct FindOutcome;
class Pane;

/// The file dialogs of the suite: any file, plus the encoding list. Tests put
/// a stand-in in place of the real dialogs.
class FileChooser
{
public:
    struct Choice
    {
        QStringList paths;
        int encodingIndex = 0;
    };
    virtual ~FileChooser() = default;
    /// Empty paths when cancelled; encodingIndex presets the list. The open dialog lists
    /// AutoDetectEncoding first, the save dialog the six encodings only.
    virtual Choice chooseToOpen(QWidget *parent, int encodingIndex, bool multiple);
    virtual Choice chooseToSave(QWidget *parent, int encodingIndex);
    /// A plain dialog, without the encoding list and with no question before an
    /// existing file is replaced (project files); an empty path when cancelled.
    virtual QString chooseFileToOpen(QWidget *parent);
    virtual QString chooseFileToSave(QWidget *parent);

    static FileChooser &current();
    /// Null restores the real dialogs; the caller keeps ownership.
    static void setCurrent(FileChooser *chooser);
};

struct OpenedListFile
{
    QString path;
    TextFileRead read;
};

/// Asks for files and loads each; a file that cannot be read is reported in a box
/// and left out, a file with undecodable bytes loads with a note, a detected file that
/// looks binary loads only when the user says so. The choice (AutoDetectEncoding or an
/// encoding) is written back to encodingIndex; each file's read tells the encoding it
/// was read with, which the window's status bar shows. Nothing when cancelled.
QList<OpenedListFile> openListFiles(QWidget *parent, int *encodingIndex, bool multiple);

/// Asks for a file and an encoding and saves the pane text as its lines. Before a
/// save that would lose characters the user may pick another encoding or cancel.
/// Returns the saved path, or nothing when cancelled or failed (failure is reported).
std::optional<QString> saveListFile(QWidget *parent, const QString &paneText, int *encodingIndex);

/// "Кодировка: UTF8", with "(определена автоматически)" when detected.
QString textEncodingCaption(TextEncoding encoding, bool detected);
/// Shows the encoding of the text last opened or saved at the right of the status bar of
/// window's main window; nothing for a window that is no main window.
void showTextEncoding(QWidget *window, TextEncoding encoding, bool detected);

/// Carries out what a find or replace step asked: beep, message box, focus.
void presentFindOutcome(QWidget *parent, const FindOutcome &outcome, Pane &pane);
