#include "service/serviceserver.h"

#include "service/lemmatizer.h"
#include "service/serviceform.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>

#include <httplib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

#include <sys/socket.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

// httplib takes patterns as regular expressions.
const char WordsPattern[] = R"(/words/initform\.php)";
const char HealthPattern[] = R"(/health)";
const char PlainText[] = "text/plain; charset=utf-8";

// What the log line of a request tells beyond the request itself. httplib serves each request on
// one worker thread from its first byte to its log line.
struct RequestNote
{
    Clock::time_point start;
    bool started = false;
    qsizetype lines = -1;
    QString client;
};
thread_local RequestNote Note;

void answer(httplib::Response &res, int status, const QString &reason)
{
    res.status = status;
    res.set_content((reason + u'\n').toStdString(), PlainText);
}

// Text from a request for the log: no control characters, not too long.
QString printable(const QString &text)
{
    QString shown = text.left(60);
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = u'?';
    return shown;
}

QString reasonFor(int status)
{
    switch (status) {
    case 400:
        return u"bad request"_s;
    case 404:
        return u"not found; the service answers POST /words/initform.php and GET /health"_s;
    case 405:
        return u"method not allowed"_s;
    case 413:
        return u"the request body is too large"_s;
    case 414:
        return u"the request line is too long"_s;
    case 415:
        return u"unsupported content encoding"_s;
    default:
        return u"the request failed"_s;
    }
}

} // namespace

class ServiceServer::Private
{
public:
    explicit Private(ServiceOptions serviceOptions, Log logger)
        : options(std::move(serviceOptions))
        , log(std::move(logger))
    {}

    void setUp();
    void convertRequest(const httplib::Request &req, httplib::Response &res,
                        const httplib::ContentReader &reader);
    std::shared_ptr<const Lemmatizer> currentDictionary(QString *reason);
    void beginLoad();
    void load();
    void writeLog(const QString &line);

    const ServiceOptions options;
    const Log log;
    httplib::Server server;
    int port = -1;
    std::function<void()> hook;

    std::mutex logMutex;
    std::mutex stateMutex;  // guards the dictionary state below
    std::condition_variable loadEnded;
    std::shared_ptr<const Lemmatizer> dictionary;
    QString loadError;
    bool loading = false;
    bool attempted = false;
    Clock::time_point lastAttempt;
    std::thread loader;

    std::atomic<bool> runEntered = false;
    std::atomic<bool> runFinished = false;
    std::atomic<bool> stopping = false;
};

