#include "service/serviceserver.h"

#include "service/lemmatizer.h"
#include "service/serviceform.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <boost/asio/bind_executor.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <sys/socket.h>

using namespace Qt::Literals::StringLiterals;

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

using Clock = std::chrono::steady_clock;
using Request = http::request<http::string_body>;
using Response = http::response<http::string_body>;

const char WordsPath[] = "/words/initform.php";
const char HealthPath[] = "/health";
const char PlainText[] = "text/plain; charset=utf-8";

// Past these a request gets 414 or 431 before any field is stored.
constexpr std::size_t MaxRequestLine = 8 * 1024;
constexpr std::size_t MaxHeaderBytes = 16 * 1024;  // request line included
constexpr int MaxHeaderLines = 100;
constexpr std::size_t ReadSize = 16 * 1024;
// The text of a body at most doubles as UTF-16, its converted copy takes as much again with room
// to grow, and the UTF-8 answer less than that: six times the body bounds a request's peak.
constexpr qint64 MemoryPerBodyByte = 6;
constexpr qint64 MemoryPerRequest = 64 * 1024;

// Text from a request for the log: no control characters, not too long.
QString printable(const QString &text)
{
    QString shown = text.left(60);
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = u'?';
    return shown;
}

QString fromView(beast::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// How much of the header has come: its lines so far, the bytes of its first line, and whether the
// blank line that ends it is there. A pipelined request after it is not looked at.
struct HeaderScan
{
    int lines = 0;
    std::size_t firstLine = 0;
    bool complete = false;
};

HeaderScan scanHeader(std::string_view bytes)
{
    HeaderScan scan;
    scan.firstLine = bytes.size();
    std::size_t lineStart = 0;
    for (std::size_t i = bytes.find('\n'); i != std::string_view::npos;
         i = bytes.find('\n', i + 1)) {
        const std::size_t length = i - lineStart;
        if (scan.lines == 0)
            scan.firstLine = length;
        if (length == 0 || (length == 1 && bytes[lineStart] == '\r')) {
            scan.complete = scan.lines > 0;
            if (scan.complete)
                return scan;
        } else {
            ++scan.lines;
        }
        lineStart = i + 1;
    }
    return scan;
}

int readBacklog()
{
    QFile file(u"/proc/sys/net/core/somaxconn"_s);
    bool ok = false;
    int value = 0;
    if (file.open(QIODevice::ReadOnly))
        value = file.readAll().trimmed().toInt(&ok);
    return ok && value > 0 ? value : SOMAXCONN;
}

// What the requests in hand may take together; a reservation that does not fit fails at once.
class MemoryBudget
{
public:
    explicit MemoryBudget(qint64 limit)
        : m_limit(limit)
    {}
    bool take(qint64 bytes)
    {
        qint64 used = m_used.load();
        do {
            if (bytes > m_limit - used)
                return false;
        } while (!m_used.compare_exchange_weak(used, used + bytes));
        return true;
    }
    void give(qint64 bytes) { m_used -= bytes; }

private:
    const qint64 m_limit;
    std::atomic<qint64> m_used = 0;
};

} // namespace

class ServiceServer::Private
{
public:
    explicit Private(ServiceOptions serviceOptions, Log logger)
        : options(std::move(serviceOptions))
        , log(std::move(logger))
        , budget(options.maxMemory)
        , pool(std::size_t(std::max(1, options.threads)))
    {}

    class Connection;

    void accept();
    void refuse(tcp::socket socket);
    void beginStop();
    std::vector<std::shared_ptr<Connection>> openConnections() const;
    using ConnectionList = std::list<std::weak_ptr<Connection>>;
    void connectionOpened(const std::shared_ptr<Connection> &connection);
    void connectionClosed(ConnectionList::iterator entry);
    std::shared_ptr<const Lemmatizer> currentDictionary(QString *reason);
    void beginLoad();
    void load();
    void writeLog(const QString &line);

