#include "service/serviceform.h"

#include <QList>
#include <QStringDecoder>

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

struct ContentType
{
    QByteArray mediaType;  // lower case, empty when none was sent
    QByteArray charset;    // as sent, empty when none was declared
};

ContentType parseContentType(QByteArrayView value)
{
    ContentType type;
    const QList<QByteArray> parts = value.toByteArray().split(';');
    type.mediaType = parts.value(0).trimmed().toLower();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        const qsizetype equals = part.indexOf('=');
        if (equals < 0 || part.left(equals).trimmed().toLower() != "charset")
            continue;
        QByteArray charset = part.mid(equals + 1).trimmed();
        if (charset.size() >= 2 && charset.startsWith('"') && charset.endsWith('"'))
            charset = charset.mid(1, charset.size() - 2);
        type.charset = charset;
    }
    return type;
}

// The value of each byte as a hex digit, -1 for the bytes that are none.
constexpr std::array<std::int8_t, 256> HexDigits = [] {
    std::array<std::int8_t, 256> digits{};
    for (int c = 0; c < 256; ++c)
        digits[std::size_t(c)] = c >= '0' && c <= '9'   ? std::int8_t(c - '0')
                                 : c >= 'a' && c <= 'f' ? std::int8_t(c - 'a' + 10)
                                 : c >= 'A' && c <= 'F' ? std::int8_t(c - 'A' + 10)
                                                        : std::int8_t(-1);
    return digits;
}();

int hexDigit(char c)
{
    return HexDigits[static_cast<unsigned char>(c)];
}

// Undoes the form encoding: '+' is a blank, %XX a byte. A '%' without two hex digits fails.
// Text in other scripts comes as a '%' every three bytes; other runs are copied in one go.
bool percentDecode(QByteArrayView in, QByteArray *out)
{
    out->resize(in.size());  // decoding never grows the text
    char *to = out->data();
    const char *from = in.data();
    const char *const end = from + in.size();
    while (from < end) {
        if (*from == '%') {
            const int high = end - from > 2 ? hexDigit(from[1]) : -1;
            const int low = end - from > 2 ? hexDigit(from[2]) : -1;
            if (high < 0 || low < 0)
                return false;
            *to++ = char(high * 16 + low);
            from += 3;
        } else if (*from == '+') {
            *to++ = ' ';
            ++from;
        } else {
            const char *run = from + 1;
            while (run < end && *run != '%' && *run != '+')
                ++run;
            to = std::copy(from, run, to);
            from = run;
        }
    }
    out->truncate(to - out->data());
    return true;
}

// Whether every '%' in text starts an escape, for the fields that are not read.
bool hasValidEscapes(QByteArrayView text)
{
    for (qsizetype i = text.indexOf('%'); i >= 0; i = text.indexOf('%', i + 1))
        if (i + 2 >= text.size() || hexDigit(text[i + 1]) < 0 || hexDigit(text[i + 2]) < 0)
            return false;
    return true;
}

struct ConverterCloser
{
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Bytes to text in one charset, failing on any byte sequence the charset does not define.
class CharsetDecoder
{
public:
    explicit CharsetDecoder(const QByteArray &charset)
    {
        const QByteArray name = charset.toLower();
        if (name.isEmpty() || name == "utf-8" || name == "utf8") {
            m_known = true;
            return;
        }
        UErrorCode status = U_ZERO_ERROR;
        m_icu.reset(ucnv_open(charset.constData(), &status));
        if (U_FAILURE(status)) {
            m_icu.reset();
            return;
        }
        ucnv_setToUCallBack(m_icu.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                            &status);
        m_known = U_SUCCESS(status);
    }
    bool isKnown() const { return m_known; }

    bool decode(const QByteArray &bytes, QString *text) const
    {
        if (!m_icu) {
            // Keep a byte-order mark as the client sent it: it is part of WORDS.
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom
                                                             | QStringDecoder::Flag::Stateless);
            *text = decoder.decode(bytes);
            return !decoder.hasError();
        }
        if (bytes.size() > std::numeric_limits<int32_t>::max() / 2)
            return false;
        ucnv_reset(m_icu.get());
        UErrorCode status = U_ZERO_ERROR;
        text->resize(bytes.size() * 2 + 1);
        int32_t length =
            ucnv_toUChars(m_icu.get(), reinterpret_cast<UChar *>(text->data()),
                          int32_t(text->size()), bytes.constData(), int32_t(bytes.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            status = U_ZERO_ERROR;
            text->resize(length + 1);
            ucnv_reset(m_icu.get());
            length = ucnv_toUChars(m_icu.get(), reinterpret_cast<UChar *>(text->data()),
                                   int32_t(text->size()), bytes.constData(), int32_t(bytes.size()),
                                   &status);
        }
        if (U_FAILURE(status))
            return false;
        text->resize(length);
        return true;
    }

private:
    Converter m_icu;
    bool m_known = false;
};

ServiceForm refused(int status, const QString &error)
{
    ServiceForm form;
    form.status = status;
    form.error = error;
    return form;
}

} // namespace

ServiceForm readServiceForm(QByteArrayView contentType, QByteArrayView body)
{
    const ContentType type = parseContentType(contentType);
    if (!type.mediaType.isEmpty() && type.mediaType != "application/x-www-form-urlencoded")
        return refused(415, u"the body must be application/x-www-form-urlencoded"_s);
    const CharsetDecoder decoder(type.charset);
    if (!decoder.isKnown())
        return refused(415, u"unknown charset "_s + QString::fromLatin1(type.charset));
    const QString charsetName =
        type.charset.isEmpty() ? u"UTF-8"_s : QString::fromLatin1(type.charset);

    ServiceForm form;
    bool hasWords = false;
    bool hasProgram = false;
    bool hasVersion = false;
    QByteArray name;
    QByteArray value;
    // Fields are walked in place: a body of a million empty fields costs no more than one field.
    for (qsizetype start = 0; start < body.size();) {
        qsizetype end = body.indexOf('&', start);
        if (end < 0)
            end = body.size();
        const QByteArrayView field = body.sliced(start, end - start);
        start = end + 1;
        if (field.isEmpty())
            continue;
        const qsizetype equals = field.indexOf('=');
        if (!percentDecode(field.first(equals < 0 ? field.size() : equals), &name))
            return refused(400, u"the body is not valid form data (a broken %-escape)"_s);
        QString *target = nullptr;
        bool *seen = nullptr;
        if (name == "WORDS") {
            target = &form.words;
            seen = &hasWords;
        } else if (name == "PROGRAM") {
            target = &form.program;
            seen = &hasProgram;
        } else if (name == "VERSION") {
            target = &form.version;
            seen = &hasVersion;
        } else {
            if (!hasValidEscapes(field))
                return refused(400, u"the body is not valid form data (a broken %-escape)"_s);
            continue;
        }
        if (!percentDecode(equals < 0 ? QByteArrayView() : field.sliced(equals + 1), &value))
            return refused(400, u"the body is not valid form data (a broken %-escape)"_s);
        if (*seen)
            return refused(400, QString::fromLatin1(name) + u" is given more than once"_s);
        *seen = true;
        if (!decoder.decode(value, target))
            return refused(400, QString::fromLatin1(name) + u" is not valid "_s + charsetName);
    }
    if (!hasWords)
        return refused(400, u"the form has no WORDS field"_s);
    return form;
}
