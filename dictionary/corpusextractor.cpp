#include "dictionary/corpusextractor.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zlib.h>

#include <cstring>

namespace {

// Collects text into paragraphs, folding white space; a break ends the current one.
class ParagraphSink
{
public:
    void text(QStringView piece)
    {
        for (const QChar c : piece) {
            if (c.isSpace()) {
                m_pendingSpace = !m_current.isEmpty();
            } else {
                if (m_pendingSpace)
                    m_current += u' ';
                m_pendingSpace = false;
                m_current += c;
            }
        }
    }
    void space() { m_pendingSpace = !m_current.isEmpty(); }
    void end()
    {
        if (!m_current.isEmpty())
            m_paragraphs.append(m_current);
        m_current.clear();
        m_pendingSpace = false;
    }
    QStringList take()
    {
        end();
        return std::move(m_paragraphs);
    }

private:
    QStringList m_paragraphs;
    QString m_current;
    bool m_pendingSpace = false;
};

bool nameIs(const xmlNode *node, std::initializer_list<const char *> names)
{
    const char *name = reinterpret_cast<const char *>(node->name);
    for (const char *n : names)
        if (qstricmp(name, n) == 0)
            return true;
    return false;
}

// Elements that stand as paragraphs of their own, in HTML, Mallard, DocBook and help XML.
bool isBlock(const xmlNode *node)
{
    if (nameIs(node, {"p", "div", "li", "td", "th", "tr", "dt", "dd", "pre", "br", "hr",
                      "blockquote", "h1", "h2", "h3", "h4", "h5", "h6", "title", "table",
                      "ul", "ol", "dl", "section", "page", "desc", "item", "note", "screen",
                      "para", "paragraph", "entry", "row", "listitem", "caption", "body",
                      "form", "option", "label", "button", "figcaption", "header", "footer",
                      "prop", "value", "node"}))
        return true;
    return false;
}

bool isSkipped(const xmlNode *node)
{
    return nameIs(node, {"script", "style", "head", "info", "bookmark_value", "comment",
                         "noscript", "svg", "math"});
}

void collectText(const xmlNode *node, ParagraphSink *sink)
{
    for (const xmlNode *n = node; n; n = n->next) {
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
            sink->text(QString::fromUtf8(reinterpret_cast<const char *>(n->content)));
            continue;
        }
        if (n->type != XML_ELEMENT_NODE || isSkipped(n))
            continue;
        // <title> inside <head> is skipped with it; a document title elsewhere is text.
        const bool block = isBlock(n);
        if (block)
            sink->end();
        else
            sink->space();
        collectText(n->children, sink);
        if (block)
            sink->end();
        else
            sink->space();
    }
}