    const ServiceOptions options;
    const Log log;
    MemoryBudget budget;
    asio::io_context io;
    tcp::acceptor acceptor{io};
    asio::steady_timer stopTimer{io};
    asio::steady_timer acceptPause{io};
    asio::thread_pool pool;
    int port = -1;
    std::function<void()> hook;
    std::function<void()> queuedHook;

    std::mutex connectionsMutex;  // guards the list, and the stop timer against the last close
    ConnectionList connections;
    std::atomic<int> connectionCount = 0;

    std::mutex logMutex;
    std::mutex stateMutex;  // guards the dictionary state below
    std::condition_variable loadEnded;
    std::shared_ptr<const Lemmatizer> dictionary;
    QString loadError;
    bool loading = false;
    bool attempted = false;
    Clock::time_point lastAttempt;
    std::thread loader;

    std::atomic<bool> stopping = false;
    std::atomic<bool> running = false;
    std::mutex stopMutex;  // with stopTaken: stop() returns once the listening has ended
    std::condition_variable stopTaken;
    bool acceptorClosed = false;
};

// One client connection, served on its own strand: requests are read one at a time and each is
// answered before the next is parsed, so pipelined requests are answered in order.
class ServiceServer::Private::Connection final : public std::enable_shared_from_this<Connection>
{
public:
    Connection(Private &server, tcp::socket socket)
        : m_server(server)
        , m_stream(std::move(socket))
    {
        beast::error_code ignored;
        const tcp::endpoint remote = m_stream.socket().remote_endpoint(ignored);
        m_remote = QString::fromStdString(remote.address().to_string(ignored));
        m_stream.socket().set_option(tcp::no_delay(true), ignored);
    }
    ~Connection()
    {
        releaseMemory();
        if (m_registered)
            m_server.connectionClosed(m_entry);
    }
    void registered(ConnectionList::iterator entry)
    {
        m_entry = entry;
        m_registered = true;
    }

    void start() { nextRequest(); }
    // From the stop: a connection between requests closes now, one with a request under way
    // closes after its answer.
    void stop()
    {
        // Bytes already in the socket are a request received, even when not read yet. A read
        // under way is cancelled, not closed under it: it may have taken the first bytes of a
        // request already, and then its handler answers that request before the close.
        beast::error_code ignored;
        if (!m_busy && !m_requestStarted && m_stream.socket().available(ignored) == 0)
            m_stream.cancel();
    }
    asio::any_io_executor executor() { return m_stream.get_executor(); }
    void close()
    {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
        m_stream.close();
    }

private:
    void nextRequest();
    void readMore();
    void parse();
    bool checkHeader();
    void handleRequest();
    void convert(Request request);
    void answer(int status, const QString &reason, bool closeAfter = true);
    void send(bool closeAfter);
    void sent(bool closeAfter);
    void drainAndClose();
    void releaseMemory();
    void armDeadline();

    Private &m_server;
    beast::tcp_stream m_stream;
    beast::flat_buffer m_buffer{MaxHeaderBytes + ReadSize};
    std::optional<http::request_parser<http::string_body>> m_parser;
    Response m_response;
    QString m_remote;
    bool m_requestStarted = false;  // bytes of the next request have come
    bool m_headerChecked = false;
    bool m_busy = false;  // a request is being converted or answered
    Clock::time_point m_requestStart;
    Clock::time_point m_requestDeadline;
    qint64 m_reserved = 0;
    ConnectionList::iterator m_entry;
    bool m_registered = false;
    bool m_draining = false;

    // What the log line of a request tells beyond the request itself.
    QString m_method;
    QString m_path;
    qsizetype m_lines = -1;
    QString m_client;
};

