#pragma once

#include <QString>

#include <string>

/// Writes a small dictionary for the lemmatisation tests at path: rows numbered lexeme by
/// lexeme, commoner lexemes first. Returns the SQLite error, empty on success.
QString writeServiceDictionary(const QString &path);

/// Percent-encodes bytes for a form body (blanks as %20, like every other reserved byte).
std::string formEncode(const std::string &bytes);
