#pragma once

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>

inline QByteArray bodyOf(const QByteArray &request)
{
    return request.mid(request.indexOf("\r\n\r\n") + 4);
}

inline QByteArray headerOf(const QByteArray &request, const QByteArray &name)
{
    for (const QByteArray &line : request.left(request.indexOf("\r\n\r\n")).split('\n'))
        if (line.toLower().startsWith(name.toLower() + ':'))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

/// A one-thread HTTP service on 127.0.0.1 standing in for the initial forms service: records
/// each request as bytes and answers with the next canned reply; an empty canned reply leaves
/// the connection hanging.
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
        return QUrl(QStringLiteral("http://127.0.0.1:%1/words/initform.php")
                        .arg(m_server.serverPort()));
    }
    void answer(const QByteArray &status, const QByteArray &body, const QByteArray &headers = {})
    {
        m_replies.append("HTTP/1.1 " + status + "\r\nContent-Length: "
                         + QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
    }
    void stall() { m_replies.append(QByteArray()); }

    QList<QByteArray> requests;  // head and body of each request
    std::function<void()> onRequest;  // called before the reply goes

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype headEnd = pending.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        const qsizetype length = headerOf(pending, "Content-Length").toLongLong();
        if (pending.size() < headEnd + 4 + length)
            return;
        requests.append(pending.left(headEnd + 4 + length));
        pending.remove(0, headEnd + 4 + length);
        if (onRequest)
            onRequest();
        const QByteArray reply = m_replies.isEmpty() ? QByteArray() : m_replies.takeFirst();
        if (!reply.isEmpty())
            socket->write(reply);
    }

    QTcpServer m_server;
    QList<QByteArray> m_replies;
    QHash<QTcpSocket *, QByteArray> m_pending;
};