void ServiceServer::Private::Connection::nextRequest()
{
    releaseMemory();
    m_busy = false;
    m_headerChecked = false;
    m_lines = -1;
    m_client.clear();
    m_method.clear();
    m_path.clear();
    m_parser.emplace();
    m_parser->header_limit(std::uint32_t(MaxHeaderBytes));
    m_parser->body_limit(std::uint64_t(m_server.options.maxBody));
    m_parser->eager(true);
    m_requestStarted = m_buffer.size() > 0;
    if (m_requestStarted) {
        m_requestStart = Clock::now();
        m_requestDeadline =
            m_requestStart + std::chrono::milliseconds(m_server.options.requestTimeoutMs);
        parse();
        return;
    }
    beast::error_code ignored;
    if (m_server.stopping && m_stream.socket().available(ignored) == 0) {
        close();
        return;
    }
    readMore();
}

void ServiceServer::Private::Connection::armDeadline()
{
    const auto idle = Clock::now() + std::chrono::milliseconds(m_server.options.idleTimeoutMs);
    m_stream.expires_at(m_requestStarted ? std::min(idle, m_requestDeadline) : idle);
}

void ServiceServer::Private::Connection::readMore()
{
    armDeadline();
    const std::size_t room = std::min(ReadSize, m_buffer.max_size() - m_buffer.size());
    m_stream.async_read_some(
        m_buffer.prepare(room),
        [self = shared_from_this()](beast::error_code error, std::size_t got) {
            if (error) {
                // Silence, a timeout or a half-close: nothing more will come, and a request
                // cut short gets no answer the client could still read.
                self->close();
                return;
            }
            self->m_buffer.commit(got);
            if (!self->m_requestStarted) {
                self->m_requestStarted = true;
                self->m_requestStart = Clock::now();
                self->m_requestDeadline =
                    self->m_requestStart
                    + std::chrono::milliseconds(self->m_server.options.requestTimeoutMs);
            }
            self->parse();
        });
}

void ServiceServer::Private::Connection::parse()
{
    while (!m_parser->is_header_done()) {
        const auto *data = static_cast<const char *>(m_buffer.data().data());
        const HeaderScan scan = scanHeader(std::string_view(data, m_buffer.size()));
        if (scan.firstLine > MaxRequestLine) {
            m_method = u"-"_s;
            answer(414, u"the request line is too long"_s);
            return;
        }
        if (scan.lines > MaxHeaderLines + 1) {
            m_method = u"-"_s;
            answer(431, u"the request has more than %1 header fields"_s.arg(MaxHeaderLines));
            return;
        }
        if (!scan.complete) {
            if (m_buffer.size() >= MaxHeaderBytes) {
                m_method = u"-"_s;
                answer(431, u"the request header exceeds %1 bytes"_s.arg(MaxHeaderBytes));
                return;
            }
            readMore();
            return;
        }
        beast::error_code error;
        const std::size_t used = m_parser->put(m_buffer.data(), error);
        m_buffer.consume(used);
        if (error == http::error::need_more)
            continue;
        if (error) {
            m_method = u"-"_s;
            if (error == http::error::header_limit)
                answer(431, u"the request header exceeds %1 bytes"_s.arg(MaxHeaderBytes));
            else if (error == http::error::bad_content_length)
                answer(400, u"bad request: a missing, malformed or conflicting Content-Length"_s);
            else if (error == http::error::body_limit)
                answer(413, u"the request body exceeds %1 bytes"_s.arg(m_server.options.maxBody));
            else
                answer(400, u"bad request: "_s + QString::fromStdString(error.message()));
            return;
        }
    }
    if (!m_headerChecked) {
        m_headerChecked = true;
        if (!checkHeader())
            return;
    }
    while (!m_parser->is_done() && m_buffer.size() > 0) {
        beast::error_code error;
        const std::size_t used = m_parser->put(m_buffer.data(), error);
        m_buffer.consume(used);
        if (error == http::error::need_more)
            break;
        if (error) {
            if (error == http::error::body_limit)
                answer(413, u"the request body exceeds %1 bytes"_s.arg(m_server.options.maxBody));
            else
                answer(400, u"the request body could not be read: "_s
                                + QString::fromStdString(error.message()));
            return;
        }
        if (used == 0)
            break;
    }
    if (m_parser->is_done())
        handleRequest();
    else
        readMore();
}

