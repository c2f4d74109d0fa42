#pragma once

#include <QString>

#include <functional>
#include <memory>

/// How `lexorum-cli serve` runs the lemmatisation service.
struct ServiceOptions
{
    QString dictionary;  // the SQLite file with the `forms` table
    QString host = QStringLiteral("127.0.0.1");
    int port = 8731;                    // 0 takes a free port; see ServiceServer::port()
    int threads = 16;                   // conversions at once; reading and writing never wait
    qint64 maxBody = 16 * 1024 * 1024;  // bytes of request body
    int maxConnections = 1000;          // more are closed at once, never queued
    qint64 maxMemory = qint64(1) << 30;  // bytes all requests in hand may take together
    int reloadDelaySeconds = 10;        // after a failed load, the next try comes with the
                                        // first request after this delay
    int idleTimeoutMs = 10'000;     // a connection silent this long is closed
    int requestTimeoutMs = 30'000;  // a request not read or its answer not taken by then, too
    int stopTimeoutMs = 30'000;     // after stop(), what is still unanswered then is dropped
};

/// The lemmatisation service over HTTP: `POST /words/initform.php` with the form fields WORDS (and
/// PROGRAM, VERSION) answers the list with each word in its initial form; `GET /health` answers
/// "ok" once the dictionary is in memory. Every bad request gets a status and a one-line plain-text
/// reason; until the dictionary is loaded, conversions get 503. Each answered request writes one
/// line to the log.
///
/// Made for clients that misbehave: connections are served by a few event threads, so silent,
/// slow or pipelining clients cost a socket and a small buffer but hold up nobody; conversions run
/// on a pool of their own. The request line, the header count and the header bytes are bounded
/// (414, 431), a body's memory is reserved from `maxMemory` before it is read (503 when it would
/// not fit), a compressed or multipart body gets 415 and a broken Content-Length 400.
class ServiceServer
{
public:
    using Log = std::function<void(const QString &line)>;
    explicit ServiceServer(ServiceOptions options, Log log = {});
    ~ServiceServer();
    ServiceServer(const ServiceServer &) = delete;
    ServiceServer &operator=(const ServiceServer &) = delete;

    /// Takes the listening address with the system's longest backlog; on failure (port in use, no
    /// such address) returns false with a one-line reason.
    bool bind(QString *error);
    int port() const;
    /// Starts reading the dictionary on a thread of its own.
    void startLoading();
    /// Blocks until the load under way ends; true when the dictionary is in memory.
    bool waitForDictionary();
    /// Serves the bound address until stop(); returns once every request already received is
    /// answered (or stopTimeoutMs passed).
    void run();
    /// Stops taking connections, closes idle ones and cancels a dictionary load under way; safe
    /// from any thread and from a signal's watcher.
    void stop();

    /// Runs inside each conversion request on its pool thread, before it is converted. Tests use
    /// it to hold requests in flight.
    void setRequestHook(std::function<void()> hook);
    /// Runs on an event thread when a conversion request was read whole and waits for the pool;
    /// it must not block.
    void setQueuedHook(std::function<void()> hook);

private:
    class Private;
    std::unique_ptr<Private> d;
};
