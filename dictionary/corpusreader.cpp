#include "dictionary/corpusreader.h"

#include "dictionary/corpusextractor.h"
#include "dictionary/cp1251.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <bzlib.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <lzma.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A stream of bytes: a file, or a decompressor over another stream.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    /// Up to size bytes; 0 at the end; -1 on an error (error() says which).
    virtual qint64 read(char *data, qint64 size) = 0;
    QString error() const { return m_error; }

protected:
    qint64 fail(const QString &message)
    {
        if (m_error.isEmpty())
            m_error = message;
        return -1;
    }
    QString m_error;
};

class FileSource final : public ByteSource
{
public:
    explicit FileSource(const QString &path) : m_file(path) {}
    bool open()
    {
        if (m_file.open(QIODevice::ReadOnly))
            return true;
        fail(m_file.errorString());
        return false;
    }
    qint64 read(char *data, qint64 size) override
    {
        const qint64 got = m_file.read(data, size);
        return got < 0 ? fail(m_file.errorString()) : got;
    }

private:
    QFile m_file;
};

// The compressed formats share the loop: fill the input, run the decoder, and after the
// end of one stream start the next (gzip members, bzip2 and xz streams may be
// concatenated, as parallel compressors and multistream dumps write them).
class Decompressor : public ByteSource
{
public:
    explicit Decompressor(std::unique_ptr<ByteSource> input) : m_input(std::move(input)) {}
    qint64 read(char *data, qint64 size) override
    {
        qint64 produced = 0;
        while (produced == 0) {
            if (m_inputLeft == 0 && !m_inputEnded) {
                const qint64 got = m_input->read(m_buffer.data(), qint64(m_buffer.size()));
                if (got < 0)
                    return fail(m_input->error());
                m_inputEnded = got == 0;
                m_inputAt = m_buffer.data();
                m_inputLeft = std::size_t(got);
            }
            if (m_inputLeft == 0 && m_inputEnded && !m_inStream)
                return 0;
            if (!m_inStream) {
                if (!begin())
                    return fail(QStringLiteral("not a valid %1 stream").arg(QLatin1String(formatName())));
                m_inStream = true;
            }
            std::size_t out = std::size_t(size);
            const int rc = step(data, &out);
            produced = qint64(std::size_t(size) - out);
            if (rc < 0)
                return fail(QStringLiteral("not a valid %1 stream").arg(QLatin1String(formatName())));
            if (rc == 0 && produced == 0 && m_inputLeft == 0 && m_inputEnded)
                return fail(QStringLiteral("the compressed stream is cut short"));
            if (rc > 0) {  // the end of one stream
                finish();
                m_inStream = false;
            }
        }
        return produced;
    }

protected:
    virtual const char *formatName() const = 0;
    virtual bool begin() = 0;
    virtual void finish() = 0;
    /// Decodes from the input into data; *outLeft is the room left. 1 at a stream's
    /// end, 0 to go on, -1 on bad data.
    virtual int step(char *data, std::size_t *outLeft) = 0;

    std::unique_ptr<ByteSource> m_input;
    std::vector<char> m_buffer = std::vector<char>(1 << 20);
    char *m_inputAt = nullptr;
    std::size_t m_inputLeft = 0;
    bool m_inputEnded = false;
    bool m_inStream = false;
};

class GzipSource final : public Decompressor
{
public:
    using Decompressor::Decompressor;
    ~GzipSource() override
    {
        if (m_inStream)
            inflateEnd(&m_z);
    }

protected:
    const char *formatName() const override { return "gzip"; }
    bool begin() override
    {
        m_z = z_stream{};
        return inflateInit2(&m_z, 16 + MAX_WBITS) == Z_OK;
    }
    void finish() override { inflateEnd(&m_z); }
    int step(char *data, std::size_t *outLeft) override
    {
        m_z.next_in = reinterpret_cast<Bytef *>(m_inputAt);
        m_z.avail_in = uInt(m_inputLeft);
        m_z.next_out = reinterpret_cast<Bytef *>(data);
        m_z.avail_out = uInt(*outLeft);
        const int rc = inflate(&m_z, Z_NO_FLUSH);
        m_inputAt = reinterpret_cast<char *>(m_z.next_in);
        m_inputLeft = m_z.avail_in;
        *outLeft = m_z.avail_out;
        if (rc == Z_STREAM_END)
            return 1;
        return rc == Z_OK || rc == Z_BUF_ERROR ? 0 : -1;
    }

private:
    z_stream m_z{};
};

