#include "common/textfile.h"

#include "common/errortext.h"
#include "common/largepages.h"
#include "common/textlines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <sys/stat.h>

namespace {

const char *icuName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::ANSI: return "windows-1251";
    case TextEncoding::ASCII: return "US-ASCII";
    case TextEncoding::Unicode: return "UTF-16LE";
    case TextEncoding::BigEndianUnicode: return "UTF-16BE";
    case TextEncoding::UTF8: return "UTF-8";
    case TextEncoding::UTF7: return "UTF-7";
    }
    return "UTF-8";
}

struct ConverterCloser
{
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Counts every sequence the converter substitutes, then substitutes as usual.
void countToUnicode(const void *context, UConverterToUnicodeArgs *args, const char *units,
                    int32_t length, UConverterCallbackReason reason, UErrorCode *error)
{
    if (reason <= UCNV_IRREGULAR)
        ++*static_cast<int *>(const_cast<void *>(context));
    UCNV_TO_U_CALLBACK_SUBSTITUTE(nullptr, args, units, length, reason, error);
}

void countFromUnicode(const void *context, UConverterFromUnicodeArgs *args, const UChar *units,
                      int32_t length, UChar32 codePoint, UConverterCallbackReason reason,
                      UErrorCode *error)
{
    if (reason <= UCNV_IRREGULAR)
        ++*static_cast<int *>(const_cast<void *>(context));
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, units, length, codePoint, reason, error);
}

Converter openConverter(TextEncoding encoding)
{
    UErrorCode error = U_ZERO_ERROR;
    Converter converter(ucnv_open(icuName(encoding), &error));
    Q_ASSERT(U_SUCCESS(error));
    if (encoding == TextEncoding::ANSI || encoding == TextEncoding::ASCII)
        ucnv_setSubstChars(converter.get(), "?", 1, &error);
    return converter;
}

} // namespace

QStringList textEncodingNames()
{
    return {QStringLiteral("ANSI"),    QStringLiteral("ASCII"), QStringLiteral("Unicode"),
            QStringLiteral("BigEndianUnicode"), QStringLiteral("UTF8"), QStringLiteral("UTF7")};
}

bool textEncodingFromName(const QString &name, TextEncoding *encoding)
{
    static const char *const names[] = {"ansi", "ascii", "utf16le", "utf16be", "utf8", "utf7"};
    for (int i = 0; i < TextEncodingCount; ++i) {
        if (name == QLatin1StringView(names[i])) {
            *encoding = TextEncoding(i);
            return true;
        }
    }
    return false;
}

QString autoDetectName()
{
    return QStringLiteral("Автоопределение");
}

QByteArray byteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Unicode: return QByteArray("\xFF\xFE", 2);
    case TextEncoding::BigEndianUnicode: return QByteArray("\xFE\xFF", 2);
    case TextEncoding::UTF8: return QByteArray("\xEF\xBB\xBF", 3);
    default: return QByteArray();
    }
}

namespace {

/// Length of the UTF-8 sequence at the start of bytes, or 0 when it is not one: no
/// overlong forms, surrogates or code points past U+10FFFF.
int utf8SequenceLength(const unsigned char *s, qsizetype left)
{
    const auto follows = [&](int i) { return i < left && (s[i] & 0xC0) == 0x80; };
    if (s[0] >= 0xC2 && s[0] <= 0xDF)
        return follows(1) ? 2 : 0;
    if (s[0] >= 0xE0 && s[0] <= 0xEF) {
        if (!follows(1) || !follows(2))
            return 0;
        if ((s[0] == 0xE0 && s[1] < 0xA0) || (s[0] == 0xED && s[1] >= 0xA0))
            return 0;
        return 3;
    }
    if (s[0] >= 0xF0 && s[0] <= 0xF4) {
        if (!follows(1) || !follows(2) || !follows(3))
            return 0;
        if ((s[0] == 0xF0 && s[1] < 0x90) || (s[0] == 0xF4 && s[1] >= 0x90))
            return 0;
        return 4;
    }
    return 0;
}

} // namespace

TextEncoding detectTextEncoding(QByteArrayView bytes)
{
    for (const TextEncoding marked :
         {TextEncoding::UTF8, TextEncoding::Unicode, TextEncoding::BigEndianUnicode})
        if (bytes.startsWith(byteOrderMark(marked)))
            return marked;
    if (bytes.isEmpty())
        return TextEncoding::UTF8;
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    bool nonAscii = false;
    for (qsizetype i = 0; i < size;) {
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = utf8SequenceLength(s + i, size - i);
        if (length == 0)
            return TextEncoding::ANSI;
        nonAscii = true;
        i += length;
    }
    return nonAscii ? TextEncoding::UTF8 : TextEncoding::ANSI;
}

bool looksBinary(QStringView text)
{
    qsizetype controls = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0)
            return true;
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f' && u != u'\v')
            || u == 0x7F)
            ++controls;
    }
    return controls * 4 > text.size();
}

Decoded decodeText(const QByteArray &bytes, TextEncoding encoding)
{
    Decoded result;
    QByteArrayView input(bytes);
    const QByteArray bom = byteOrderMark(encoding);
    if (!bom.isEmpty() && input.startsWith(bom))
        input = input.sliced(bom.size());
    if (input.isEmpty())
        return result;

    Converter converter = openConverter(encoding);
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), countToUnicode, &result.undecodable, nullptr, nullptr,
                        &error);
    // No encoding here yields more UTF-16 units than it has bytes.
    result.text.resize(input.size() + 1);
    adviseLargePages(result.text.data(), std::size_t(result.text.size()) * sizeof(QChar));
    const int32_t written = ucnv_toUChars(converter.get(),
                                          reinterpret_cast<UChar *>(result.text.data()),
                                          int32_t(result.text.size()), input.data(),
                                          int32_t(input.size()), &error);
    result.text.resize(written);
    return result;
}