// Decides what it can from the header alone, before any of the body is read or held.
bool ServiceServer::Private::Connection::checkHeader()
{
    const Request &request = m_parser->get();
    m_method = printable(fromView(request.method_string()));
    const beast::string_view target = request.target();
    m_path = printable(fromView(target.substr(0, target.find('?'))));
    const bool hasBody = m_parser->chunked() || m_parser->content_length().value_or(0) > 0;
    const bool isWords = m_path == QLatin1StringView(WordsPath);
    const bool isHealth = m_path == QLatin1StringView(HealthPath);
    const http::verb method = request.method();
    if (!isWords && !isHealth) {
        answer(404, u"not found; the service answers POST /words/initform.php and GET /health"_s,
               hasBody);
        return false;
    }
    const bool allowed = method == (isWords ? http::verb::post : http::verb::get);
    if (!allowed) {
        const char *allow = isWords ? "POST" : "GET";
        m_response.set(http::field::allow, allow);
        answer(405, u"method not allowed; use "_s + QLatin1StringView(allow), hasBody);
        return false;
    }
    if (!isWords)
        return true;
    const auto coding = request.find(http::field::content_encoding);
    if (coding != request.end() && !beast::iequals(coding->value(), "identity")) {
        answer(415, u"unsupported content encoding "_s + printable(fromView(coding->value())));
        return false;
    }
    const auto transfer = request.find(http::field::transfer_encoding);
    if (transfer != request.end() && !beast::iequals(transfer->value(), "chunked")) {
        answer(415, u"unsupported transfer encoding "_s + printable(fromView(transfer->value())));
        return false;
    }
    const auto type = request.find(http::field::content_type);
    if (type != request.end()) {
        const ServiceForm refusal = readServiceForm(
            QByteArrayView(type->value().data(), qsizetype(type->value().size())), "WORDS=");
        if (!refusal.ok()) {
            answer(refusal.status, refusal.error);
            return false;
        }
    }
    const qint64 body = m_parser->chunked()
                            ? m_server.options.maxBody
                            : qint64(m_parser->content_length().value_or(0));
    const qint64 need = body * MemoryPerBodyByte + MemoryPerRequest;
    if (!m_server.budget.take(need)) {
        m_response.set(http::field::retry_after, "1");
        answer(503, u"the service has no memory to spare for this request; try again shortly"_s);
        return false;
    }
    m_reserved = need;
    const auto expect = request.find(http::field::expect);
    if (expect != request.end() && beast::iequals(expect->value(), "100-continue")) {
        // Blocking is fine here: the 25 bytes fit any socket buffer a request header just left.
        static const char Continue[] = "HTTP/1.1 100 Continue\r\n\r\n";
        beast::error_code ignored;
        asio::write(m_stream.socket(), asio::buffer(Continue, sizeof Continue - 1), ignored);
    }
    return true;
}

void ServiceServer::Private::Connection::handleRequest()
{
    m_busy = true;
    Request request = m_parser->release();
    if (request.method() != http::verb::post) {
        QString reason;
        if (m_server.currentDictionary(&reason))
            answer(200, u"ok"_s, !request.keep_alive());
        else
            answer(503, reason, !request.keep_alive());
        return;
    }
    if (m_server.queuedHook)
        m_server.queuedHook();
    // The event thread only reads and writes; the conversion waits for a thread of the pool, and
    // the io_context keeps running until its answer came back.
    asio::post(m_server.pool, [self = shared_from_this(), request = std::move(request),
                               work = asio::make_work_guard(executor())]() mutable {
        self->convert(std::move(request));
    });
}