class Bzip2Source final : public Decompressor
{
public:
    using Decompressor::Decompressor;
    ~Bzip2Source() override
    {
        if (m_inStream)
            BZ2_bzDecompressEnd(&m_bz);
    }

protected:
    const char *formatName() const override { return "bzip2"; }
    bool begin() override
    {
        m_bz = bz_stream{};
        return BZ2_bzDecompressInit(&m_bz, 0, 0) == BZ_OK;
    }
    void finish() override { BZ2_bzDecompressEnd(&m_bz); }
    int step(char *data, std::size_t *outLeft) override
    {
        m_bz.next_in = m_inputAt;
        m_bz.avail_in = unsigned(m_inputLeft);
        m_bz.next_out = data;
        m_bz.avail_out = unsigned(*outLeft);
        const int rc = BZ2_bzDecompress(&m_bz);
        m_inputAt = m_bz.next_in;
        m_inputLeft = m_bz.avail_in;
        *outLeft = m_bz.avail_out;
        if (rc == BZ_STREAM_END)
            return 1;
        return rc == BZ_OK ? 0 : -1;
    }

private:
    bz_stream m_bz{};
};

class XzSource final : public Decompressor
{
public:
    using Decompressor::Decompressor;
    ~XzSource() override { lzma_end(&m_lzma); }

protected:
    const char *formatName() const override { return "xz"; }
    bool begin() override
    {
        lzma_end(&m_lzma);
        m_lzma = LZMA_STREAM_INIT;
        return lzma_stream_decoder(&m_lzma, UINT64_MAX, LZMA_CONCATENATED) == LZMA_OK;
    }
    void finish() override {}
    int step(char *data, std::size_t *outLeft) override
    {
        m_lzma.next_in = reinterpret_cast<const uint8_t *>(m_inputAt);
        m_lzma.avail_in = m_inputLeft;
        m_lzma.next_out = reinterpret_cast<uint8_t *>(data);
        m_lzma.avail_out = *outLeft;
        const lzma_ret rc = lzma_code(&m_lzma, m_inputEnded ? LZMA_FINISH : LZMA_RUN);
        m_inputAt = const_cast<char *>(reinterpret_cast<const char *>(m_lzma.next_in));
        m_inputLeft = m_lzma.avail_in;
        *outLeft = m_lzma.avail_out;
        if (rc == LZMA_STREAM_END)
            return 1;
        return rc == LZMA_OK || rc == LZMA_BUF_ERROR ? 0 : -1;
    }

private:
    lzma_stream m_lzma = LZMA_STREAM_INIT;
};

bool readAll(ByteSource &source, QByteArray *bytes)
{
    bytes->clear();
    for (;;) {
        const qsizetype at = bytes->size();
        bytes->resize(at + (4 << 20));
        const qint64 got = source.read(bytes->data() + at, 4 << 20);
        bytes->resize(at + std::max<qint64>(got, 0));
        if (got <= 0)
            return got == 0;
    }
}

// Hands over the lines of a stream of UTF-8 text, a line end being LF, CR LF or CR.
class LineSplitter
{
public:
    explicit LineSplitter(const CorpusLineSink &sink) : m_sink(sink) {}
    bool add(std::string_view text)
    {
        m_pending.append(text);
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = m_pending.find_first_of("\r\n", start);
            if (end == std::string::npos)
                break;
            if (!m_sink(std::string_view(m_pending).substr(start, end - start))) {
                m_stopped = true;
                return false;
            }
            start = end + 1;
            if (m_pending[end] == '\r' && start < m_pending.size() && m_pending[start] == '\n')
                ++start;
        }
        m_pending.erase(0, start);
        return true;
    }
    bool finish()
    {
        if (m_stopped || m_pending.empty())
            return true;
        std::string last = std::move(m_pending);
        m_pending.clear();
        return m_sink(last);
    }

private:
    const CorpusLineSink &m_sink;
    std::string m_pending;
    bool m_stopped = false;
};