Encoded encodeText(const QString &text, TextEncoding encoding)
{
    Encoded result;
    if (text.isEmpty())
        return result;
    Converter converter = openConverter(encoding);
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), countFromUnicode, &result.unencodable, nullptr,
                          nullptr, &error);
    const auto *source = reinterpret_cast<const UChar *>(text.constData());
    // ucnv_fromUChars flushes the converter, so a stateful UTF-7 run is closed.
    int32_t capacity = int32_t(text.size()) * 3 + 16;
    for (;;) {
        result.bytes.resize(capacity);
        result.unencodable = 0;
        error = U_ZERO_ERROR;
        const int32_t written = ucnv_fromUChars(converter.get(), result.bytes.data(), capacity,
                                                source, int32_t(text.size()), &error);
        if (error == U_BUFFER_OVERFLOW_ERROR || error == U_STRING_NOT_TERMINATED_WARNING) {
            capacity = written + 1;
            continue;
        }
        result.bytes.resize(written);
        return result;
    }
}

int unencodableCount(const QString &text, TextEncoding encoding)
{
    return encodeText(text, encoding).unencodable;
}

QStringList TextFileRead::lines() const
{
    return splitLines(text);
}

QString TextFileRead::paneText() const
{
    // What joinLines(splitLines(text)) gives, without a string per line: a file of a million
    // lines with CR LF breaks and a final one is shared as it stands.
    QString pane = normalizeBreaks(text);
    if (!pane.isEmpty() && !pane.endsWith(u"\r\n"))
        pane += u"\r\n";
    return pane;
}

namespace {

/// The whole file; an empty array and the message in error when it cannot be read.
QByteArray readWholeFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = fileErrorMessage(file, FileAction::Read);
        return QByteArray();
    }
    QByteArray bytes;
    const qint64 size = file.size();
    if (size > 0 && !file.isSequential()) {
        // Read in one piece into a buffer that is still untouched, so that it can get large pages.
        bytes = QByteArray(qsizetype(size), Qt::Uninitialized);
        adviseLargePages(bytes.data(), std::size_t(size));
        const qint64 read = file.read(bytes.data(), size);
        bytes.truncate(qsizetype(std::max<qint64>(read, 0)));
        if (read == size)
            bytes += file.readAll();  // a file that grew meanwhile
    } else {
        bytes = file.readAll();
    }
    if (file.error() != QFileDevice::NoError) {
        *error = fileErrorMessage(file, FileAction::Read);
        return QByteArray();
    }
    return bytes;
}

TextFileRead decodeFile(const QByteArray &bytes, TextEncoding encoding)
{
    TextFileRead result;
    Decoded decoded = decodeText(bytes, encoding);
    result.text = std::move(decoded.text);
    result.undecodable = decoded.undecodable;
    result.encoding = encoding;
    return result;
}

} // namespace

TextFileRead LoadTextFile(const QString &path, TextEncoding encoding)
{
    return loadTextFileAs(path, int(encoding));
}

TextFileRead loadTextFileAs(const QString &path, int encodingChoice)
{
    TextFileRead result;
    const QByteArray bytes = readWholeFile(path, &result.error);
    if (!result.error.isEmpty())
        return result;
    if (encodingChoice != AutoDetectEncoding)
        return decodeFile(bytes, TextEncoding(encodingChoice));
    result = decodeFile(bytes, detectTextEncoding(bytes));
    result.detected = true;
    result.binary = looksBinary(result.text);
    return result;
}

namespace {

// A device or a FIFO cannot be replaced by a new file, only written to, and the old contents of
// one cannot be kept anyway.
QString writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fileErrorMessage(file, FileAction::Write);
    for (qsizetype done = 0; done < bytes.size();) {
        errno = 0;
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const int cause = errno;
            return file.error() == QFileDevice::NoError && cause != 0
                       ? errnoMessage(cause, path, FileAction::Write)
                       : fileErrorMessage(file, FileAction::Write);
        }
        done += written;
    }
    return QString();
}

} // namespace

QString writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // A link is followed and stays a link: the file it names is the one replaced.
    QString target = path;
    for (int hops = 0; hops < 40 && QFileInfo(target).isSymLink(); ++hops)
        target = QFileInfo(target).symLinkTarget();
    struct stat status = {};
    if (::stat(QFile::encodeName(target).constData(), &status) == 0 && !S_ISREG(status.st_mode)
        && !S_ISDIR(status.st_mode))
        return writeInPlace(target, bytes);

    QSaveFile file(target);
    // Unbuffered, a failing write reports at once and its cause is still at hand; through
    // the buffer the failure surfaces in commit() with the cause lost.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fileErrorMessage(file, FileAction::Write);
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        // A write cut short sets no device error; the system's errno tells why.
        const int cause = errno;
        const QString message = file.error() == QFileDevice::NoError && cause != 0
            ? errnoMessage(cause, target, FileAction::Write)
            : fileErrorMessage(file, FileAction::Write);
        file.cancelWriting();
        return message;
    }
    if (!file.commit())
        return fileErrorMessage(file, FileAction::Write);
    return QString();
}

TextFileWrite SaveTextFile(const QString &path, TextEncoding encoding, const QStringList &lines)
{
    TextFileWrite result;
    Encoded encoded = encodeText(joinLines(lines), encoding);
    result.unencodable = encoded.unencodable;
    result.error = writeFileAtomically(path, byteOrderMark(encoding) + encoded.bytes);
    return result;
}

TextFileWrite SavePaneText(const QString &path, TextEncoding encoding, const QString &text)
{
    return SaveTextFile(path, encoding, splitLines(text));
}
