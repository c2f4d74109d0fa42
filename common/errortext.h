#pragma once

#include <QFileDevice>
#include <QString>

// The suite's Russian sentences for failures of files and databases: each names the file
// or folder, says what went wrong and what the user can do, and ends with the system's or
// the database's own text in parentheses.

/// Whether the failed operation read the file or wrote it: a missing path or a refusal
/// means a different thing for each.
enum class FileAction { Read, Write };

/// The sentence for an errno value from reading or writing path.
QString errnoMessage(int error, const QString &path, FileAction action);
/// The sentence for a failed QFile, QSaveFile or QTemporaryFile; the cause is taken from
/// the device's error and error string.
QString fileErrorMessage(const QFileDevice &file, FileAction action);
/// The same from the parts: systemText is the device's errorString().
QString fileErrorMessage(QFileDevice::FileError error, const QString &systemText,
                         const QString &path, FileAction action);
/// The sentence for an SQLite result code (primary or extended) on the database at path;
/// sqliteText is sqlite3_errmsg(), systemErrno sqlite3_system_errno() (0 when unknown).
QString databaseErrorMessage(int resultCode, const QString &path, const QString &sqliteText,
                             int systemErrno = 0);
