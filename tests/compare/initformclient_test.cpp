#include "compare/initformclient.h"

#include "tests/support/printers.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

/// A one-thread HTTP service on 127.0.0.1 that records each request as bytes and answers
/// with the next canned reply; an empty canned reply leaves the connection hanging.
class FakeService : public QObject
{
public:
    FakeService()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        });
    }
    QUrl url() const
    {
        return QUrl(u"http://127.0.0.1:%1/words/initform.php"_s.arg(m_server.serverPort()));
    }
    void answer(const QByteArray &status, const QByteArray &body, const QByteArray &headers = {})
    {
        m_replies.append("HTTP/1.1 " + status + "\r\nContent-Length: "
                         + QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
    }
    void stall() { m_replies.append(QByteArray()); }
    void closeWithoutReply() { m_replies.append(QByteArray("close")); }

    QList<QByteArray> requests;  // head and body of each request

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype headEnd = pending.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        qsizetype length = 0;
        for (const QByteArray &line : pending.left(headEnd).split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (pending.size() < headEnd + 4 + length)
            return;
        requests.append(pending.left(headEnd + 4 + length));
        pending.remove(0, headEnd + 4 + length);
        const QByteArray reply = m_replies.isEmpty() ? QByteArray() : m_replies.takeFirst();
        if (reply == "close")
            socket->abort();
        else if (!reply.isEmpty())
            socket->write(reply);
    }

    QTcpServer m_server;
    QList<QByteArray> m_replies;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

QByteArray bodyOf(const QByteArray &request)
{
    return request.mid(request.indexOf("\r\n\r\n") + 4);
}

QByteArray headerOf(const QByteArray &request, const QByteArray &name)
{
    for (const QByteArray &line : request.left(request.indexOf("\r\n\r\n")).split('\n'))
        if (line.toLower().startsWith(name.toLower() + ':'))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

} // namespace

TEST(InitialFormClient, PostsTheFormAndKeepsCookies)
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
}

TEST(InitialFormClient, LineEndsOfTheReplyBecomeCrLf)
{
    FakeService service;
    service.answer("200 OK", "а\r\nб\r\n");
    service.answer("200 OK", "а\nб\n");
    service.answer("200 OK", "а\r\r\nб\rв");
    service.answer("200 OK", "\xe0\r\n", "Content-Type: text/plain; charset=windows-1251\r\n");
    InitialFormClient client(service.url());
    EXPECT_EQ(client.convert(u"x"_s).text, u"а\r\nб\r\n"_s);
    EXPECT_EQ(client.convert(u"x"_s).text, u"а\r\nб\r\n"_s);
    EXPECT_EQ(client.convert(u"x"_s).text, u"а\r\nбв"_s);
    EXPECT_EQ(client.convert(u"x"_s).text, u"а\r\n"_s);
}

TEST(InitialFormClient, EveryFailureGivesTheOneMessage)
{
    FakeService service;
    service.answer("500 Internal Server Error", "oops");
    service.answer("404 Not Found", "");
    service.answer("200 OK", "");  // would wipe a list that was not empty
    service.closeWithoutReply();
    service.stall();
    InitialFormClient client(service.url());
    client.setStallTimeout(200);
    for (int attempt = 0; attempt < 5; ++attempt) {
        const InitialFormsReply reply = client.convert(u"кот"_s);
        EXPECT_EQ(reply.error, u"Сервер недоступен, попробуйте выполнить операцию позже."_s)
            << attempt;
        EXPECT_EQ(reply.text, QString());
    }
    // Qt may send a request again once when the connection closes unanswered.
    EXPECT_GE(service.requests.size(), 5);

    // Nobody listening on the port.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    InitialFormClient refused(QUrl(u"http://127.0.0.1:%1/words/initform.php"_s.arg(port)));
    EXPECT_FALSE(refused.convert(u"кот"_s).ok());
}
