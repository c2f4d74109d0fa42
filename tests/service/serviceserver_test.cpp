#include "service/serviceserver.h"

#include "tests/support/printers.h"
#include "tests/service/servicefixture.h"

#include <QStringList>
#include <QTemporaryDir>

#include <httplib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include <arpa/inet.h>
#include <poll.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const char FormType[] = "application/x-www-form-urlencoded";
// Waits in the tests are bounded so that a fault fails them instead of hanging the suite.
constexpr auto Patience = std::chrono::seconds(20);

std::string wordsBody(const std::string &words)
{
    return "PROGRAM=Cambrel&VERSION=1.0&WORDS=" + formEncode(words);
}

// A loopback connection whose reads give up after Patience; -1 when it cannot connect.
int openConnection(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const timeval patience = {std::chrono::seconds(Patience).count(), 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    return fd;
}

bool sendAll(int fd, const std::string &bytes)
{
    return ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
}

// Everything the server sends until it closes the connection (or Patience passes).
std::string readToEnd(int fd)
{
    std::string answer;
    char buffer[4096];
    ssize_t got;
    while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
        answer.append(buffer, std::size_t(got));
    return answer;
}

// Sends the pieces one write each on a fresh connection and reads the whole answer.
std::string exchange(int port, const std::vector<std::string> &pieces)
{
    const int fd = openConnection(port);
    if (fd < 0)
        return {};
    for (const std::string &piece : pieces)
        if (!sendAll(fd, piece))
            break;
    std::string answer = readToEnd(fd);
    ::close(fd);
    return answer;
}

// Connections held open for the length of a test.
struct HeldConnections
{
    std::vector<int> fds;
    ~HeldConnections()
    {
        for (const int fd : fds)
            ::close(fd);
    }
};

std::string request(const std::string &body, const std::string &extra = {})
{
    return "POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
           "Content-Type: application/x-www-form-urlencoded\r\n"
           + extra + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

int statusOf(const std::string &answer)
{
    return answer.starts_with("HTTP/1.1 ") ? std::atoi(answer.c_str() + 9) : 0;
}

class ServiceServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(writeServiceDictionary(m_dictionary), QString());
    }
    void TearDown() override { stopServer(); }

    // Starts on a free port; on the test's dictionary, once it is read.
    void startServer(const QString &dictionary = {}, int reloadDelay = 10,
                     const std::function<void(ServiceOptions &)> &adjust = {})
    {
        ServiceOptions options;
        options.dictionary = dictionary.isEmpty() ? m_dictionary : dictionary;
        options.port = 0;
        options.threads = 4;
        options.maxBody = 4096;
        options.reloadDelaySeconds = reloadDelay;
        if (adjust)
            adjust(options);
        m_server = std::make_unique<ServiceServer>(options, [this](const QString &line) {
            std::lock_guard lock(m_logMutex);
            m_log.append(line);
            m_logged.notify_all();
        });
        QString error;
        ASSERT_TRUE(m_server->bind(&error)) << error.toStdString();
        m_server->startLoading();
        m_thread = std::thread([this] { m_server->run(); });
        ASSERT_TRUE(!dictionary.isEmpty() || m_server->waitForDictionary());
    }
    void stopServer()
    {
        if (!m_server)
            return;
        m_server->stop();
        if (m_thread.joinable())
            m_thread.join();
        m_server.reset();
    }
    httplib::Client client(std::chrono::seconds patience = Patience) const
    {
        httplib::Client c("127.0.0.1", m_server->port());
        c.set_read_timeout(patience);
        c.set_connection_timeout(patience);
        return c;
    }
    httplib::Result post(const std::string &body, const char *type = FormType) const
    {
        return client().Post("/words/initform.php", body, type);
    }
    QStringList log()
    {
        std::lock_guard lock(m_logMutex);
        return m_log;
    }
    // Waits until a line of the log contains text; false after Patience.
    bool waitForLog(const QString &text)
    {
        std::unique_lock lock(m_logMutex);
        return m_logged.wait_for(lock, Patience, [&] {
            return std::any_of(m_log.cbegin(), m_log.cend(),
                               [&](const QString &line) { return line.contains(text); });
        });
    }

    QTemporaryDir m_dir;
    const QString m_dictionary = m_dir.filePath(u"dict.sqlite"_s);
    std::unique_ptr<ServiceServer> m_server;
    std::thread m_thread;
    std::mutex m_logMutex;
    std::condition_variable m_logged;
    QStringList m_log;
};

} // namespace

