#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

class QNetworkReply;

/// What the initial-form service gave for a box.
struct InitialFormsReply
{
    QString text;   // the converted list, lines ending in CR LF
    QString error;  // the message for the user; empty on success
    bool cancelled = false;  // the user gave up waiting: no text, and no message either
    bool ok() const { return error.isEmpty() && !cancelled; }
};

/// The client of the initial-form service: one form post per request, cookies kept for the
/// life of the client. Every failure (no connection, a broken one, an error status, no
/// progress for the stall time-out, an empty reply to words that were not empty) gives the
/// one message ServiceUnavailableMessage, so that the caller leaves its box as it was.
class InitialFormClient final : public QObject
{
    Q_OBJECT
public:
    static inline const QString ServiceUnavailableMessage =
        QStringLiteral("Сервер недоступен, попробуйте выполнить операцию позже.");

    explicit InitialFormClient(const QUrl &url, QObject *parent = nullptr);
    void setUrl(const QUrl &url) { m_url = url; }
    QUrl url() const { return m_url; }
    /// How long a request may go without any bytes moving; 30 s unless set.
    void setStallTimeout(int milliseconds) { m_stallTimeout = milliseconds; }

    /// Posts the words and waits in a local event loop: windows repaint meanwhile, so the
    /// caller must keep the user from starting other commands until it returns.
    InitialFormsReply convert(const QString &words);
    /// Gives up the request under way: convert returns a cancelled reply.
    void cancel();

    /// "PROGRAM=Cambrel&VERSION=1.0&WORDS=" and the words, percent-encoded as UTF-8.
    static QByteArray requestBody(const QString &words);
    /// The reply with every CR dropped and every LF made CR LF.
    static QString boxTextOfReply(const QString &reply);

private:
    QNetworkAccessManager m_network;
    QUrl m_url;
    int m_stallTimeout = 30000;
    QNetworkReply *m_pending = nullptr;
    bool m_cancelled = false;
};
