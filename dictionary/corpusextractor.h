#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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
/// fortunes, plain text), one paragraph per line, each paragraph once, paragraphs with
/// more Latin than Cyrillic letters left out. The file is written atomically; on failure
/// nothing is written.
CorpusExtraction extractCorpus(const QString &source, const QString &outDir);

// The readers behind it, each giving the paragraphs of one file's content.

/// Whether a file of an unpacked package holds Russian text worth reading (its path
/// relative to the package root).
bool isRussianTextFile(const QString &relativePath);
/// HTML through libxml2's HTML parser: block elements end paragraphs; script and style
/// are skipped.
QStringList htmlParagraphs(const QByteArray &bytes);
/// Mallard pages, LibreOffice help and other XML: block elements end paragraphs; page
/// information, keywords and comments are skipped. False when the XML is not well formed.
bool xmlParagraphs(const QByteArray &bytes, QStringList *paragraphs);
/// A manual page's roff source: requests dropped (their text arguments kept), escapes
/// resolved, filled lines joined.
QStringList roffParagraphs(const QByteArray &bytes);
/// The translations (msgstr) of a gettext .mo catalogue; false when the file's tables
/// do not fit in it.
bool moParagraphs(const QByteArray &bytes, QStringList *paragraphs);
/// Plain text: blank lines, and fortune separators («%» lines), end paragraphs.
QStringList plainParagraphs(const QByteArray &bytes);
