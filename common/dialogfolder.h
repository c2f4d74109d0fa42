#pragma once

#include <QString>

// Where a program's file dialogs start. The folder last used is kept per user, in
// folders.ini of the suite's configuration folder under the program's file name, and
// written at once, so nothing depends on how the program ends.

/// The folder a file dialog starts in: the one last used while it still exists (for a
/// save, only while it can be written in), else the user's documents folder, else home.
QString dialogStartFolder(bool forSaving);
/// Keeps the folder of a file the user chose in a dialog.
void rememberDialogFolder(const QString &chosenFile);
/// The file that keeps the folders.
QString dialogFoldersFile();