// Inline markup of LibreOffice and gettext strings («~Файл», «_Открыть», «&Правка»).
QString withoutAccelerators(QString text)
{
    static const QRegularExpression accelerator(QStringLiteral("[~_&](?=\\w)"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    return text.replace(accelerator, QString());
}

bool gunzip(const QByteArray &bytes, QByteArray *out)
{
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    out->clear();
    char buffer[1 << 16];
    int rc = Z_OK;
    while (rc == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        rc = inflate(&stream, Z_NO_FLUSH);
        out->append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        if (rc == Z_BUF_ERROR && stream.avail_in == 0)
            break;  // truncated
    }
    inflateEnd(&stream);
    return rc == Z_STREAM_END;
}

// Keeps paragraphs in Russian: more Cyrillic letters than Latin ones.
bool isRussianParagraph(const QString &paragraph)
{
    int cyrillic = 0;
    int latin = 0;
    for (const QChar c : paragraph) {
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF)
            ++cyrillic;
        else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
            ++latin;
    }
    return cyrillic > latin;
}

QString roffText(QString line)
{
    static const QList<QPair<QString, QString>> Named = {
        {QStringLiteral("\\(em"), QStringLiteral("—")}, {QStringLiteral("\\(en"), QStringLiteral("–")},
        {QStringLiteral("\\(lq"), QStringLiteral("“")}, {QStringLiteral("\\(rq"), QStringLiteral("”")},
        {QStringLiteral("\\(aq"), QStringLiteral("'")}, {QStringLiteral("\\(dq"), QStringLiteral("\"")},
        {QStringLiteral("\\(bu"), QStringLiteral("•")}, {QStringLiteral("\\(co"), QStringLiteral("©")},
        {QStringLiteral("\\-"), QStringLiteral("-")},   {QStringLiteral("\\e"), QStringLiteral("\\")},
        {QStringLiteral("\\ "), QStringLiteral(" ")},   {QStringLiteral("\\~"), QStringLiteral(" ")},
    };
    const qsizetype comment = line.indexOf(QStringLiteral("\\\""));
    if (comment >= 0)
        line.truncate(comment);
    for (const auto &[from, to] : Named)
        line.replace(from, to);
    // Font changes, sizes, strings, other special characters and zero-width escapes.
    static const QRegularExpression escapes(QStringLiteral(
        "\\\\(f(\\(..|\\[[^\\]]*\\]|.)|s[-+]?\\d+|\\*(\\(..|\\[[^\\]]*\\]|.)|\\(..|"
        "\\[[^\\]]*\\]|[&c%|^/,)!:]|[a-zA-Z])"));
    return line.replace(escapes, QString());
}

// The text arguments of a request, quotes removed.
QString requestArguments(const QString &line)
{
    const qsizetype space = line.indexOf(u' ');
    if (space < 0)
        return {};
    QString args = line.mid(space + 1);
    args.remove(u'"');
    return args;
}

} // namespace

QStringList htmlParagraphs(const QByteArray &bytes)
{
    htmlDocPtr doc = htmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
                                    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR
                                        | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    if (!doc)
        return {};
    ParagraphSink sink;
    collectText(xmlDocGetRootElement(doc), &sink);
    xmlFreeDoc(doc);
    return sink.take();
}

bool xmlParagraphs(const QByteArray &bytes, QStringList *paragraphs)
{
    // No entity expansion and no network: the files are read as data.
    xmlDocPtr doc = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc)
        return false;
    ParagraphSink sink;
    collectText(xmlDocGetRootElement(doc), &sink);
    xmlFreeDoc(doc);
    *paragraphs = sink.take();
    return true;
}

QStringList roffParagraphs(const QByteArray &bytes)
{
    ParagraphSink sink;
    const QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    bool noFill = false;
    for (QString line : lines) {
        if (line.startsWith(u'.') || line.startsWith(u'\'')) {
            const QString request = line.mid(1).section(u' ', 0, 0).trimmed();
            if (request == u"nf" || request == u"EX") {
                sink.end();
                noFill = true;
            } else if (request == u"fi" || request == u"EE") {
                sink.end();
                noFill = false;
            } else if (request == u"SH" || request == u"SS") {
                sink.end();
                sink.text(roffText(requestArguments(line)));
                sink.end();
            } else if (request == u"B" || request == u"I" || request == u"BR"
                       || request == u"IR" || request == u"RB" || request == u"RI"
                       || request == u"BI" || request == u"IB" || request == u"SM") {
                sink.text(roffText(requestArguments(line)));
                sink.space();
            } else if (request == u"IP" || request == u"TP" || request == u"PP"
                       || request == u"LP" || request == u"P" || request == u"sp"
                       || request == u"br" || request == u"TH" || request == u"HP") {
                sink.end();
            }
            continue;
        }
        line = roffText(line);
        if (line.trimmed().isEmpty()) {
            sink.end();
            continue;
        }
        sink.text(line);
        if (noFill)
            sink.end();
        else
            sink.space();
    }
    return sink.take();
}

