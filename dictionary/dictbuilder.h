#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

/// What `lexorum-cli dict build` (and `dict count`) is asked to do.
struct DictBuildOptions
{
    QString morphologyDir;   // a dicts/ folder of the morphology package
    QStringList corpusPaths; // corpus files (readCorpusFile) or folders of them
    QStringList countsPaths; // files of `dict count`, shares of the corpus counted apart
    QString outPath;
    int minFreq = 0;         // n-grams seen fewer times are not stored; 0: automaticMinFreq
    std::size_t memoryBytes = 0;  // the counting's budget (0: defaultMemoryBudget())
    QList<QPair<QString, QString>> meta;  // extra lines for the meta table (sources)
};

/// What a build tells while it runs, and how it is stopped.
struct DictBuildHooks
{
    /// A stage begins: key is one of count, match, choose, forms, grams, index; text
    /// says it in English.
    std::function<void(const QString &key, const QString &text)> stage;
    std::function<void(std::uint64_t tokens)> tokens;     // about every million tokens
    std::function<void(const QString &message)> skipped;  // a corpus file left out
    std::function<bool()> cancelled;  // asked often; true stops the build
    /// A temporary file was created: the dictionary before it is renamed, or a sorted run of
    /// counts spilled to disk. A caller ended by a signal can remove them.
    std::function<void(const QString &path)> temporaryCreated;
};

struct DictBuildReport
{
    QString error;  // names the file and the problem; empty on success
    bool cancelled = false;
    std::int64_t formRows = 0;
    std::int64_t lexemes = 0;
    std::int64_t corpusTokens = 0;
    std::int64_t knownTokens = 0;  // tokens that map to a lexeme
    std::int64_t grams2Rows = 0;
    std::int64_t grams3Rows = 0;
    int minFreq = 1;               // the one applied
    int skippedFiles = 0;
    std::int64_t spilledRuns = 0;  // sorted runs the counting wrote to disk
    bool ok() const { return error.isEmpty(); }
};

/// Builds a dictionary file from a morphology and a corpus. The file is written beside the
/// target under a temporary name and renamed at the end, so a failure or a cancel leaves
/// no file (and an older file at outPath stays as it was).
DictBuildReport buildDictionary(const DictBuildOptions &options, const DictBuildHooks &hooks = {});

/// Counts a share of a corpus (corpusPaths, and countsPaths merged in) into a counts file
/// at outPath for a later build's countsPaths; written atomically. The morphology is
/// not read.
DictBuildReport countCorpus(const DictBuildOptions &options, const DictBuildHooks &hooks = {});

/// The --min-freq a build applies when none is given: 1 below 10 million corpus tokens,
/// 2 from there on: most pairs and triples of a large corpus are met once, mostly as
/// chance neighbours, and they cost most of the file and of the writing.
int automaticMinFreq(std::int64_t corpusTokens);
/// The counting's memory budget when none is given: a quarter of the physical memory,
/// between 512 MB and 4 GB.
std::size_t defaultMemoryBudget();

/// The meta table of a dictionary file as "key: value" lines; false with the message when
/// the file cannot be read.
bool readDictionaryInfo(const QString &path, QStringList *lines, QString *error);
