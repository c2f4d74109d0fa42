#pragma once

#include <QString>

#include <cstdint>

struct CorpusExtraction
{
    QString error;    // names the file and the problem; empty on success
    QString outFile;  // the text file written
    int filesRead = 0;
    std::int64_t paragraphs = 0;
    std::int64_t repeatsDropped = 0;
    bool ok() const { return error.isEmpty(); }
};

/// Turns a Debian package (.deb, unpacked with dpkg-deb into a temporary folder) or an
/// unpacked tree into outDir/NAME.txt, NAME being the package or folder name: the text of
/// its Russian files (HTML, Mallard and help XML, manual pages, gettext catalogues,
/// fortunes, plain text), one paragraph per line, each paragraph once. The file is written
/// atomically; on failure nothing is written.
CorpusExtraction extractCorpus(const QString &source, const QString &outDir);
