#pragma once

#include "common/textfile.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// Hears one paragraph of UTF-8 text; returns false to stop the reading.
using CorpusLineSink = std::function<bool(std::string_view)>;

/// Reads one corpus file and hands over its text, one paragraph a call:
/// - plain text in any of the suite's encodings (corpusTextEncoding), a line a paragraph;
/// - HTML and XHTML (.html, .htm, .xhtml) and other XML (.xml): block elements end
///   paragraphs;
/// - FB2 e-books (.fb2), their binaries and description left out;
/// - zip archives (.zip, .fb2.zip, .epub): every FB2, HTML, XHTML and text member;
/// - Wikipedia XML dumps (an .xml file whose root is <mediawiki>): the articles' text
///   without wiki markup (wikiParagraphs);
/// each of them also compressed with gzip, bzip2 or xz (.gz, .bz2, .xz). Plain text and
/// dumps are streamed, so their size does not matter; the others are read whole.
/// False with a message naming the file when it cannot be read, is broken or is not a
/// text the reader knows (images, PDF); paragraphs handed over before a break in a
/// stream stay handed over. A sink that returns false ends the reading with true.
bool readCorpusFile(const QString &path, const CorpusLineSink &line, QString *error);

/// The paragraphs of one page of wiki markup: comments, templates, tables, references,
/// files, categories and interlanguage links are removed; a link gives its text (its
/// target when it has none); headings, list items and plain lines are paragraphs of
/// their own; bold and italic quotes and HTML tags vanish.
std::vector<std::string> wikiParagraphs(std::string_view markup);

/// The encoding of a text from its first bytes, as the windows tell it
/// (detectTextEncoding), with UTF-7's byte-order mark too; a character cut in two by the
/// end of the sample does not make UTF-8 Windows-1251, and plain ASCII is UTF-8.
TextEncoding corpusTextEncoding(QByteArrayView head);