TEST_F(ServiceServerTest, AnswersTheConvertedList)
{
    startServer();
    const httplib::Result result =
        post(wordsBody("Кошки\r\nкупить  дешевые билеты!\r\n\r\niPhone 15 в Москве\r\n"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/plain; charset=utf-8");
    EXPECT_EQ(QString::fromStdString(result->body),
              u"кошка\nкупить  дешёвый билет!\n\niphone 15 в москва\n"_s);

    const httplib::Result unended = post("WORDS=" + formEncode("пошёл\rстали"));
    ASSERT_TRUE(unended);
    EXPECT_EQ(QString::fromStdString(unended->body), u"пойти\nстать"_s);

    const httplib::Result empty = post("PROGRAM=Cambrel&VERSION=1.0&WORDS=");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->status, 200);
    EXPECT_EQ(empty->body, "");
    const httplib::Result health = client().Get("/health");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
    EXPECT_EQ(health->body, "ok\n");

    stopServer();  // a line is logged after its reply went out
    const QStringList lines = log();
    EXPECT_TRUE(lines.filter(u"POST /words/initform.php 200 4 lines"_s).size() == 1
                && lines.filter(u"Cambrel 1.0"_s).size() == 2)
        << lines.join(u'\n').toStdString();
}

TEST_F(ServiceServerTest, RefusesBadRequestsWithAReason)
{
    startServer();
    const auto expectRefused = [](const httplib::Result &result, int status,
                                  const std::string &reason) {
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, status) << reason;
        EXPECT_EQ(result->get_header_value("Content-Type"), "text/plain; charset=utf-8");
        EXPECT_NE(result->body.find(reason), std::string::npos) << result->body;
    };
    expectRefused(post("WORDS=%zz"), 400, "not valid form data");
    expectRefused(post("WORDS=%FF%FE"), 400, "not valid UTF-8");
    expectRefused(post("PROGRAM=Cambrel"), 400, "no WORDS");
    expectRefused(client().Get("/words/other.php"), 404, "not found");
    expectRefused(client().Post("/words/initformXphp", "WORDS=a", FormType), 404, "not found");
    const httplib::Result get = client().Get("/words/initform.php");
    expectRefused(get, 405, "method not allowed");
    EXPECT_EQ(get->get_header_value("Allow"), "POST");
    expectRefused(client().Put("/words/initform.php", "WORDS=a", FormType), 405, "not allowed");
    expectRefused(client().Post("/health", "", FormType), 405, "not allowed");
    expectRefused(post("WORDS=" + std::string(5000, 'a')), 413, "exceeds 4096 bytes");
    expectRefused(post("WORDS=a", "application/x-www-form-urlencoded; charset=x-none"), 415,
                  "unknown charset");
    expectRefused(post("WORDS=a", "application/json"), 415, "x-www-form-urlencoded");
    // Nothing of that hurt the service.
    const httplib::Result after = post("WORDS=" + formEncode("кошки"));
    ASSERT_TRUE(after);
    EXPECT_EQ(QString::fromStdString(after->body), u"кошка"_s);
}

