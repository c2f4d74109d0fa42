#pragma once

#include "builder/wordsearch.h"

#include <QString>

// Orvella's files beside the executable: the settings file with the dictionary path
// and the standard black list.

/// "Orvella.ini" where the program keeps it (beside the executable when writable).
QString settingsPath();
/// "black_list.dat" in the suite's data folder (beside the executable when portable).
QString blackListPath();

/// Where lexorum-build-dictionary puts the default dictionary for this user:
/// lexorum/lexorum-ru.sqlite in the user's data folder (~/.local/share).
QString userDictionaryPath();
/// The dictionary used while the settings name none: data/lexorum-ru.sqlite in
/// programDirectory or a folder above it (a portable suite, the source tree), else
/// lexorum/lexorum-ru.sqlite in the user's data folder or the machine's (/usr/share);
/// empty when there is none.
QString defaultDictionaryPath(const QString &programDirectory);

/// [GLOBAL] DataBase of the settings file at iniPath, or of a shared file beside the
/// program that it cannot write (settingsReadOrder); fallback when the key is in neither.
QString readDataBase(const QString &iniPath, const QString &fallback);
/// Writes [GLOBAL] DataBase, keeping the file's other content. Returns the error,
/// empty on success.
QString writeDataBase(const QString &iniPath, const QString &dataBase);

/// [GLOBAL] Rank of the settings file: "links" or "strength"; links when the file, the
/// key or a known value is absent.
RankBy readRankBy(const QString &iniPath);
/// Writes [GLOBAL] Rank, keeping the file's other content. Returns the error, empty on
/// success.
QString writeRankBy(const QString &iniPath, RankBy rankBy);