bool readPlainText(ByteSource &source, const CorpusLineSink &sink)
{
    constexpr qint64 BlockSize = 4 << 20;
    QByteArray block(BlockSize, Qt::Uninitialized);
    qint64 got = source.read(block.data(), BlockSize);
    if (got < 0)
        return false;
    block.resize(got);
    const TextEncoding encoding = corpusTextEncoding(block);
    LineSplitter lines(sink);
    if (encoding == TextEncoding::UTF7) {
        // Never large: read it whole.
        QByteArray rest;
        if (!readAll(source, &rest))
            return false;
        const QByteArray utf8 = decodeText(block + rest, encoding).text.toUtf8();
        return !lines.add(std::string_view(utf8.constData(), std::size_t(utf8.size())))
               || lines.finish();
    }
    // Keeps a character cut by a block's end for the next block.
    QStringDecoder utf16(encoding == TextEncoding::BigEndianUnicode ? QStringConverter::Utf16BE
                                                                   : QStringConverter::Utf16LE);
    std::string converted;
    bool first = true;
    while (!block.isEmpty()) {
        std::string_view text(block.constData(), std::size_t(block.size()));
        if (first && encoding != TextEncoding::ANSI && encoding != TextEncoding::ASCII) {
            const QByteArray bom = byteOrderMark(encoding);
            if (text.starts_with(std::string_view(bom.constData(), std::size_t(bom.size()))))
                text.remove_prefix(std::size_t(bom.size()));
        }
        first = false;
        switch (encoding) {
        case TextEncoding::ANSI:
            converted.clear();
            appendCp1251AsUtf8(text, &converted);
            text = converted;
            break;
        case TextEncoding::Unicode:
        case TextEncoding::BigEndianUnicode: {
            const QByteArray utf8 =
                QString(utf16.decode(QByteArrayView(text.data(), qsizetype(text.size()))))
                    .toUtf8();
            converted.assign(utf8.constData(), std::size_t(utf8.size()));
            text = converted;
            break;
        }
        default:
            break;
        }
        if (!lines.add(text))
            return true;
        block.resize(BlockSize);
        got = source.read(block.data(), BlockSize);
        if (got < 0)
            return false;
        block.resize(got);
    }
    lines.finish();
    return true;
}

// Paragraphs of an XML tree as UTF-8 lines, for FB2.
class TextCollector
{
public:
    void text(const char *piece)
    {
        for (const char *p = piece; *p; ++p) {
            const bool space = *p == ' ' || *p == '\t' || *p == '\n' || *p == '\r';
            if (space) {
                m_pendingSpace = !m_current.empty();
            } else {
                if (m_pendingSpace)
                    m_current += ' ';
                m_pendingSpace = false;
                m_current += *p;
            }
        }
    }
    void space() { m_pendingSpace = !m_current.empty(); }
    void end()
    {
        if (!m_current.empty())
            m_lines.push_back(std::move(m_current));
        m_current.clear();
        m_pendingSpace = false;
    }
    std::vector<std::string> take()
    {
        end();
        return std::move(m_lines);
    }

private:
    std::vector<std::string> m_lines;
    std::string m_current;
    bool m_pendingSpace = false;
};

bool nameIn(const xmlNode *node, std::initializer_list<const char *> names)
{
    for (const char *n : names)
        if (std::strcmp(reinterpret_cast<const char *>(node->name), n) == 0)
            return true;
    return false;
}

void collectFb2(const xmlNode *node, TextCollector *out)
{
    for (const xmlNode *n = node; n; n = n->next) {
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
            out->text(reinterpret_cast<const char *>(n->content));
            continue;
        }
        if (n->type != XML_ELEMENT_NODE || nameIn(n, {"binary", "description", "stylesheet"}))
            continue;
        // Paragraphs, verse lines, titles and the like stand alone; emphasis and links
        // are inline.
        const bool block = nameIn(n, {"p", "v", "title", "subtitle", "text-author", "date",
                                      "epigraph", "cite", "stanza", "poem", "section", "body",
                                      "td", "th", "tr", "table", "empty-line", "annotation"});
        block ? out->end() : out->space();
        collectFb2(n->children, out);
        block ? out->end() : out->space();
    }
}

bool fb2Lines(const QByteArray &bytes, std::vector<std::string> *lines)
{
    xmlDocPtr doc = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING
                                      | XML_PARSE_HUGE);
    if (!doc)
        return false;
    TextCollector collector;
    collectFb2(xmlDocGetRootElement(doc), &collector);
    xmlFreeDoc(doc);
    *lines = collector.take();
    return true;
}

