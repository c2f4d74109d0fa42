#pragma once

#include "compare/autoactions.h"

#include <QString>
#include <QStringList>
#include <QUrl>

/// What Cambrel keeps between runs: the number of lists, the automatic actions and the
/// address of the initial-form service.
struct ComparisonSettings
{
    int listCount = 2;            // [VIEW] LISTS
    AutoActionOptions options;    // [AUTO_ACTIONS]
    QUrl serviceUrl = defaultServiceUrl();  // [SERVICE] URL

    static QUrl defaultServiceUrl();
};

/// Reads the settings file. Without the file every option is on with the case "нижний" and
/// two lists. With it: LISTS from 3 to 10 is taken and any other value gives 2; an option is
/// off only for a number that is 0; the case keys are applied in the order UPPERCASE,
/// LOWERCASE, CAPITALIZE, each on key choosing its case, so the last one on wins. A file
/// without the AUTO_ACTIONS section leaves the options as without a file. A shared file
/// beside the program that it cannot write is read first (settingsReadOrder).
ComparisonSettings readComparisonSettings(const QString &path);
/// The same for files laid over one another, lowest first: a later file wins key by key.
ComparisonSettings readComparisonSettings(const QStringList &paths);
/// Writes every key; the file is created when missing. Returns the failure, empty on success.
QString writeComparisonSettings(const QString &path, const ComparisonSettings &settings);

/// The settings file beside the executable, or in the user's configuration folder.
QString comparisonSettingsPath();
