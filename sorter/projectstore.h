#pragma once

#include <QString>

class SortingSession;

// A project file keeps a whole sorting state in an SQLite database: the table
// Data with twelve rows, id 0 the source, 1..10 the lists with their button
// names, -1 the visible list count.

/// The statement that creates the table; the file's schema is exactly this text.
QString projectTableStatement();

struct ProjectResult
{
    QString error;  // the suite's message and a sentence naming the cause; empty on success
    bool ok() const { return error.isEmpty(); }
};

/// Writes all twelve rows to a new file beside path and puts it in place of path
/// only when the transaction has committed, so a failed save leaves an old file
/// whole. On success the session shows path in its caption; nothing else changes.
ProjectResult SaveProject(SortingSession &session, const QString &path);

/// Reads every row of the file at path and only then applies them; a missing
/// row leaves its part of the session as it is. Never creates a file. Any
/// failure leaves the session untouched. On success the history starts anew
/// from the loaded state.
ProjectResult OpenProject(SortingSession &session, const QString &path);

/// True when the file at path starts like an SQLite database.
bool isProjectFile(const QString &path);
/// The question when "Открыть" is given a project file instead of a text.
QString projectOpenedAsTextQuestion(const QString &path);
