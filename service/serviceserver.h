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
    int threads = 16;                   // connections served at once
    qint64 maxBody = 16 * 1024 * 1024;  // bytes of request body, after any decompression
    int reloadDelaySeconds = 10;        // after a failed load, the next try comes with the
                                        // first request after this delay
};

/// The lemmatisation service over HTTP: `POST /words/initform.php` with the form fields WORDS (and
/// PROGRAM, VERSION) answers the list with each word in its initial form; `GET /health` answers
/// "ok" once the dictionary is in memory. Every bad request gets a status and a one-line plain-text
/// reason; until the dictionary is loaded, conversions get 503. Each answered request writes one
/// line to the log.
class ServiceServer
{
public:
    using Log = std::function<void(const QString &line)>;
    explicit ServiceServer(ServiceOptions options, Log log = {});
    ~ServiceServer();
    ServiceServer(const ServiceServer &) = delete;
    ServiceServer &operator=(const ServiceServer &) = delete;

    /// Takes the listening address; on failure (port in use, no such address) returns false with a
    /// one-line reason.
    bool bind(QString *error);
    int port() const;
    /// Starts reading the dictionary on a thread of its own.
    void startLoading();
    /// Blocks until the load under way ends; true when the dictionary is in memory.
    bool waitForDictionary();
    /// Serves the bound address until stop(); returns once the requests in flight are answered.
    void run();
    /// Stops taking connections and cancels a dictionary load under way; safe from any thread.
    void stop();

    /// Runs inside each conversion request after its body was read, before it is converted. Tests
    /// use it to hold requests in flight.
    void setRequestHook(std::function<void()> hook);

private:
    class Private;
    std::unique_ptr<Private> d;
};