enum class Format { Text, Html, Xml, Fb2, Zip, Unknown };

Format formatOf(QString name)
{
    name = name.toLower();
    for (const char *packed : {".gz", ".bz2", ".xz"})
        if (name.endsWith(QLatin1String(packed)))
            name.chop(qsizetype(std::strlen(packed)));
    if (name.endsWith(u".html") || name.endsWith(u".htm") || name.endsWith(u".xhtml"))
        return Format::Html;
    if (name.endsWith(u".fb2"))
        return Format::Fb2;
    if (name.endsWith(u".xml"))
        return Format::Xml;
    if (name.endsWith(u".zip") || name.endsWith(u".epub"))
        return Format::Zip;
    static const char *const Binary[] = {
        ".pdf", ".djvu", ".doc", ".docx", ".odt", ".rtf", ".mobi", ".azw3", ".png", ".jpg",
        ".jpeg", ".gif", ".bmp", ".webp", ".svg", ".ico", ".css", ".js", ".ttf", ".otf",
        ".woff", ".woff2", ".mp3", ".ogg", ".mp4", ".avi", ".exe", ".dll", ".so", ".o",
        ".sqlite", ".db", ".7z", ".rar", ".tar", ".tgz", ".deb", ".ncx", ".opf"};
    for (const char *ext : Binary)
        if (name.endsWith(QLatin1String(ext)))
            return Format::Unknown;
    return Format::Text;
}

std::unique_ptr<ByteSource> openSource(const QString &path, QString *error)
{
    auto file = std::make_unique<FileSource>(path);
    if (!file->open()) {
        *error = file->error();
        return nullptr;
    }
    const QString lower = path.toLower();
    if (lower.endsWith(u".gz"))
        return std::make_unique<GzipSource>(std::move(file));
    if (lower.endsWith(u".bz2"))
        return std::make_unique<Bzip2Source>(std::move(file));
    if (lower.endsWith(u".xz"))
        return std::make_unique<XzSource>(std::move(file));
    return file;
}

bool handOver(const std::vector<std::string> &lines, const CorpusLineSink &sink)
{
    for (const std::string &line : lines)
        if (!sink(line))
            return false;
    return true;
}

bool handOver(const QStringList &paragraphs, const CorpusLineSink &sink)
{
    for (const QString &paragraph : paragraphs) {
        const QByteArray utf8 = paragraph.toUtf8();
        if (!sink(std::string_view(utf8.constData(), std::size_t(utf8.size()))))
            return false;
    }
    return true;
}

// One whole document in memory: its paragraphs, or false when it is broken.
bool documentLines(Format format, const QByteArray &bytes, const CorpusLineSink &sink,
                   QString *problem)
{
    switch (format) {
    case Format::Html:
        handOver(htmlParagraphs(bytes), sink);
        return true;
    case Format::Fb2: {
        std::vector<std::string> lines;
        if (!fb2Lines(bytes, &lines)) {
            *problem = QStringLiteral("not a well-formed FB2 book");
            return false;
        }
        handOver(lines, sink);
        return true;
    }
    case Format::Xml: {
        QStringList paragraphs;
        if (!xmlParagraphs(bytes, &paragraphs)) {
            *problem = QStringLiteral("not well-formed XML");
            return false;
        }
        handOver(paragraphs, sink);
        return true;
    }
    default:
        return true;
    }
}