bool moParagraphs(const QByteArray &bytes, QStringList *paragraphs)
{
    if (bytes.size() < 28)
        return false;
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const quint32 magic = qFromLittleEndian<quint32>(data);
    bool bigEndian;
    if (magic == 0x950412de)
        bigEndian = false;
    else if (magic == 0xde120495)
        bigEndian = true;
    else
        return false;
    const auto word = [&](qint64 at) {
        return bigEndian ? qFromBigEndian<quint32>(data + at) : qFromLittleEndian<quint32>(data + at);
    };
    const qint64 count = word(8);
    const qint64 originals = word(12);
    const qint64 translations = word(16);
    if (originals + 8 * count > bytes.size() || translations + 8 * count > bytes.size())
        return false;
    paragraphs->clear();
    for (qint64 i = 0; i < count; ++i) {
        const qint64 length = word(translations + 8 * i);
        const qint64 offset = word(translations + 8 * i + 4);
        if (offset + length > bytes.size())
            return false;
        // The entry with an empty original is the catalogue's header.
        if (word(originals + 8 * i) == 0)
            continue;
        // Plural forms are separated by NUL.
        const QByteArray text(bytes.constData() + offset, qsizetype(length));
        for (const QByteArray &form : text.split('\0')) {
            QString paragraph = withoutAccelerators(QString::fromUtf8(form)).simplified();
            if (!paragraph.isEmpty())
                paragraphs->append(paragraph);
        }
    }
    return true;
}

QStringList plainParagraphs(const QByteArray &bytes)
{
    ParagraphSink sink;
    for (const QString &line : QString::fromUtf8(bytes).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed == u"%") {
            sink.end();
            continue;
        }
        QString text = line;
        for (QChar &c : text)
            if (c.unicode() < 0x20)
                c = u' ';
        sink.text(text);
        sink.space();
    }
    return sink.take();
}

bool isRussianTextFile(const QString &relativePath)
{
    const QStringList parts = relativePath.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    const QString name = parts.last();
    static const QRegularExpression skippedName(QStringLiteral(
        "^(copyright|changelog.*|README\\.Debian.*|NEWS.*|presubj)$|\\.(dat|png|gif|jpe?g|svg|"
        "css|js|pdf|epub|ods|odt|bau|dic|zip|ico|ttf|woff2?)(\\.gz)?$"));
    if (skippedName.match(name).hasMatch())
        return false;
    if (parts.contains(QStringLiteral("doc-base")) || parts.contains(QStringLiteral("bug")) || parts.contains(QStringLiteral("lintian")))
        return false;
    static const QRegularExpression russianName(
        QStringLiteral("(^|[._-])ru([._-]|$)|^ru_RU"));
    for (const QString &part : parts)
        if (part == u"ru" || part.startsWith(u"ru_") || russianName.match(part).hasMatch())
            return true;
    return false;
}

namespace {

enum class FileKind { Html, Xml, Roff, Mo, Plain };

FileKind kindOf(const QString &relativePath)
{
    QString name = relativePath.section(u'/', -1).toLower();
    if (name.endsWith(u".gz"))
        name.chop(3);
    static const QRegularExpression manPage(QStringLiteral("\\.\\d\\w*$"));
    if (name.endsWith(u".html") || name.endsWith(u".htm") || name.endsWith(u".xhtml"))
        return FileKind::Html;
    if (name.endsWith(u".page") || name.endsWith(u".xhp") || name.endsWith(u".xml")
        || name.endsWith(u".xcd") || name.endsWith(u".docbook"))
        return FileKind::Xml;
    if (name.endsWith(u".mo"))
        return FileKind::Mo;
    if (relativePath.contains(u"/man/") && manPage.match(name).hasMatch())
        return FileKind::Roff;
    return FileKind::Plain;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool readParagraphs(const QString &path, const QString &relativePath, QStringList *paragraphs,
                    QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(nativePath(path), file.errorString());
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: %2").arg(nativePath(path), file.errorString());
        return false;
    }
    if (path.endsWith(u".gz")) {
        QByteArray unpacked;
        if (!gunzip(bytes, &unpacked)) {
            *error = QStringLiteral("%1: not a complete gzip stream").arg(nativePath(path));
            return false;
        }
        bytes = std::move(unpacked);
    }
    switch (kindOf(relativePath)) {
    case FileKind::Html:
        *paragraphs = htmlParagraphs(bytes);
        return true;
    case FileKind::Xml:
        if (!xmlParagraphs(bytes, paragraphs)) {
            *error = QStringLiteral("%1: not well-formed XML").arg(nativePath(path));
            return false;
        }
        return true;
    case FileKind::Roff:
        *paragraphs = roffParagraphs(bytes);
        return true;
    case FileKind::Mo:
        if (!moParagraphs(bytes, paragraphs)) {
            *error = QStringLiteral("%1: not a gettext catalogue, or its tables do not fit "
                                    "in the file")
                         .arg(nativePath(path));
            return false;
        }
        return true;
    case FileKind::Plain:
        *paragraphs = plainParagraphs(bytes);
        return true;
    }
    return true;
}

} // namespace

