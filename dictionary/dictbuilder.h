#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

/// What `lexorum-cli dict build` is asked to do.
struct DictBuildOptions
{
    QString morphologyDir;   // a dicts/ folder of the morphology package
    QStringList corpusPaths; // UTF-8 text files or folders of them
    QString outPath;
    int minFreq = 1;         // n-grams seen fewer times are not stored
    QList<QPair<QString, QString>> meta;  // extra lines for the meta table (sources)
};

struct DictBuildReport
{
    QString error;  // names the file and the problem; empty on success
    std::int64_t formRows = 0;
    std::int64_t lexemes = 0;
    std::int64_t corpusTokens = 0;
    std::int64_t knownTokens = 0;  // tokens that map to a lexeme
    std::int64_t grams2Rows = 0;
    std::int64_t grams3Rows = 0;
    bool ok() const { return error.isEmpty(); }
};

/// Builds a dictionary file from a morphology and a corpus. The file is written beside the
/// target under a temporary name and renamed at the end, so a failure leaves no file (and
/// an older file at outPath stays as it was). stage() hears what is being done.
DictBuildReport buildDictionary(const DictBuildOptions &options,
                                const std::function<void(const QString &)> &stage = {});

/// The meta table of a dictionary file as "key: value" lines; false with the message when
/// the file cannot be read.
bool readDictionaryInfo(const QString &path, QStringList *lines, QString *error);
