#include "service/serviceform.h"

#include "tests/support/printers.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray Form = "application/x-www-form-urlencoded";

} // namespace

TEST(ServiceForm, ReadsTheFieldsInAnyOrderAndTheDeclaredCharset)
{
    const ServiceForm form = readServiceForm(Form, "VERSION=1.0&WORDS=%D0%BA%D0%BE%D1%82+%D0%B8%0D%"
                                                   "0A2%2B2&PROGRAM=Cambrel&X=%FF");
    ASSERT_TRUE(form.ok()) << form.error.toStdString();
    EXPECT_EQ(form.words, u"кот и\r\n2+2"_s);
    EXPECT_EQ(form.program, u"Cambrel"_s);
    EXPECT_EQ(form.version, u"1.0"_s);
    // Fields of another name are not decoded; an empty WORDS is a list of no lines.
    EXPECT_TRUE(readServiceForm(QByteArray(), "WORDS=").ok());
    const struct
    {
        QByteArray type, body;
        QString words;
    } cases[] = {
        {Form + "; charset=UTF-8", "&WORDS&", QString()},
        {Form, "WORDS=a=b", u"a=b"_s},
        {Form, "WORDS=%EF%BB%BFa", u"\uFEFFa"_s},  // a byte-order mark is part of the text
        // «кот» in windows-1251 and in KOI8-R.
        {Form + "; charset=windows-1251", "WORDS=%EA%EE%F2", u"кот"_s},
        {Form + ";charset=\"KOI8-R\"", "WORDS=%CB%CF%D4", u"кот"_s},
        {Form + "; charset=utf-16le", "WORDS=%3A%04", u"к"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readServiceForm(c.type, c.body).words, c.words) << c.body.toStdString();
}

TEST(ServiceForm, RefusesABodyThatIsNoValidForm)
{
    const auto statusOf = [](const QByteArray &type, const QByteArray &body) {
        const ServiceForm form = readServiceForm(type, body);
        EXPECT_EQ(form.ok(), form.status == 200);
        EXPECT_TRUE(form.words.isEmpty());
        return form.status;
    };
    for (const char *body : {"PROGRAM=Cambrel", "", "WORDS=%D0" /* a cut UTF-8 sequence */,
                             "WORDS=%C0%AF" /* an overlong one */, "WORDS=ab%4", "WORDS=ab%G0",
                             "X=%zz&WORDS=a", "WORDS=a&WORDS=b", "PROGRAM=%FF&WORDS=a"})
        EXPECT_EQ(statusOf(Form, body), 400) << body;
    EXPECT_EQ(statusOf(Form + "; charset=utf-16le", "WORDS=%3A"), 400);
    EXPECT_EQ(statusOf("text/plain", "WORDS=a"), 415);
    EXPECT_EQ(statusOf("multipart/form-data; boundary=x", "WORDS=a"), 415);
    EXPECT_EQ(readServiceForm(Form, "WORDS=%D0").error, u"WORDS is not valid UTF-8"_s);
    const ServiceForm unknown = readServiceForm(Form + "; charset=x-no-such", "WORDS=a");
    EXPECT_EQ(unknown.status, 415);
    EXPECT_EQ(unknown.error, u"unknown charset x-no-such"_s);
}

namespace {

// Starts the count of peakMemory() afresh.
void resetPeakMemory()
{
    QFile clear(u"/proc/self/clear_refs"_s);
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// The most this process held at once since resetPeakMemory(), in bytes; -1 where the kernel
// does not tell.
qint64 peakMemory()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

qint64 currentMemory()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

} // namespace

TEST(ServiceForm, ReadsAFloodOfEmptyFieldsInLittleMoreThanItsSize)
{
    // 16 MB of '&' once took an object per field, some 430 MB.
    const QByteArray flood(16 * 1024 * 1024, '&');
    const QByteArray body = flood + "WORDS=%D0%BA%D0%BE%D1%82" + flood;
    resetPeakMemory();
    const qint64 before = currentMemory();
    const ServiceForm form = readServiceForm(Form, body);
    const qint64 peak = peakMemory();
    ASSERT_TRUE(form.ok()) << form.error.toStdString();
    EXPECT_EQ(form.words, u"кот"_s);
    if (before < 0 || peak < 0)
        GTEST_SKIP() << "the kernel does not report peak memory";
    EXPECT_LT(peak - before, 32 * 1024 * 1024);
}