// On a pool thread; hands the answer back to the connection's strand.
void ServiceServer::Private::Connection::convert(Request request)
{
    const bool keepAlive = request.keep_alive();
    int status = 200;
    QString reason;
    QByteArray reply;
    try {
        const auto type = request.find(http::field::content_type);
        const std::string contentType =
            type != request.end() ? std::string(type->value()) : std::string();
        std::string body = std::move(request.body());
        request = {};
        ServiceForm form =
            readServiceForm(QByteArrayView(contentType.data(), qsizetype(contentType.size())),
                            QByteArrayView(body.data(), qsizetype(body.size())));
        std::string().swap(body);
        if (!form.program.isEmpty() || !form.version.isEmpty())
            m_client = printable(form.program) + u' ' + printable(form.version);
        std::shared_ptr<const Lemmatizer> lemmatizer;
        if (!form.ok()) {
            status = form.status;
            reason = form.error;
        } else if (!(lemmatizer = m_server.currentDictionary(&reason))) {
            status = 503;
        } else {
            if (m_server.hook)
                m_server.hook();
            qsizetype lines = 0;
            const QString words = std::exchange(form.words, QString());
            reply = lemmatizer->convert(words, &lines).toUtf8();
            m_lines = lines;
        }
    } catch (const std::bad_alloc &) {
        status = 503;
        reason = u"the service ran out of memory on this request"_s;
    }
    asio::post(executor(), [self = shared_from_this(), status, reason, keepAlive,
                            reply = std::move(reply)]() mutable {
        if (status != 200) {
            if (status == 503)
                self->m_response.set(http::field::retry_after,
                                     std::to_string(std::max(1, self->m_server.options.reloadDelaySeconds)));
            self->answer(status, reason, !keepAlive);
            return;
        }
        self->m_response.result(200);
        self->m_response.set(http::field::content_type, PlainText);
        self->m_response.body().assign(reply.constData(), std::size_t(reply.size()));
        reply = QByteArray();
        self->send(!keepAlive);
    });
}

void ServiceServer::Private::Connection::answer(int status, const QString &reason, bool closeAfter)
{
    m_busy = true;
    m_response.result(unsigned(status));
    m_response.set(http::field::content_type, PlainText);
    m_response.body() = (reason + u'\n').toStdString();
    send(closeAfter);
}

void ServiceServer::Private::Connection::send(bool closeAfter)
{
    closeAfter = closeAfter || m_server.stopping;
    m_response.version(11);
    m_response.keep_alive(!closeAfter);
    m_response.prepare_payload();
    m_stream.expires_after(std::chrono::milliseconds(m_server.options.requestTimeoutMs));
    http::async_write(m_stream, m_response,
                      [self = shared_from_this(), closeAfter](beast::error_code error, std::size_t) {
                          if (error) {
                              self->close();
                              return;
                          }
                          self->sent(closeAfter);
                      });
}

void ServiceServer::Private::Connection::sent(bool closeAfter)
{
    const qint64 ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_requestStart)
            .count();
    QString line = m_remote + u' ' + (m_method.isEmpty() ? u"-"_s : m_method) + u' '
                   + (m_path.isEmpty() ? u"-"_s : m_path) + u' '
                   + QString::number(m_response.result_int()) + u' '
                   + (m_lines < 0 ? u"-"_s : QString::number(m_lines)) + u" lines "_s
                   + QString::number(ms) + u" ms"_s;
    if (!m_client.isEmpty())
        line += u' ' + m_client;
    // The memory goes back before the line is written: a request's line says its memory is free.
    m_response = Response();
    releaseMemory();
    m_server.writeLog(line);
    if (closeAfter || m_server.stopping)
        drainAndClose();
    else
        nextRequest();
}

