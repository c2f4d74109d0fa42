#include "compare/initformclient.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace {

QString decodeBody(const QByteArray &body, const QString &contentType)
{
    static const QRegularExpression Charset(u"charset\\s*=\\s*\"?([^\";\\s]+)"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = Charset.match(contentType);
    if (match.hasMatch()) {
        QStringDecoder decoder(match.captured(1).toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return QString::fromUtf8(body);
}

} // namespace

InitialFormClient::InitialFormClient(const QUrl &url, QObject *parent)
    : QObject(parent)
    , m_url(url)
{
    // The default jar keeps the service's cookies for as long as this client lives.
    m_network.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QByteArray InitialFormClient::requestBody(const QString &words)
{
    return "PROGRAM=Cambrel&VERSION=1.0&WORDS=" + QUrl::toPercentEncoding(words);
}

void InitialFormClient::cancel()
{
    if (m_pending) {
        m_cancelled = true;
        m_pending->abort();
    }
}

QString InitialFormClient::boxTextOfReply(const QString &reply)
{
    QString text = reply;
    text.remove(u'\r');
    text.replace(u'\n', u"\r\n"_s);
    return text;
}

InitialFormsReply InitialFormClient::convert(const QString &words)
{
    QNetworkRequest request(m_url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      u"application/x-www-form-urlencoded"_s);
    request.setRawHeader("Accept",
                         "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    // Counted from the last byte that moved, so a long but live reply is not cut off.
    request.setTransferTimeout(m_stallTimeout);

    QNetworkReply *reply = m_network.post(request, requestBody(words));
    m_pending = reply;
    m_cancelled = false;
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    m_pending = nullptr;

    InitialFormsReply result;
    if (m_cancelled) {
        result.cancelled = true;
        reply->deleteLater();
        return result;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->isOpen() ? reply->readAll() : QByteArray();
    const bool failed = reply->error() != QNetworkReply::NoError || status < 200 || status > 299
                        || (body.isEmpty() && !words.isEmpty());
    if (failed)
        result.error = ServiceUnavailableMessage;
    else
        result.text = boxTextOfReply(
            decodeBody(body, reply->header(QNetworkRequest::ContentTypeHeader).toString()));
    reply->deleteLater();
    return result;
}
