#include "cli/cli.h"

#include "tests/support/printers.h"
#include "tests/service/servicefixture.h"
#include "service/serviceserver.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <httplib.h>

#include <gtest/gtest.h>

#include <csignal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QString cliPath()
{
    const QString bin =
        qEnvironmentVariable("LEXORUM_BIN", QCoreApplication::applicationDirPath() + u"/../bin"_s);
    return bin + u"/lexorum-cli"_s;
}

class ServeCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(writeServiceDictionary(m_dictionary), QString());
    }

    // Starts `lexorum-cli serve` on a free port and returns the port it reports, or 0.
    int startServe(QProcess &process)
    {
        process.start(cliPath(),
                      {u"serve"_s, u"--dict"_s, m_dictionary, u"--listen"_s, u"127.0.0.1:0"_s});
        if (!process.waitForStarted(20000))
            return 0;
        const QRegularExpression serving(u"serving on 127\\.0\\.0\\.1:(\\d+)"_s);
        QString seen;
        while (process.waitForReadyRead(20000) || process.canReadLine()) {
            seen += QString::fromUtf8(process.readAllStandardError());
            const QRegularExpressionMatch match = serving.match(seen);
            if (match.hasMatch())
                return match.captured(1).toInt();
        }
        ADD_FAILURE() << seen.toStdString();
        return 0;
    }

    QTemporaryDir m_dir;
    const QString m_dictionary = m_dir.filePath(u"dict.sqlite"_s);
};

} // namespace

TEST_F(ServeCommandTest, StopsOnSigtermOrSigintWithStatusZero)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        QProcess process;
        process.setReadChannel(QProcess::StandardError);
        const int port = startServe(process);
        ASSERT_GT(port, 0);
        httplib::Client client("127.0.0.1", port);
        const httplib::Result health = client.Get("/health");
        ASSERT_TRUE(health);
        EXPECT_TRUE(health->status == 200 || health->status == 503) << health->status;
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << signal;
        EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(u"stopped"_s));
    }
}

// SIGTERM once dropped requests that waited for a thread, and waited on slow senders.
TEST_F(ServeCommandTest, AnswersARequestUnderWayAfterSigterm)
{
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    const int port = startServe(process);
    ASSERT_GT(port, 0);
    httplib::Client client("127.0.0.1", port);
    bool loaded = false;
    for (int i = 0; i < 10000 && !loaded; ++i) {
        const httplib::Result health = client.Get("/health");
        ASSERT_TRUE(health);
        loaded = health->status == 200;
    }
    ASSERT_TRUE(loaded);

    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    const timeval patience = {20, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    const std::string body = "WORDS=" + formEncode("кошки");
    const std::string head = "POST /words/initform.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                             "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    // Half the request before the signal, the rest after it.
    ASSERT_EQ(::send(fd, head.data(), head.size(), MSG_NOSIGNAL), ssize_t(head.size()));
    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_EQ(::send(fd, body.data(), body.size(), MSG_NOSIGNAL), ssize_t(body.size()));
    std::string answer;
    char buffer[4096];
    ssize_t got;
    while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
        answer.append(buffer, std::size_t(got));
    ::close(fd);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200") && answer.ends_with("кошка"))
        << answer << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitCode(), 0);
}

TEST_F(ServeCommandTest, ExitsWithStatusTwoWhenThePortIsTaken)
{
    ServiceOptions options;
    options.dictionary = m_dictionary;
    options.port = 0;
    ServiceServer holder(options);
    QString error;
    ASSERT_TRUE(holder.bind(&error)) << error.toStdString();
    const QString address = u"127.0.0.1:"_s + QString::number(holder.port());

    QProcess process;
    process.start(cliPath(), {u"serve"_s, u"--dict"_s, m_dictionary, u"--listen"_s, address});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 2);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(errors.startsWith(u"lexorum-cli: cannot listen on "_s + address))
        << errors.toStdString();
    EXPECT_EQ(errors.count(u'\n'), 1) << errors.toStdString();
}

TEST_F(ServeCommandTest, RefusesBadOptions)
{
    const QStringList dict{u"--dict"_s, m_dictionary};
    const QStringList cases[] = {{},
                                 dict + QStringList{u"--listen"_s, u"8731"_s},
                                 dict + QStringList{u"--listen"_s, u"host:99999"_s},
                                 dict + QStringList{u"--threads"_s, u"0"_s},
                                 dict + QStringList{u"--max-body"_s, u"lots"_s},
                                 dict + QStringList{u"extra"_s}};
    for (const QStringList &args : cases) {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        EXPECT_EQ(runCli(QStringList{u"serve"_s} + args, CliStreams{out, err}), CliBadInput);
        const QString errors = QString::fromUtf8(err.data());
        EXPECT_EQ(errors.count(u'\n'), 1) << errors.toStdString();
        EXPECT_TRUE(!args.isEmpty() || errors.contains(u"--dict"_s)) << errors.toStdString();
    }
}