// Closing a socket with unread bytes resets it, and the client may lose the answer it was just
// sent: say no more, then read what still comes for a moment.
void ServiceServer::Private::Connection::drainAndClose()
{
    m_parser.reset();
    m_buffer.clear();
    if (!m_draining) {
        m_draining = true;
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
        m_stream.expires_after(std::chrono::milliseconds(
            std::min(2000, std::max(1, m_server.options.idleTimeoutMs))));
    }
    m_stream.async_read_some(m_buffer.prepare(ReadSize),
                             [self = shared_from_this()](beast::error_code error, std::size_t) {
                                 if (error)
                                     self->close();
                                 else
                                     self->drainAndClose();
                             });
}

void ServiceServer::Private::Connection::releaseMemory()
{
    if (m_reserved > 0)
        m_server.budget.give(m_reserved);
    m_reserved = 0;
}

void ServiceServer::Private::accept()
{
    acceptor.async_accept(asio::make_strand(io), [this](beast::error_code error,
                                                        tcp::socket socket) {
        if (error == asio::error::operation_aborted)
            return;
        // A connection the loop took just as the stop began may hold a request already: it is
        // served like those the stop takes itself, and no further one is accepted.
        if (stopping) {
            if (!error && connectionCount < options.maxConnections) {
                auto connection = std::make_shared<Connection>(*this, std::move(socket));
                connectionOpened(connection);
                asio::dispatch(connection->executor(), [connection] { connection->start(); });
            }
            return;
        }
        if (!acceptor.is_open())
            return;
        if (error) {
            // Out of descriptors or memory: give the connections in hand a moment to end.
            acceptPause.expires_after(std::chrono::milliseconds(100));
            acceptPause.async_wait([this](beast::error_code) {
                if (!stopping)
                    accept();
            });
            return;
        }
        if (connectionCount >= options.maxConnections) {
            refuse(std::move(socket));
        } else {
            auto connection = std::make_shared<Connection>(*this, std::move(socket));
            connectionOpened(connection);
            asio::dispatch(connection->executor(), [connection] { connection->start(); });
        }
        accept();
    });
}