// A zip archive: an FB2 book, an EPUB book or any archive of texts.
bool readZip(const QByteArray &bytes, const CorpusLineSink &sink, QString *problem)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()),
                                                    0, &zipError);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS,
                                                   &zipError)
                            : nullptr;
    if (!archive) {
        *problem = QStringLiteral("not a readable zip archive (%1)")
                       .arg(QString::fromUtf8(zip_error_strerror(&zipError)));
        if (source)
            zip_source_free(source);
        zip_error_fini(&zipError);
        return false;
    }
    zip_error_fini(&zipError);
    bool ok = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count && ok; ++i) {
        const QString name = QString::fromUtf8(zip_get_name(archive, zip_uint64_t(i), 0));
        const QString base = name.section(u'/', -1).toLower();
        const Format format = formatOf(name);
        // An EPUB's navigation pages repeat its headings.
        if (format == Format::Unknown || format == Format::Zip || format == Format::Xml
            || name.endsWith(u'/') || base == u"mimetype" || base == u"nav.xhtml"
            || base == u"toc.xhtml" || name.startsWith(u"META-INF/"))
            continue;
        zip_stat_t stat;
        zip_file_t *member = zip_stat_index(archive, zip_uint64_t(i), 0, &stat) == 0
                                 ? zip_fopen_index(archive, zip_uint64_t(i), 0)
                                 : nullptr;
        QByteArray content;
        if (member) {
            content.resize(qsizetype(stat.size));
            const zip_int64_t got = zip_fread(member, content.data(), stat.size);
            zip_fclose(member);
            if (got != zip_int64_t(stat.size))
                member = nullptr;
        }
        if (!member) {
            *problem = QStringLiteral("%1: cannot be unpacked").arg(name);
            ok = false;
            break;
        }
        if (format == Format::Text) {
            std::string_view text(content.constData(), std::size_t(content.size()));
            LineSplitter lines(sink);
            if (corpusTextEncoding(content) == TextEncoding::ANSI) {
                const std::string utf8 = cp1251ToUtf8(text);
                lines.add(utf8) && lines.finish();
            } else {
                if (text.starts_with("\xEF\xBB\xBF"))
                    text.remove_prefix(3);
                lines.add(text) && lines.finish();
            }
        } else if (!documentLines(format, content, sink, problem)) {
            *problem = name + QStringLiteral(": ") + *problem;
            ok = false;
        }
    }
    zip_discard(archive);
    return ok;
}

// A Wikipedia dump, streamed through libxml2's push parser: each article's <text> is
// gathered and handed over as paragraphs when its <page> ends.
class WikiDumpReader
{
public:
    explicit WikiDumpReader(const CorpusLineSink &sink) : m_sink(sink)
    {
        m_sax.initialized = XML_SAX2_MAGIC;
        m_sax.startElementNs = &WikiDumpReader::start;
        m_sax.endElementNs = &WikiDumpReader::end;
        m_sax.characters = &WikiDumpReader::characters;
        m_sax.cdataBlock = &WikiDumpReader::characters;
    }
    bool read(ByteSource &source, const QByteArray &head, QString *problem)
    {
        xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&m_sax, this, nullptr, 0, nullptr);
        if (!context) {
            *problem = QStringLiteral("cannot start the XML parser");
            return false;
        }
        xmlCtxtUseOptions(context, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING
                                       | XML_PARSE_HUGE);
        m_context = context;
        bool ok = true;
        QByteArray block = head;
        for (;;) {
            const bool last = block.isEmpty();
            if (xmlParseChunk(context, block.constData(), int(block.size()), last ? 1 : 0)
                != 0) {
                if (!m_stopped) {
                    *problem = QStringLiteral("not well-formed XML near line %1")
                                   .arg(xmlSAX2GetLineNumber(context));
                    ok = false;
                }
                break;
            }
            if (last || m_stopped)
                break;
            block.resize(1 << 20);
            const qint64 got = source.read(block.data(), block.size());
            if (got < 0) {
                *problem = source.error();
                ok = false;
                break;
            }
            block.resize(got);
        }
        xmlFreeParserCtxt(context);
        return ok;
    }

private:
    static WikiDumpReader *self(void *context) { return static_cast<WikiDumpReader *>(context); }
    static void start(void *context, const xmlChar *name, const xmlChar *, const xmlChar *,
                      int, const xmlChar **, int, int, const xmlChar **)
    {
        WikiDumpReader *r = self(context);
        const char *n = reinterpret_cast<const char *>(name);
        if (std::strcmp(n, "page") == 0) {
            r->m_namespace.clear();
            r->m_text.clear();
        } else if (std::strcmp(n, "ns") == 0) {
            r->m_in = In::Namespace;
        } else if (std::strcmp(n, "text") == 0) {
            r->m_in = In::Text;
        } else if (std::strcmp(n, "redirect") == 0) {
            r->m_namespace = "redirect";
        }
    }
    static void end(void *context, const xmlChar *name, const xmlChar *, const xmlChar *)
    {
        WikiDumpReader *r = self(context);
        const char *n = reinterpret_cast<const char *>(name);
        r->m_in = In::Other;
        if (std::strcmp(n, "page") != 0 || r->m_stopped || r->m_namespace != "0")
            return;
        for (const std::string &line : wikiParagraphs(r->m_text)) {
            if (!r->m_sink(line)) {
                r->m_stopped = true;
                xmlStopParser(r->m_context);
                return;
            }
        }
    }
    static void characters(void *context, const xmlChar *text, int length)
    {
        WikiDumpReader *r = self(context);
        if (r->m_in == In::Text)
            r->m_text.append(reinterpret_cast<const char *>(text), std::size_t(length));
        else if (r->m_in == In::Namespace)
            r->m_namespace.append(reinterpret_cast<const char *>(text), std::size_t(length));
    }

    enum class In { Other, Namespace, Text };
    const CorpusLineSink &m_sink;
    xmlSAXHandler m_sax{};
    xmlParserCtxtPtr m_context = nullptr;
    In m_in = In::Other;
    std::string m_namespace;
    std::string m_text;
    bool m_stopped = false;
};

} // namespace

