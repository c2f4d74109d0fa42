#pragma once

#include <QString>

#include <string>

/// Writes a small dictionary for the lemmatisation tests at path: the `forms`, `lexemes`, `grams2`
/// and `grams3` tables, rows numbered lexeme by lexeme, commoner lexemes first. Returns false with
/// the SQLite message in error.
bool writeServiceDictionary(const QString &path, QString *error);

/// The path of the suite's full dictionary in this checkout; it may not exist.
QString defaultDictionaryPath();

/// Percent-encodes bytes for a form body (blanks as %20, like every other reserved byte).
std::string formEncode(const std::string &bytes);