TEST_F(ServiceServerTest, ReadsBodiesSplitAcrossPacketsAndChunks)
{
    startServer();
    const std::string head = "POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                             "Content-Type: application/x-www-form-urlencoded\r\n"
                             "Connection: close\r\n";
    const std::string body = wordsBody("кошки\r\nбилеты");
    const std::string sized = head + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    // Cut inside the header block, inside a %-escape and inside a letter's bytes.
    const std::size_t escape = body.find("%D0") + 1;
    const std::string answer =
        exchange(m_server->port(), {sized.substr(0, 20), sized.substr(20), body.substr(0, escape),
                                    body.substr(escape, 5), body.substr(escape + 5)});
    EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u) << answer;
    EXPECT_TRUE(answer.ends_with("\r\n\r\n" + std::string("кошка\nбилет"))) << answer;

    // A chunked body counts its bytes against the limit as well.
    const std::string chunked = head + "Transfer-Encoding: chunked\r\n\r\n";
    const std::string chunk = "BB8\r\n" + std::string(3000, 'a') + "\r\n";
    const std::string large =
        exchange(m_server->port(), {chunked, "6\r\nWORDS=\r\n", chunk, chunk, "0\r\n\r\n"});
    EXPECT_EQ(large.rfind("HTTP/1.1 413", 0), 0u) << large.substr(0, 200);
    const std::string small = exchange(
        m_server->port(), {chunked, "6\r\nWORDS=\r\n", "C\r\n%D0%BA%D0%BE\r\n", "0\r\n\r\n"});
    EXPECT_EQ(small.rfind("HTTP/1.1 200", 0), 0u) << small;
}

TEST_F(ServiceServerTest, ServesTwoRequestsAtOnce)
{
    std::mutex mutex;
    std::condition_variable changed;
    int inside = 0;
    int metTheOther = 0;
    startServer();
    // Each request waits inside until the other one is inside as well.
    m_server->setRequestHook([&] {
        std::unique_lock lock(mutex);
        ++inside;
        changed.notify_all();
        if (changed.wait_for(lock, Patience, [&] { return inside >= 2; }))
            ++metTheOther;
    });
    std::optional<httplib::Result> first;
    std::thread other([&] { first.emplace(post("WORDS=" + formEncode("кошки"))); });
    const httplib::Result second = post("WORDS=" + formEncode("билеты"));
    other.join();
    ASSERT_TRUE(first && *first && second);
    EXPECT_EQ(QString::fromStdString((*first)->body), u"кошка"_s);
    EXPECT_EQ(QString::fromStdString(second->body), u"билет"_s);
    EXPECT_EQ(metTheOther, 2);
}