// Over the limit a connection is told so and closed, without waiting for its request.
void ServiceServer::Private::refuse(tcp::socket socket)
{
    static const char Busy[] = "HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain; "
                               "charset=utf-8\r\nContent-Length: 38\r\nConnection: close\r\n"
                               "Retry-After: 1\r\n\r\nthe service has too many connections\r\n";
    beast::error_code ignored;
    socket.non_blocking(true, ignored);
    socket.send(asio::buffer(Busy, sizeof Busy - 1), 0, ignored);
    socket.shutdown(tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
}

void ServiceServer::Private::connectionOpened(const std::shared_ptr<Connection> &connection)
{
    std::lock_guard lock(connectionsMutex);
    ++connectionCount;
    connection->registered(connections.insert(connections.end(), connection));
}

void ServiceServer::Private::connectionClosed(ConnectionList::iterator entry)
{
    std::lock_guard lock(connectionsMutex);
    connections.erase(entry);
    if (--connectionCount == 0 && stopping)
        stopTimer.cancel();
}

void ServiceServer::Private::beginStop()
{
    // Connections the system has taken but the loop not yet are accepted requests too: take them
    // now, and let them say whether they have a request to answer.
    beast::error_code ignored;
    acceptor.non_blocking(true, ignored);
    for (int taken = 0; taken < options.maxConnections && acceptor.is_open(); ++taken) {
        beast::error_code error;
        tcp::socket socket = acceptor.accept(asio::make_strand(io), error);
        if (error)
            break;
        if (connectionCount >= options.maxConnections) {
            refuse(std::move(socket));
            continue;
        }
        auto connection = std::make_shared<Connection>(*this, std::move(socket));
        connectionOpened(connection);
        asio::dispatch(connection->executor(), [connection] { connection->start(); });
    }
    acceptor.close(ignored);
    {
        std::lock_guard closed(stopMutex);
        acceptorClosed = true;
    }
    stopTaken.notify_all();
    // The connections are told outside the lock: a connection that ends on being told takes
    // the lock itself to leave the list.
    std::vector<std::shared_ptr<Connection>> open;
    {
        std::lock_guard lock(connectionsMutex);
        if (connectionCount == 0)
            return;
        open = openConnections();
        stopTimer.expires_after(std::chrono::milliseconds(options.stopTimeoutMs));
        stopTimer.async_wait([this](beast::error_code error) {
            if (error)
                return;
            std::vector<std::shared_ptr<Connection>> late;
            {
                std::lock_guard timeUp(connectionsMutex);
                late = openConnections();
            }
            for (const std::shared_ptr<Connection> &connection : late)
                asio::post(connection->executor(), [connection] { connection->close(); });
        });
    }
    for (const std::shared_ptr<Connection> &connection : open)
        asio::post(connection->executor(), [connection] { connection->stop(); });
}

// Called with connectionsMutex held.
std::vector<std::shared_ptr<ServiceServer::Private::Connection>>
ServiceServer::Private::openConnections() const
{
    std::vector<std::shared_ptr<Connection>> open;
    for (const std::weak_ptr<Connection> &weak : connections)
        if (std::shared_ptr<Connection> connection = weak.lock())
            open.push_back(std::move(connection));
    return open;
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
{}

ServiceServer::~ServiceServer()
{
    stop();
    d->pool.join();
    std::unique_lock lock(d->stateMutex);
    d->loadEnded.wait(lock, [this] { return !d->loading; });
    if (d->loader.joinable())
        d->loader.join();
}

bool ServiceServer::bind(QString *error)
{
    const std::string host = d->options.host.toStdString();
    beast::error_code failure;
    tcp::resolver resolver(d->io);
    const auto endpoints = resolver.resolve(host, std::to_string(d->options.port),
                                            tcp::resolver::passive | tcp::resolver::numeric_service,
                                            failure);
    if (!failure) {
        failure = boost::system::errc::make_error_code(boost::system::errc::address_not_available);
        for (const auto &entry : endpoints) {
            beast::error_code attempt;
            d->acceptor.open(entry.endpoint().protocol(), attempt);
            if (!attempt)
                d->acceptor.set_option(tcp::acceptor::reuse_address(true), attempt);
            if (!attempt)
                d->acceptor.bind(entry.endpoint(), attempt);
            if (!attempt)
                d->acceptor.listen(readBacklog(), attempt);
            if (!attempt) {
                d->port = d->acceptor.local_endpoint().port();
                return true;
            }
            beast::error_code ignored;
            d->acceptor.close(ignored);
            failure = attempt;
        }
    }
    *error = u"cannot listen on %1:%2: %3"_s.arg(d->options.host, QString::number(d->options.port),
                                                  QString::fromStdString(failure.message()));
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
    if (d->port <= 0)
        return;
    if (!d->stopping)
        d->accept();
    // Two event threads keep one busy strand from delaying the others; conversions run on the
    // pool, so more would only add switching.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (unsigned i = 1; i < std::min(cores, 4u); ++i)
        helpers.emplace_back([this] { d->io.run(); });
    d->running = true;
    d->io.run();
    for (std::thread &helper : helpers)
        helper.join();
    d->running = false;
}

void ServiceServer::stop()
{
    if (d->stopping.exchange(true))
        return;
    asio::post(d->io, [this] { d->beginStop(); });
    // Once stop() returns, no connection is taken any more; bounded, should an event thread
    // itself ever call it.
    std::unique_lock lock(d->stopMutex);
    if (d->running)
        d->stopTaken.wait_for(lock, std::chrono::seconds(5), [this] { return d->acceptorClosed; });
}

void ServiceServer::setRequestHook(std::function<void()> hook)
{
    d->hook = std::move(hook);
}

void ServiceServer::setQueuedHook(std::function<void()> hook)
{
    d->queuedHook = std::move(hook);
}
