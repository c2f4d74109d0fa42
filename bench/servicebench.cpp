// Load generator for `lexorum-cli serve`, over loopback only. Starts the service on a free port (or
// talks to one already running with --port), then times a 100,000-line request; 64 clients sending
// 1,000-word requests, first with a new connection per request, then over kept connections; the
// same again while 200 slow clients (a byte a second) and 1,000 idle connections are held open;
// and the service's peak memory under 8 concurrent 16 MB bodies of '&'. Prints words/s, latency
// percentiles and failed requests. Bounded in requests and seconds; stops by itself.
//
//   bench_service --dict DB [--port N --pid PID] [--seconds S]   bench_service --synthetic LEXEMES
// [--seconds S]   (a generated dictionary, ~12 forms each; S is each load run, default 20)

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <httplib.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int LongLines = 100000;
constexpr int Clients = 64;
constexpr int WordsPerRequest = 1000;
constexpr int MaxRequestsPerClient = 4000;
constexpr int SlowClients = 200;
constexpr int IdleConnections = 1000;
constexpr int FloodRequests = 8;
constexpr int FloodBytes = 16 * 1024 * 1024;

std::string formEncode(const QByteArray &bytes)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(std::size_t(bytes.size()) * 3);
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) {
            out += c;
        } else {
            out += '%';
            out += Hex[u >> 4];
            out += Hex[u & 15];
        }
    }
    return out;
}