CorpusExtraction extractCorpus(const QString &source, const QString &outDir)
{
    CorpusExtraction result;
    const QFileInfo info(source);
    if (!info.exists()) {
        result.error = QStringLiteral("%1: no such file or folder").arg(nativePath(source));
        return result;
    }
    QTemporaryDir unpacked;
    QString root = source;
    QString name = info.fileName();
    if (!info.isDir()) {
        // A package is unpacked with dpkg-deb (never installed); its name is before the '_'.
        name = info.fileName().section(u'_', 0, 0);
        if (name.endsWith(u".deb"))
            name.chop(4);
        if (!unpacked.isValid()) {
            result.error = QStringLiteral("cannot make a temporary folder: %1")
                               .arg(unpacked.errorString());
            return result;
        }
        QProcess dpkg;
        dpkg.start(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), source, unpacked.path()});
        if (!dpkg.waitForStarted()) {
            result.error = QStringLiteral("%1: cannot run dpkg-deb: %2")
                               .arg(nativePath(source), dpkg.errorString());
            return result;
        }
        dpkg.waitForFinished(-1);
        if (dpkg.exitStatus() != QProcess::NormalExit || dpkg.exitCode() != 0) {
            const QString why = QString::fromLocal8Bit(dpkg.readAllStandardError()).trimmed();
            result.error = QStringLiteral("%1: dpkg-deb cannot unpack it: %2")
                               .arg(nativePath(source),
                                    why.isEmpty() ? QStringLiteral("exit status %1")
                                                        .arg(dpkg.exitCode())
                                                  : why.section(u'\n', 0, 0));
            return result;
        }
        root = unpacked.path();
    }
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    const QDir rootDir(root);
    QSet<QString> seen;
    QString text;
    for (const QString &file : files) {
        const QString relative = rootDir.relativeFilePath(file);
        if (!isRussianTextFile(relative))
            continue;
        QStringList paragraphs;
        if (!readParagraphs(file, relative, &paragraphs, &result.error)) {
            if (!info.isDir())  // name the file inside the package, not the temporary copy
                result.error = nativePath(source) + u':' + relative
                               + result.error.mid(file.size());
            return result;
        }
        ++result.filesRead;
        for (QString &paragraph : paragraphs) {
            paragraph = paragraph.simplified();
            if (!isRussianParagraph(paragraph))
                continue;
            if (seen.contains(paragraph)) {
                ++result.repeatsDropped;
                continue;
            }
            seen.insert(paragraph);
            text += paragraph;
            text += u'\n';
            ++result.paragraphs;
        }
    }
    if (!QDir().mkpath(outDir)) {
        result.error = QStringLiteral("%1: cannot create the folder").arg(nativePath(outDir));
        return result;
    }
    result.outFile = QDir(outDir).filePath(name + QStringLiteral(".txt"));
    QSaveFile out(result.outFile);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0 || !out.commit())
        result.error = QStringLiteral("%1: %2").arg(nativePath(result.outFile), out.errorString());
    return result;
}