TEST_F(ServiceServerTest, Answers503UntilTheDictionaryCanBeRead)
{
    const QString later = m_dir.filePath(u"later.sqlite"_s);
    startServer(later, 0);
    EXPECT_FALSE(m_server->waitForDictionary());
    const httplib::Result health = client().Get("/health");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 503);
    EXPECT_NE(health->body.find("cannot be read"), std::string::npos) << health->body;
    EXPECT_EQ(post("WORDS=a")->status, 503);
    EXPECT_FALSE(m_server->waitForDictionary());  // that request tried it again

    ASSERT_EQ(writeServiceDictionary(later), QString());
    const httplib::Result loading = post("WORDS=a");  // tries it again once more
    ASSERT_TRUE(loading);
    EXPECT_EQ(loading->status, 503);
    EXPECT_TRUE(m_server->waitForDictionary());
    const httplib::Result result = post("WORDS=" + formEncode("кошки"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(QString::fromStdString(result->body), u"кошка"_s);
}

// A normal request must not wait behind clients that hold a connection: the bound of 5 s is
// generous; holding a thread per connection, they once made it wait 26 to 55 s.
TEST_F(ServiceServerTest, SlowAndIdleClientsDelayNobody)
{
    startServer();
    HeldConnections held;
    for (int i = 0; i < 100; ++i) {
        const int fd = openConnection(m_server->port());
        ASSERT_GE(fd, 0);
        held.fds.push_back(fd);
        // Every fifth is a slow client half-way through its request; the rest say nothing.
        if (i % 5 == 0) {
            ASSERT_TRUE(sendAll(fd, "POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                    "Content-Length: 100\r\n\r\nWORDS=ко"));
        }
    }
    const httplib::Result result =
        client(std::chrono::seconds(5)).Post("/words/initform.php",
                                             "WORDS=" + formEncode("кошки"), FormType);
    ASSERT_TRUE(result) << httplib::to_string(result.error());
    EXPECT_EQ(QString::fromStdString(result->body), u"кошка"_s);
}

TEST_F(ServiceServerTest, ClosesSilentAndUnfinishedConnections)
{
    startServer({}, 10, [](ServiceOptions &options) {
        options.idleTimeoutMs = 100;
        options.requestTimeoutMs = 300;
    });
    HeldConnections held;
    const int silent = openConnection(m_server->port());
    const int unfinished = openConnection(m_server->port());
    ASSERT_TRUE(silent >= 0 && unfinished >= 0);
    held.fds = {silent, unfinished};
    EXPECT_EQ(readToEnd(silent), "");  // closed, not left waiting for Patience
    // A byte at a time, each well inside the idle time: only the request's own deadline ends it.
    const std::string head = "POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    bool closed = false;
    for (std::size_t i = 0; !closed && i < 400; ++i) {
        closed = !sendAll(unfinished, head.substr(i % head.size(), 1));
        pollfd poll = {unfinished, POLLIN, 0};
        closed = closed || ::poll(&poll, 1, 50) > 0;
    }
    EXPECT_TRUE(closed);
}

TEST_F(ServiceServerTest, RefusesConnectionsPastTheLimitAtOnce)
{
    startServer({}, 10, [](ServiceOptions &options) { options.maxConnections = 3; });
    HeldConnections held;
    for (int i = 0; i < 3; ++i)
        held.fds.push_back(openConnection(m_server->port()));
    // Each is known to be taken once it was answered.
    for (const int fd : held.fds)
        ASSERT_TRUE(sendAll(fd, "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    for (const int fd : held.fds) {
        char buffer[512];
        ASSERT_GT(::recv(fd, buffer, sizeof buffer, 0), 0);
    }
    const std::string refused = exchange(m_server->port(), {});
    EXPECT_EQ(statusOf(refused), 503) << refused;
}

TEST_F(ServiceServerTest, BoundsTheRequestLineAndTheHeader)
{
    startServer();
    const std::string longLine =
        exchange(m_server->port(), {"GET /" + std::string(10000, 'a') + " HTTP/1.1\r\n\r\n"});
    EXPECT_EQ(statusOf(longLine), 414) << longLine.substr(0, 100);

    // Millions of header lines once grew the service by gigabytes: it stops reading at the limit.
    std::string flood = "POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (int i = 0; i < 2000; ++i)
        flood += "X-" + std::to_string(i) + ": a\r\n";
    const int fd = openConnection(m_server->port());
    ASSERT_GE(fd, 0);
    for (int i = 0; i < 100 && sendAll(fd, flood); ++i) {}
    const std::string manyFields = readToEnd(fd);
    ::close(fd);
    EXPECT_EQ(statusOf(manyFields), 431) << manyFields.substr(0, 100);
    const std::string bigField =
        exchange(m_server->port(), {"GET /health HTTP/1.1\r\nX: " + std::string(20000, 'a')
                                    + "\r\n\r\n"});
    EXPECT_EQ(statusOf(bigField), 431) << bigField.substr(0, 100);

    const httplib::Result after = post("WORDS=" + formEncode("кошки"));
    ASSERT_TRUE(after);
    EXPECT_EQ(QString::fromStdString(after->body), u"кошка"_s);
}

TEST_F(ServiceServerTest, RefusesEncodedBodiesAndBrokenLengths)
{
    startServer();
    const std::string body = "WORDS=" + formEncode("кошки");
    EXPECT_EQ(statusOf(exchange(m_server->port(),
                                {request(body, "Content-Encoding: gzip\r\n")})),
              415);
    EXPECT_EQ(statusOf(exchange(m_server->port(),
                                {"POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                 "Content-Type: multipart/form-data; boundary=x\r\n"
                                 "Content-Length: 44\r\n\r\n--x\r\nContent-Disposition: form-data"
                                 "\r\n\r\n--x--"})),
              415);
    EXPECT_EQ(statusOf(exchange(m_server->port(),
                                {request(body, "Content-Length: 3\r\n")})),
              400);
    EXPECT_EQ(statusOf(exchange(m_server->port(),
                                {"POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                 "Content-Length: abc\r\n\r\nWORDS=a"})),
              400);
    // A client that half-closes after its request still gets the answer.
    const int fd = openConnection(m_server->port());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(sendAll(fd, request(body, "Connection: close\r\n")));
    ::shutdown(fd, SHUT_WR);
    const std::string answer = readToEnd(fd);
    ::close(fd);
    EXPECT_EQ(statusOf(answer), 200) << answer;
    EXPECT_TRUE(answer.ends_with("кошка")) << answer;
}

TEST_F(ServiceServerTest, AnswersPipelinedRequestsInOrder)
{
    startServer();
    const std::string last = request("WORDS=" + formEncode("Москве"), "Connection: close\r\n");
    const std::string answer =
        exchange(m_server->port(), {request("WORDS=" + formEncode("кошки"))
                                    + "GET /health HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                                    + request("WORDS=" + formEncode("билеты")) + last});
    const std::size_t first = answer.find("\r\n\r\nкошка");
    const std::size_t second = answer.find("\r\n\r\nok\n");
    const std::size_t third = answer.find("\r\n\r\nбилет");
    const std::size_t fourth = answer.find("\r\n\r\nмосква");
    EXPECT_TRUE(first != std::string::npos && first < second && second < third
                && third < fourth && fourth != std::string::npos)
        << answer;
}

TEST_F(ServiceServerTest, Answers503AtOnceWhenABodyWouldPassTheMemoryLimit)
{
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
    // Room for one request of the largest body, not for two.
    startServer({}, 10, [](ServiceOptions &options) { options.maxMemory = 120 * 1024; });
    m_server->setRequestHook([&] {
        std::unique_lock lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait_for(lock, Patience, [&] { return released; });
    });
    std::optional<httplib::Result> held;
    std::thread holder([&] { held.emplace(post("WORDS=" + formEncode("кошки"))); });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, Patience, [&] { return entered; }));
    }
    const httplib::Result refused = post("WORDS=" + std::string(4000, 'a'));
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
    holder.join();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503);
    EXPECT_FALSE(refused->get_header_value("Retry-After").empty());
    ASSERT_TRUE(held && *held);
    EXPECT_EQ((*held)->status, 200);
    // The memory comes back once the answer went out, which the client may see first: the
    // request's log line says it is back.
    ASSERT_TRUE(waitForLog(u" 200 "_s));
    const httplib::Result after = post("WORDS=" + std::string(4000, 'a'));
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 200);
}

TEST_F(ServiceServerTest, AnswersTheRequestsInFlightAndQueuedWhenStopped)
{
    std::mutex mutex;
    std::condition_variable changed;
    int queued = 0;
    bool released = false;
    startServer({}, 10, [](ServiceOptions &options) { options.threads = 1; });
    m_server->setQueuedHook([&] {
        std::lock_guard lock(mutex);
        ++queued;
        changed.notify_all();
    });
    // The one thread of the pool holds the first request; the second waits for it.
    m_server->setRequestHook([&] {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, Patience, [&] { return released; });
    });
    std::optional<httplib::Result> first;
    std::optional<httplib::Result> second;
    std::thread one([&] { first.emplace(post("WORDS=" + formEncode("кошки"))); });
    std::thread two([&] { second.emplace(post("WORDS=" + formEncode("билеты"))); });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, Patience, [&] { return queued == 2; }));
    }
    m_server->stop();
    // No new connection is taken any more.
    EXPECT_FALSE(client().Get("/health"));
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
    one.join();
    two.join();
    m_thread.join();
    ASSERT_TRUE(first && *first && second && *second);
    EXPECT_EQ(QString::fromStdString((*first)->body) + QString::fromStdString((*second)->body),
              u"кошкабилет"_s);
}