TextEncoding corpusTextEncoding(QByteArrayView head)
{
    // UTF-7's mark is "+/v" and one of 8, 9, + or /.
    if (head.size() >= 4 && head.startsWith("+/v") && QByteArrayView("89+/").contains(head[3]))
        return TextEncoding::UTF7;
    // Drop a lead byte and its continuation bytes that the sample's end cut short.
    qsizetype end = head.size();
    for (qsizetype back = 1; back <= 3 && back <= head.size(); ++back) {
        const auto b = static_cast<unsigned char>(head[head.size() - back]);
        if ((b & 0xC0) == 0x80)
            continue;
        const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (length > back)
            end = head.size() - back;
        break;
    }
    // Text that starts in plain ASCII is read on as UTF-8: a corpus file that turns to
    // Russian after its first megabytes is far likelier UTF-8 than Windows-1251.
    if (std::all_of(head.begin(), head.end(), [](char c) { return (c & 0x80) == 0; }))
        return TextEncoding::UTF8;
    return detectTextEncoding(head.first(end));
}

bool readCorpusFile(const QString &path, const CorpusLineSink &line, QString *error)
{
    const auto failed = [&](const QString &problem) {
        *error = QStringLiteral("%1: %2").arg(native(path), problem);
        return false;
    };
    const Format format = formatOf(path.section(u'/', -1));
    if (format == Format::Unknown)
        return failed(QStringLiteral("not a text format the builder reads"));
    QString problem;
    std::unique_ptr<ByteSource> source = openSource(path, &problem);
    if (!source)
        return failed(problem);
    if (format == Format::Text) {
        if (!readPlainText(*source, line))
            return failed(source->error());
        return true;
    }
    if (format == Format::Xml) {
        // A dump is far too large to read whole: its first bytes tell it.
        QByteArray head(64 << 10, Qt::Uninitialized);
        const qint64 got = source->read(head.data(), head.size());
        if (got < 0)
            return failed(source->error());
        head.resize(got);
        if (head.contains("<mediawiki")) {
            WikiDumpReader dump(line);
            return dump.read(*source, head, &problem) || failed(problem);
        }
        QByteArray rest;
        if (!readAll(*source, &rest))
            return failed(source->error());
        return documentLines(format, head + rest, line, &problem) || failed(problem);
    }
    QByteArray bytes;
    if (!readAll(*source, &bytes))
        return failed(source->error());
    if (format == Format::Zip)
        return readZip(bytes, line, &problem) || failed(problem);
    return documentLines(format, bytes, line, &problem) || failed(problem);
}

