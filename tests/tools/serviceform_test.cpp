#include "tools/serviceform.h"

#include "tests/support/printers.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray Form = "application/x-www-form-urlencoded";

} // namespace

TEST(ServiceForm, ReadsTheFieldsInAnyOrder)
{
    const ServiceForm form = readServiceForm(Form, "VERSION=1.0&WORDS=%D0%BA%D0%BE%D1%82+%D0%B8%0D%"
                                                   "0A2%2B2&PROGRAM=Cambrel&X=%FF");
    ASSERT_TRUE(form.ok()) << form.error.toStdString();
    EXPECT_EQ(form.words, u"кот и\r\n2+2"_s);
    EXPECT_EQ(form.program, u"Cambrel"_s);
    EXPECT_EQ(form.version, u"1.0"_s);
    // Fields of another name are not decoded; an empty WORDS is a list of no lines.
    EXPECT_TRUE(readServiceForm(QByteArray(), "WORDS=").ok());
    EXPECT_TRUE(readServiceForm(Form + "; charset=UTF-8", "&WORDS&").words.isEmpty());
    EXPECT_EQ(readServiceForm(Form, "WORDS=a=b").words, u"a=b"_s);
    // A byte-order mark is part of the text.
    EXPECT_EQ(readServiceForm(Form, "WORDS=%EF%BB%BFa").words, u"\uFEFFa"_s);
}

TEST(ServiceForm, RefusesABodyThatIsNoValidForm)
{
    const auto statusOf = [](const QByteArray &type, const QByteArray &body) {
        const ServiceForm form = readServiceForm(type, body);
        EXPECT_EQ(form.ok(), form.status == 200);
        EXPECT_TRUE(form.words.isEmpty());
        return form.status;
    };
    EXPECT_EQ(statusOf(Form, "PROGRAM=Cambrel"), 400);
    EXPECT_EQ(statusOf(Form, ""), 400);
    EXPECT_EQ(statusOf(Form, "WORDS=%D0"), 400);     // a cut UTF-8 sequence
    EXPECT_EQ(statusOf(Form, "WORDS=%C0%AF"), 400);  // an overlong one
    EXPECT_EQ(statusOf(Form, "WORDS=ab%4"), 400);
    EXPECT_EQ(statusOf(Form, "WORDS=ab%G0"), 400);
    EXPECT_EQ(statusOf(Form, "X=%zz&WORDS=a"), 400);
    EXPECT_EQ(statusOf(Form, "WORDS=a&WORDS=b"), 400);
    EXPECT_EQ(statusOf(Form, "PROGRAM=%FF&WORDS=a"), 400);
    EXPECT_EQ(statusOf("text/plain", "WORDS=a"), 415);
    EXPECT_EQ(statusOf("multipart/form-data; boundary=x", "WORDS=a"), 415);
    EXPECT_EQ(readServiceForm(Form, "WORDS=%D0").error, u"WORDS is not valid UTF-8"_s);
}

TEST(ServiceForm, DecodesTheDeclaredCharset)
{
    // «кот» in windows-1251 and in KOI8-R.
    EXPECT_EQ(readServiceForm(Form + "; charset=windows-1251", "WORDS=%EA%EE%F2").words, u"кот"_s);
    EXPECT_EQ(readServiceForm(Form + ";charset=\"KOI8-R\"", "WORDS=%CB%CF%D4").words, u"кот"_s);
    EXPECT_EQ(readServiceForm(Form + "; charset=utf-16le", "WORDS=%3A%04").words, u"к"_s);
    EXPECT_EQ(readServiceForm(Form + "; charset=utf-16le", "WORDS=%3A").status, 400);
    const ServiceForm unknown = readServiceForm(Form + "; charset=x-no-such", "WORDS=a");
    EXPECT_EQ(unknown.status, 415);
    EXPECT_EQ(unknown.error, u"unknown charset x-no-such"_s);
}