void ServiceServer::Private::setUp()
{
    const auto threads = std::size_t(std::max(1, options.threads));
    server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server.set_read_timeout(10);
    server.set_write_timeout(10);
    server.set_keep_alive_timeout(5);
    server.set_keep_alive_max_count(20);
    server.set_payload_max_length(std::size_t(options.maxBody));
    server.set_tcp_nodelay(true);
    // The library's default adds SO_REUSEPORT, with which a second service binds the same port
    // without a word and the two share the requests: a port in use must fail instead.
    server.set_socket_options([](int socket) {
        const int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    server.Post(WordsPattern,
                [this](const httplib::Request &req, httplib::Response &res,
                       const httplib::ContentReader &reader) { convertRequest(req, res, reader); });
    server.Get(HealthPattern, [this](const httplib::Request &, httplib::Response &res) {
        QString reason;
        if (currentDictionary(&reason))
            answer(res, 200, u"ok"_s);
        else
            answer(res, 503, reason);
    });
    const auto notAllowed = [](const char *allowed) {
        return [allowed](const httplib::Request &, httplib::Response &res) {
            answer(res, 405, u"method not allowed; use "_s + QLatin1StringView(allowed));
            res.set_header("Allow", allowed);
        };
    };
    server.Get(WordsPattern, notAllowed("POST"));
    server.Put(WordsPattern, notAllowed("POST"));
    server.Patch(WordsPattern, notAllowed("POST"));
    server.Delete(WordsPattern, notAllowed("POST"));
    server.Options(WordsPattern, notAllowed("POST"));
    server.Post(HealthPattern, notAllowed("GET"));
    server.Put(HealthPattern, notAllowed("GET"));
    server.Patch(HealthPattern, notAllowed("GET"));
    server.Delete(HealthPattern, notAllowed("GET"));
    server.Options(HealthPattern, notAllowed("GET"));

    server.set_pre_routing_handler([](const httplib::Request &, httplib::Response &) {
        Note = RequestNote{Clock::now(), true, -1, {}};
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Errors the library finds itself (bad request line, unknown path, oversized body) come without
    // a body: give them their reason.
    server.set_error_handler([](const httplib::Request &, httplib::Response &res) {
        if (res.body.empty())
            answer(res, res.status, reasonFor(res.status));
    });
    server.set_exception_handler(
        [](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
            res.set_header("Connection", "close");
            answer(res, 500, u"the service failed on this request"_s);
        });
    server.set_logger([this](const httplib::Request &req, const httplib::Response &res) {
        const qint64 ms =
            Note.started
                ? std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - Note.start)
                      .count()
                : 0;
        QString line = QString::fromStdString(req.remote_addr) + u' '
                       + printable(QString::fromStdString(req.method)) + u' '
                       + printable(QString::fromStdString(req.path)) + u' '
                       + QString::number(res.status) + u' '
                       + (Note.lines < 0 ? u"-"_s : QString::number(Note.lines)) + u" lines "_s
                       + QString::number(ms) + u" ms"_s;
        if (!Note.client.isEmpty())
            line += u' ' + Note.client;
        writeLog(line);
        Note = RequestNote();
    });
}

void ServiceServer::Private::convertRequest(const httplib::Request &req, httplib::Response &res,
                                            const httplib::ContentReader &reader)
{
    // The library checks a declared Content-Length; this counts what a chunked or compressed body
    // really delivers.
    const auto limit = std::size_t(options.maxBody);
    std::string body;
    bool tooLarge = false;
    const bool read = reader([&](const char *data, std::size_t length) {
        if (length > limit - body.size()) {
            tooLarge = true;
            return false;
        }
        body.append(data, length);
        return true;
    });
    if (!read || tooLarge) {
        // What is left of the body must not be read as the next request.
        res.set_header("Connection", "close");
        if (tooLarge || res.status == 413)
            answer(res, 413, u"the request body exceeds %1 bytes"_s.arg(options.maxBody));
        else if (res.status == 415)
            answer(res, 415, u"unsupported content encoding"_s);
        else
            answer(res, 400, u"the request body could not be read"_s);
        return;
    }
    const ServiceForm form = readServiceForm(req.get_header_value("Content-Type"), body);
    body = std::string();
    if (!form.program.isEmpty() || !form.version.isEmpty())
        Note.client = printable(form.program) + u' ' + printable(form.version);
    if (!form.ok()) {
        answer(res, form.status, form.error);
        return;
    }
    QString reason;
    const std::shared_ptr<const Lemmatizer> lemmatizer = currentDictionary(&reason);
    if (!lemmatizer) {
        answer(res, 503, reason);
        res.set_header("Retry-After", std::to_string(std::max(1, options.reloadDelaySeconds)));
        return;
    }
    if (hook)
        hook();
    qsizetype lines = 0;
    const QByteArray reply = lemmatizer->convert(form.words, &lines).toUtf8();
    Note.lines = lines;
    res.status = 200;
    res.set_content(reply.constData(), std::size_t(reply.size()), PlainText);
}

std::shared_ptr<const Lemmatizer> ServiceServer::Private::currentDictionary(QString *reason)
{
    std::lock_guard lock(stateMutex);
    if (dictionary)
        return dictionary;
    if (attempted && !loading
        && Clock::now() - lastAttempt >= std::chrono::seconds(options.reloadDelaySeconds))
        beginLoad();
    *reason = loadError.isEmpty() ? u"the dictionary is loading; try again shortly"_s
                                  : u"the dictionary cannot be read: "_s + loadError;
    return {};
}

// Called with stateMutex held.
void ServiceServer::Private::beginLoad()
{
    loading = true;
    attempted = true;
    lastAttempt = Clock::now();
    if (loader.joinable())
        loader.join();  // the previous attempt has ended: loading was false
    loader = std::thread([this] { load(); });
}

void ServiceServer::Private::load()
{
    QElapsedTimer timer;
    timer.start();
    auto lemmatizer = std::make_shared<Lemmatizer>();
    QString error;
    bool loaded = false;
    try {
        loaded = lemmatizer->load(options.dictionary, &error, &stopping);
    } catch (const std::bad_alloc &) {
        error = QDir::toNativeSeparators(options.dictionary) + u": out of memory"_s;
    }
    if (loaded)
        writeLog(u"dictionary %1: %2 forms in %3 MB, read in %4 ms"_s
                     .arg(QDir::toNativeSeparators(options.dictionary))
                     .arg(lemmatizer->formCount())
                     .arg(lemmatizer->memoryUse() / (1024 * 1024))
                     .arg(timer.elapsed()));
    else
        writeLog(u"dictionary cannot be read: "_s + error);
    {
        std::lock_guard lock(stateMutex);
        if (loaded)
            dictionary = std::move(lemmatizer);
        else
            loadError = error;
        loading = false;
    }
    loadEnded.notify_all();
}

void ServiceServer::Private::writeLog(const QString &line)
{
    if (!log)
        return;
    std::lock_guard lock(logMutex);
    log(line);
}

ServiceServer::ServiceServer(ServiceOptions options, Log log)
    : d(std::make_unique<Private>(std::move(options), std::move(log)))
{
    d->setUp();
}

ServiceServer::~ServiceServer()
{
    stop();
    std::unique_lock lock(d->stateMutex);
    d->loadEnded.wait(lock, [this] { return !d->loading; });
    if (d->loader.joinable())
        d->loader.join();
}

bool ServiceServer::bind(QString *error)
{
    const std::string host = d->options.host.toStdString();
    errno = 0;
    if (d->options.port == 0)
        d->port = d->server.bind_to_any_port(host);
    else if (d->server.bind_to_port(host, d->options.port))
        d->port = d->options.port;
    if (d->port > 0)
        return true;
    const int cause = errno;
    *error = u"cannot listen on %1:%2: %3"_s.arg(
        d->options.host, QString::number(d->options.port),
        cause != 0 ? QString::fromLocal8Bit(std::strerror(cause)) : u"address not available"_s);
    return false;
}

int ServiceServer::port() const
{
    return d->port;
}

void ServiceServer::startLoading()
{
    std::lock_guard lock(d->stateMutex);
    if (!d->loading && !d->dictionary)
        d->beginLoad();
}

bool ServiceServer::waitForDictionary()
{
    std::unique_lock lock(d->stateMutex);
    d->loadEnded.wait(lock, [this] { return !d->loading; });
    return d->dictionary != nullptr;
}

void ServiceServer::run()
{
    d->runEntered = true;
    if (!d->stopping && d->port > 0)
        d->server.listen_after_bind();
    d->runFinished = true;
}

void ServiceServer::stop()
{
    if (d->stopping.exchange(true))
        return;
    // run() may stand between its look at stopping and the start of listening, when the library's
    // stop() would do nothing: wait that moment out.
    while (d->runEntered && !d->runFinished && !d->server.is_running())
        std::this_thread::yield();
    d->server.stop();
}

void ServiceServer::setRequestHook(std::function<void()> hook)
{
    d->hook = std::move(hook);
}