namespace {

bool startsAt(std::string_view text, std::size_t at, std::string_view what)
{
    return text.substr(at, what.size()) == what;
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string asciiLower(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

// Comments go, and so do the elements that hold no prose (references, formulas,
// galleries, code); other tags vanish and leave their content, block ones a line break.
std::string withoutTagsAndComments(std::string_view in)
{
    static const std::string_view Dropped[] = {
        "ref", "math", "gallery", "timeline", "syntaxhighlight", "source", "score",
        "imagemap", "chem", "ce", "hiero", "graph", "templatedata", "references", "pre",
        "code", "mapframe", "maplink", "templatestyles", "noinclude", "includeonly"};
    static const std::string_view Block[] = {"br", "p", "div", "li", "blockquote", "poem",
                                             "tr", "td", "th", "center", "table", "dd", "dt"};
    std::string out;
    out.reserve(in.size());
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n;) {
        if (in[i] != '<') {
            out += in[i++];
            continue;
        }
        if (startsAt(in, i, "<!--")) {
            const std::size_t end = in.find("-->", i + 4);
            i = end == std::string_view::npos ? n : end + 3;
            continue;
        }
        std::size_t j = i + 1;
        const bool closing = j < n && in[j] == '/';
        if (closing)
            ++j;
        const std::size_t nameStart = j;
        while (j < n && isAsciiLetter(in[j]))
            ++j;
        // A tag ends on its own line, not far off; anything else is a less-than sign.
        const std::size_t close = in.substr(0, std::min(n, j + 1000)).find('>', j);
        if (j == nameStart || close == std::string_view::npos
            || in.substr(j, close - j).find('\n') != std::string_view::npos) {
            out += in[i++];
            continue;
        }
        const std::string name = asciiLower(in.substr(nameStart, j - nameStart));
        const bool selfClosing = in[close - 1] == '/';
        i = close + 1;
        if (!closing && !selfClosing
            && std::find(std::begin(Dropped), std::end(Dropped), name) != std::end(Dropped)) {
            // Up to the matching end tag, whatever its case.
            std::size_t end = in.find("</", i);
            while (end != std::string_view::npos
                   && asciiLower(in.substr(end + 2, name.size())) != name)
                end = in.find("</", end + 2);
            if (end == std::string_view::npos) {
                i = n;
            } else {
                const std::size_t gt = in.find('>', end);
                i = gt == std::string_view::npos ? n : gt + 1;
            }
            continue;
        }
        if (std::find(std::begin(Block), std::end(Block), name) != std::end(Block))
            out += '\n';
    }
    return out;
}

bool atLineStart(std::string_view text, std::size_t at)
{
    while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t'))
        --at;
    return at == 0 || text[at - 1] == '\n';
}

// Templates ({{…}}, nested, parameters too) and tables ({| … |}) go whole.
std::string withoutTemplatesAndTables(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    std::vector<char> open;  // 't' a template, '|' a table
    for (std::size_t i = 0; i < in.size();) {
        if (startsAt(in, i, "{{")) {
            open.push_back('t');
            i += 2;
        } else if (startsAt(in, i, "{|") && atLineStart(in, i)) {
            open.push_back('|');
            i += 2;
        } else if (!open.empty() && open.back() == 't' && startsAt(in, i, "}}")) {
            open.pop_back();
            i += 2;
        } else if (!open.empty() && open.back() == '|' && startsAt(in, i, "|}")) {
            open.pop_back();
            i += 2;
        } else {
            if (open.empty())
                out += in[i];
            ++i;
        }
    }
    return out;
}

// Whether a link's target is a file, a category or another language's article.
bool isHiddenTarget(std::string_view target, bool hasText)
{
    while (!target.empty() && target.front() == ' ')
        target.remove_prefix(1);
    const std::size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    const QString space = QString::fromUtf8(target.data(), qsizetype(colon)).trimmed().toLower();
    static const QStringList Hidden = {
        QStringLiteral("файл"), QStringLiteral("file"), QStringLiteral("изображение"),
        QStringLiteral("image"), QStringLiteral("категория"), QStringLiteral("category"),
        QStringLiteral("медиа"), QStringLiteral("media")};
    if (Hidden.contains(space))
        return true;
    // Interlanguage links: a language code and no text of their own.
    const bool code = space.size() <= 12 && std::all_of(space.begin(), space.end(), [](QChar c) {
                          return (c >= u'a' && c <= u'z') || c == u'-';
                      });
    return code && !hasText;
}

std::string withLinkTexts(std::string_view in)
{
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        if (startsAt(in, i, "[[")) {
            // The matching end, links nested in a file's caption included.
            std::size_t depth = 0;
            std::size_t end = i;
            for (; end + 1 < in.size(); ++end) {
                if (startsAt(in, end, "[[")) {
                    ++depth;
                    ++end;
                } else if (startsAt(in, end, "]]")) {
                    if (--depth == 0)
                        break;
                    ++end;
                }
            }
            if (depth != 0) {
                i += 2;  // an unclosed link: its brackets go, its text stays
                continue;
            }
            const std::string_view inner = in.substr(i + 2, end - i - 2);
            const std::size_t bar = inner.find('|');
            const std::string_view target = inner.substr(0, bar);
            if (!isHiddenTarget(target, bar != std::string_view::npos)) {
                std::string_view text = target;
                if (bar != std::string_view::npos) {
                    const std::size_t lastBar = inner.rfind('|');
                    if (lastBar + 1 < inner.size())
                        text = inner.substr(lastBar + 1);
                }
                const std::size_t hash = text == target ? text.find('#') : std::string_view::npos;
                if (hash != std::string_view::npos && hash > 0)
                    text = text.substr(0, hash);
                out += withLinkTexts(text);
            }
            i = end + 2;
            continue;
        }
        if (in[i] == '[') {
            const std::string_view rest = in.substr(i + 1);
            if (rest.starts_with("http://") || rest.starts_with("https://")
                || rest.starts_with("//") || rest.starts_with("ftp://")) {
                const std::size_t close = in.find_first_of("]\n", i);
                if (close != std::string_view::npos && in[close] == ']') {
                    const std::string_view inner = in.substr(i + 1, close - i - 1);
                    const std::size_t space = inner.find(' ');
                    if (space != std::string_view::npos)
                        out += inner.substr(space + 1);
                    i = close + 1;
                    continue;
                }
            }
        }
        out += in[i++];
    }
    return out;
}

void appendEntity(std::string_view name, std::string *out)
{
    static const std::pair<std::string_view, std::string_view> Named[] = {
        {"nbsp", " "}, {"mdash", "—"}, {"ndash", "–"}, {"laquo", "«"}, {"raquo", "»"},
        {"quot", "\""}, {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"shy", ""},
        {"thinsp", " "}, {"hellip", "…"}};
    for (const auto &[key, value] : Named)
        if (name == key) {
            *out += value;
            return;
        }
    *out += ' ';
}

// One line of markup as a paragraph: list and indent marks, heading signs, bold and
// italic quotes, magic words and entities go.
std::string plainLine(std::string_view line)
{
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    if (line.starts_with("|") || line.starts_with("!") || line.starts_with("----"))
        return {};
    while (!line.empty() && std::strchr("*#:; ", line.front()))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (line.starts_with("=")) {
        while (!line.empty() && line.front() == '=')
            line.remove_prefix(1);
        while (!line.empty() && line.back() == '=')
            line.remove_suffix(1);
    }
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        if (startsAt(line, i, "''")) {
            while (i < line.size() && line[i] == '\'')
                ++i;
            continue;
        }
        if (startsAt(line, i, "__")) {
            const std::size_t end = line.find("__", i + 2);
            if (end != std::string_view::npos && end > i + 2
                && std::all_of(line.begin() + std::ptrdiff_t(i + 2),
                               line.begin() + std::ptrdiff_t(end),
                               [](char c) { return c >= 'A' && c <= 'Z'; })) {
                i = end + 2;
                continue;
            }
        }
        if (line[i] == '&') {
            const std::size_t semicolon = line.find(';', i);
            if (semicolon != std::string_view::npos && semicolon - i <= 8 && semicolon > i + 1) {
                const std::string_view name = line.substr(i + 1, semicolon - i - 1);
                if (std::all_of(name.begin(), name.end(),
                                [](char c) { return isAsciiLetter(c) || c == '#'
                                                    || (c >= '0' && c <= '9'); })) {
                    appendEntity(name, &out);
                    i = semicolon + 1;
                    continue;
                }
            }
        }
        out += line[i++];
    }
    // Fold white space.
    std::string folded;
    folded.reserve(out.size());
    for (const char c : out) {
        const bool space = c == ' ' || c == '\t';
        if (space && (folded.empty() || folded.back() == ' '))
            continue;
        folded += space ? ' ' : c;
    }
    while (!folded.empty() && folded.back() == ' ')
        folded.pop_back();
    return folded;
}

} // namespace

std::vector<std::string> wikiParagraphs(std::string_view markup)
{
    const std::string text =
        withLinkTexts(withoutTemplatesAndTables(withoutTagsAndComments(markup)));
    std::vector<std::string> paragraphs;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = plainLine(std::string_view(text).substr(start, end - start));
        if (!line.empty())
            paragraphs.push_back(std::move(line));
        start = end + 1;
    }
    return paragraphs;
}