// A dictionary of generated lexemes: a stem and twelve endings each, frequent ones first.
bool writeSyntheticDictionary(const QString &path, int lexemes)
{
    static const QString letters = u"абвгдежзийклмнопрстуфхцчшщыэюя"_s;
    static const QStringList endings = {u""_s,   u"а"_s,  u"у"_s,   u"ом"_s, u"е"_s,  u"ы"_s,
                                        u"ов"_s, u"ам"_s, u"ами"_s, u"ах"_s, u"ёк"_s, u"ой"_s};
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(db,
                 "create table forms(id integer primary key, word text, initform_id integer, "
                 "props text); create table lexemes(id integer primary key, freq integer); "
                 "begin;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "insert into forms values(?, ?, ?, 'NOUN')", -1, &insert, nullptr);
    QRandomGenerator random(42);
    qint64 id = 1;
    for (int l = 0; l < lexemes; ++l) {
        QString stem;
        const int length = 3 + int(random.bounded(7));
        for (int i = 0; i < length; ++i)
            stem += letters.at(random.bounded(int(letters.size())));
        const qint64 initial = id;
        for (const QString &ending : endings) {
            const QByteArray word = (stem + ending).toUtf8();
            sqlite3_bind_int64(insert, 1, id++);
            sqlite3_bind_text(insert, 2, word.constData(), int(word.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 3, initial);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    const bool ok = sqlite3_exec(db, "commit;", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Every k-th word of the dictionary, so requests mix common and rare forms.
QStringList sampleWords(const QString &path, int count)
{
    QStringList words;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        const QByteArray sql = "select word from forms where id % "
                               + QByteArray::number(std::max<qint64>(1, 5000000 / count))
                               + " = 0 limit " + QByteArray::number(count);
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK)
            while (sqlite3_step(statement) == SQLITE_ROW)
                words.append(QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    if (words.size() < 100)
        words = {u"Кошки"_s,  u"пошёл"_s,  u"лучших"_s, u"купить"_s, u"дешевые"_s,
                 u"билеты"_s, u"iPhone"_s, u"Москве"_s, u"стали"_s,  u"мыла"_s};
    words.append(u"зюзюкают"_s);  // one the dictionary does not know
    return words;
}

// WORDS of lines lines, wordsPerLine words each, separated as a list box separates them.
QString makeList(const QStringList &words, int lines, int wordsPerLine, int offset)
{
    QString text;
    int next = offset;
    for (int line = 0; line < lines; ++line) {
        for (int w = 0; w < wordsPerLine; ++w) {
            if (w > 0)
                text += u' ';
            text += words.at(next++ % words.size());
        }
        text += u"\r\n"_s;
    }
    return text;
}

struct ProcessFigures
{
    qint64 rssKb = -1;
    qint64 peakKb = -1;
    double cpuSeconds = -1;
};

ProcessFigures figuresOf(qint64 pid)
{
    ProcessFigures figures;
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                figures.rssKb = line.mid(6).trimmed().split(' ').value(0).toLongLong();
            if (line.startsWith("VmHWM:"))
                figures.peakKb = line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        // Fields 14 and 15 of the file (utime, stime) are 12 and 13 after the name.
        figures.cpuSeconds = double(fields.value(11).toLongLong() + fields.value(12).toLongLong())
                             / double(sysconf(_SC_CLK_TCK));
    }
    return figures;
}

struct LoadFigures
{
    int requests = 0;
    int failures = 0;
    qint64 words = 0;
    double seconds = 0;
    std::vector<double> latenciesMs;
    double percentile(double p) const
    {
        if (latenciesMs.empty())
            return 0;
        return latenciesMs[std::min(latenciesMs.size() - 1,
                                    std::size_t(p * double(latenciesMs.size())))];
    }
};

// Clients sending 1,000-word requests (100 lines of 10) for seconds: on a new connection each, or
// over one kept connection each.
LoadFigures runLoad(int port, const QStringList &words, int seconds, bool keepAlive)
{
    LoadFigures figures;
    std::mutex mutex;
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> clients;
    for (int c = 0; c < Clients; ++c) {
        clients.emplace_back([&, c] {
            const std::string body =
                "PROGRAM=Cambrel&VERSION=1.0&WORDS="
                + formEncode(makeList(words, WordsPerRequest / 10, 10, c * 997).toUtf8());
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(keepAlive);
            client.set_read_timeout(60);
            std::vector<double> latencies;
            int failed = 0;
            qint64 converted = 0;
            for (int r = 0; r < MaxRequestsPerClient && timer.elapsed() < seconds * 1000; ++r) {
                const auto start = std::chrono::steady_clock::now();
                const httplib::Result result = client.Post("/words/initform.php", body,
                                                           "application/x-www-form-urlencoded");
                latencies.push_back(std::chrono::duration<double, std::milli>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
                if (result && result->status == 200
                    && std::count(result->body.begin(), result->body.end(), '\n')
                           == WordsPerRequest / 10)
                    converted += WordsPerRequest;
                else
                    ++failed;
            }
            std::lock_guard lock(mutex);
            figures.requests += int(latencies.size());
            figures.failures += failed;
            figures.words += converted;
            figures.latenciesMs.insert(figures.latenciesMs.end(), latencies.begin(),
                                       latencies.end());
        });
    }
    for (std::thread &t : clients)
        t.join();
    figures.seconds = double(timer.elapsed()) / 1000.0;
    std::sort(figures.latenciesMs.begin(), figures.latenciesMs.end());
    return figures;
}

void printLoad(const char *what, const LoadFigures &figures)
{
    std::printf("%s: %d requests in %.1f s, %d failed, %.0f words/s, latency p50 %.1f ms, "
                "p99 %.1f ms, max %.1f ms\n",
                what, figures.requests, figures.seconds, figures.failures,
                double(figures.words) / figures.seconds, figures.percentile(0.50),
                figures.percentile(0.99),
                figures.latenciesMs.empty() ? 0.0 : figures.latenciesMs.back());
    std::fflush(stdout);
}

int connectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Holds slow clients (each sending its request a byte a second) and idle connections (sending
// nothing) open until stopped, opening a new one whenever the service closes one.
class HostileClients
{
public:
    HostileClients(int port, int slow, int idle)
        : m_port(port)
    {
        for (int i = 0; i < slow + idle; ++i)
            m_connections.push_back({connectTo(port), i < slow, 0});
        m_thread = std::thread([this] { run(); });
    }
    ~HostileClients()
    {
        m_stop = true;
        m_thread.join();
        for (const Connection &c : m_connections)
            if (c.fd >= 0)
                ::close(c.fd);
    }
    int reopened() const { return m_reopened; }

private:
    struct Connection
    {
        int fd;
        bool slow;
        std::size_t sent;
    };
    void run()
    {
        static const std::string Request = "POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                           "Content-Type: application/x-www-form-urlencoded\r\n"
                                           "Content-Length: 1000\r\n\r\nWORDS=";
        while (!m_stop) {
            for (Connection &c : m_connections) {
                pollfd closed = {c.fd, POLLIN, 0};
                const bool gone = c.fd < 0 || ::poll(&closed, 1, 0) != 0;
                if (gone) {
                    if (c.fd >= 0)
                        ::close(c.fd);
                    c.fd = connectTo(m_port);
                    c.sent = 0;
                    ++m_reopened;
                }
                if (c.slow && c.fd >= 0) {
                    const char byte = c.sent < Request.size() ? Request[c.sent] : 'a';
                    if (::send(c.fd, &byte, 1, MSG_NOSIGNAL) == 1)
                        ++c.sent;
                }
            }
            for (int tenth = 0; tenth < 10 && !m_stop; ++tenth)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    const int m_port;
    std::vector<Connection> m_connections;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_reopened = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({u"dict"_s, u"dictionary file"_s, u"DB"_s});
    parser.addOption({u"synthetic"_s, u"generate a dictionary of N lexemes"_s, u"N"_s});
    parser.addOption({u"port"_s, u"talk to a running service on 127.0.0.1:N"_s, u"N"_s});
    parser.addOption({u"pid"_s, u"process id of that service, for its memory"_s, u"PID"_s});
    parser.addOption({u"seconds"_s, u"length of each load run (default 20)"_s, u"S"_s});
    parser.addOption({u"threads"_s, u"--threads for the started service"_s, u"N"_s});
    parser.addHelpOption();
    parser.process(app);

    QTemporaryDir scratch;
    QString dictionary = parser.value(u"dict"_s);
    if (parser.isSet(u"synthetic"_s)) {
        dictionary = scratch.filePath(u"synthetic.sqlite"_s);
        QElapsedTimer timer;
        timer.start();
        if (!writeSyntheticDictionary(dictionary, parser.value(u"synthetic"_s).toInt())) {
            std::fprintf(stderr, "bench_service: cannot write %s\n", qPrintable(dictionary));
            return 1;
        }
        std::printf("synthetic dictionary: %d lexemes, %d forms, written in %lld ms\n",
                    parser.value(u"synthetic"_s).toInt(), parser.value(u"synthetic"_s).toInt() * 12,
                    timer.elapsed());
    }
    if (dictionary.isEmpty() && !parser.isSet(u"port"_s)) {
        std::fprintf(stderr, "bench_service: give --dict DB, --synthetic N or --port N\n");
        return 2;
    }
    const int seconds = std::clamp(parser.value(u"seconds"_s).toInt(), 1, 120);
    const int runSeconds = parser.isSet(u"seconds"_s) ? seconds : 20;
    // 64 clients, 1,200 held connections and the service's own: more than a default of 1,024.
    rlimit files = {};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }

    QProcess service;
    int port = parser.value(u"port"_s).toInt();
    qint64 pid = parser.value(u"pid"_s).toLongLong();
    QElapsedTimer timer;
    if (port == 0) {
        QStringList args{u"serve"_s, u"--dict"_s, dictionary, u"--listen"_s, u"127.0.0.1:0"_s,
                         u"--max-connections"_s, u"2000"_s};
        if (parser.isSet(u"threads"_s))
            args << u"--threads"_s << parser.value(u"threads"_s);
        // The service logs a line per request: into a file, so that no pipe fills up.
        const QString log = scratch.filePath(u"service.log"_s);
        service.setStandardErrorFile(log);
        service.start(QCoreApplication::applicationDirPath() + u"/../bin/lexorum-cli"_s, args);
        const QRegularExpression serving(u"serving on 127\\.0\\.0\\.1:(\\d+)"_s);
        QString seen;
        timer.start();
        while (port == 0 && timer.elapsed() < 30000 && service.state() != QProcess::NotRunning) {
            QFile file(log);
            if (file.open(QIODevice::ReadOnly))
                seen = QString::fromUtf8(file.readAll());
            const QRegularExpressionMatch match = serving.match(seen);
            if (match.hasMatch())
                port = match.captured(1).toInt();
            else
                QThread::msleep(20);
        }
        if (port == 0) {
            std::fprintf(stderr, "bench_service: the service did not start: %s\n",
                         qPrintable(seen));
            return 1;
        }
        pid = service.processId();
        timer.start();
        httplib::Client health("127.0.0.1", port);
        while (timer.elapsed() < 300000) {
            const httplib::Result result = health.Get("/health");
            if (result && result->status == 200)
                break;
            QThread::msleep(50);
        }
        const ProcessFigures loaded = figuresOf(pid);
        std::printf("service up on port %d, dictionary loaded in %lld ms, resident %lld MB\n", port,
                    timer.elapsed(), loaded.rssKb / 1024);
    }
    const QStringList words = sampleWords(dictionary, 20000);

    // One request of 100,000 lines, one word each: three runs.
    {
        const std::string body = "PROGRAM=Cambrel&VERSION=1.0&WORDS="
                                 + formEncode(makeList(words, LongLines, 1, 0).toUtf8());
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(60);
        for (int run = 1; run <= 3; ++run) {
            const double cpuBefore = figuresOf(pid).cpuSeconds;
            timer.start();
            const httplib::Result result =
                client.Post("/words/initform.php", body, "application/x-www-form-urlencoded");
            const qint64 ms = timer.elapsed();
            const bool ok =
                result && result->status == 200
                && std::count(result->body.begin(), result->body.end(), '\n') == LongLines;
            std::printf("100,000-line request (%zu bytes): %lld ms, service CPU %.0f ms, %s\n",
                        body.size(), ms, (figuresOf(pid).cpuSeconds - cpuBefore) * 1000.0,
                        ok ? "reply complete" : "FAILED");
        }
    }

    int failures = 0;
    const ProcessFigures before = figuresOf(pid);
    for (const bool keepAlive : {false, true}) {
        const LoadFigures figures = runLoad(port, words, runSeconds, keepAlive);
        failures += figures.failures;
        printLoad(keepAlive ? "64 clients, kept connections" : "64 clients, a connection each",
                  figures);
    }
    {
        const HostileClients hostile(port, SlowClients, IdleConnections);
        for (const bool keepAlive : {false, true}) {
            const LoadFigures figures = runLoad(port, words, runSeconds, keepAlive);
            failures += figures.failures;
            printLoad(keepAlive ? "  beside 200 slow and 1,000 idle, kept connections"
                                : "  beside 200 slow and 1,000 idle, a connection each",
                      figures);
        }
        std::printf("  (held connections the service closed and the bench reopened: %d)\n",
                    hostile.reopened());
    }
    const ProcessFigures after = figuresOf(pid);
    std::printf("service CPU %.1f s; resident memory %lld MB now, %lld MB at peak\n",
                after.cpuSeconds - before.cpuSeconds, after.rssKb / 1024, after.peakKb / 1024);

    // Pathological bodies: 16 MB of '&', eight at once. The peak is counted from here on.
    {
        QFile clear(u"/proc/%1/clear_refs"_s.arg(pid));
        const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        clear.close();
        const std::string body = std::string(FloodBytes - 6, '&') + "WORDS=";
        std::atomic<int> answered = 0;
        std::atomic<int> refused = 0;
        timer.start();
        std::vector<std::thread> floods;
        for (int i = 0; i < FloodRequests; ++i)
            floods.emplace_back([&] {
                httplib::Client client("127.0.0.1", port);
                client.set_read_timeout(120);
                client.set_write_timeout(120);
                const httplib::Result result =
                    client.Post("/words/initform.php", body, "application/x-www-form-urlencoded");
                if (result && result->status == 200)
                    ++answered;
                else if (result && result->status == 503)
                    ++refused;
            });
        for (std::thread &t : floods)
            t.join();
        const ProcessFigures flooded = figuresOf(pid);
        std::printf("%d concurrent 16 MB bodies of '&': %d answered, %d refused for memory, in "
                    "%lld ms; service peak %lld MB%s, %lld MB after\n",
                    FloodRequests, answered.load(), refused.load(), timer.elapsed(),
                    flooded.peakKb / 1024, reset ? " (counted from this run)" : " (since start)",
                    flooded.rssKb / 1024);
        failures += FloodRequests - answered - refused;
    }

    if (service.state() != QProcess::NotRunning) {
        service.terminate();
        service.waitForFinished(30000);
        std::printf("service stopped with status %d\n", service.exitCode());
    }
    return failures == 0 ? 0 : 1;
}
