#include "compare/initformclient.h"

#include "tests/compare/fakeservice.h"
#include "tests/support/printers.h"

#include <QTcpServer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(InitialFormClient, PostsTheFormKeepsCookiesAndEndsLinesWithCrLf)
{
    FakeService service;
    service.answer("200 OK", "кот\nпёс\n", "Set-Cookie: session=42; Path=/\r\n");
    service.answer("200 OK", "");
    InitialFormClient client(service.url());

    const InitialFormsReply reply = client.convert(u"коты\r\nпсы & co\r\n"_s);
    ASSERT_TRUE(reply.ok()) << reply.error.toStdString();
    EXPECT_EQ(reply.text, u"кот\r\nпёс\r\n"_s);
    ASSERT_EQ(service.requests.size(), 1);
    const QByteArray &request = service.requests.first();
    EXPECT_TRUE(request.startsWith("POST /words/initform.php HTTP/1.1\r\n"));
    EXPECT_EQ(bodyOf(request), "PROGRAM=Cambrel&VERSION=1.0&WORDS=%D0%BA%D0%BE%D1%82%D1%8B%0D%0A"
                               "%D0%BF%D1%81%D1%8B%20%26%20co%0D%0A");
    EXPECT_EQ(headerOf(request, "Accept"),
              "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    EXPECT_EQ(headerOf(request, "User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(headerOf(request, "Content-Type"), "application/x-www-form-urlencoded");

    // An empty box still sends the three fields, and may get an empty list back.
    const InitialFormsReply empty = client.convert(QString());
    EXPECT_TRUE(empty.ok());
    EXPECT_EQ(empty.text, QString());
    ASSERT_EQ(service.requests.size(), 2);
    EXPECT_EQ(bodyOf(service.requests[1]), "PROGRAM=Cambrel&VERSION=1.0&WORDS=");
    EXPECT_EQ(headerOf(service.requests[1], "Cookie"), "session=42");

    // The line ends of a reply become CR LF.
    for (const auto &[body, text] : {std::pair{QByteArray("а\r\nб\r\n"), u"а\r\nб\r\n"_s},
                                     {"а\nб\n", u"а\r\nб\r\n"_s}, {"а\r\r\nб\rв", u"а\r\nбв"_s}}) {
        service.answer("200 OK", body);
        EXPECT_EQ(client.convert(u"x"_s).text, text) << body.constData();
    }
    service.answer("200 OK", "\xe0\r\n", "Content-Type: text/plain; charset=windows-1251\r\n");
    EXPECT_EQ(client.convert(u"x"_s).text, u"а\r\n"_s);
}

TEST(InitialFormClient, EveryFailureGivesTheOneMessage)
{
    FakeService service;
    service.answer("500 Internal Server Error", "oops");
    service.answer("404 Not Found", "");
    service.answer("200 OK", "");  // would wipe a list that was not empty
    service.stall();
    InitialFormClient client(service.url());
    client.setStallTimeout(200);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const InitialFormsReply reply = client.convert(u"кот"_s);
        EXPECT_EQ(reply.error, u"Сервер недоступен, попробуйте выполнить операцию позже."_s)
            << attempt;
        EXPECT_EQ(reply.text, QString());
    }
    EXPECT_EQ(service.requests.size(), 4);

    // Nobody listening on the port.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    InitialFormClient refused(QUrl(u"http://127.0.0.1:%1/words/initform.php"_s.arg(port)));
    EXPECT_FALSE(refused.convert(u"кот"_s).ok());
}
