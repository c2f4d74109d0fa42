#include "cli/clicommands.h"

#include "cli/cli.h"
#include "cli/signalwatcher.h"
#include "service/serviceserver.h"

#include <QCommandLineParser>

#include <csignal>

using namespace Qt::Literals::StringLiterals;

namespace {

// ADDR:PORT, with IPv6 addresses in brackets ([::1]:8731).
bool parseListen(const QString &text, QString *host, int *port)
{
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return false;
    QString address = text.left(colon);
    if (address.startsWith(u'[') && address.endsWith(u']'))
        address = address.mid(1, address.size() - 2);
    bool ok = false;
    const int number = text.mid(colon + 1).toInt(&ok);
    if (!ok || number < 0 || number > 65535 || address.isEmpty())
        return false;
    *host = address;
    *port = number;
    return true;
}

bool parseCount(const QString &text, qint64 low, qint64 high, qint64 *value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && *value >= low && *value <= high;
}

} // namespace

int serveCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    parser.addOption({u"dict"_s, QString(), u"DB"_s});
    parser.addOption({u"listen"_s, QString(), u"ADDR:PORT"_s});
    parser.addOption({u"threads"_s, QString(), u"N"_s});
    parser.addOption({u"max-body"_s, QString(), u"BYTES"_s});
    parser.addOption({u"max-connections"_s, QString(), u"N"_s});
    parser.addOption({u"max-memory"_s, QString(), u"BYTES"_s});
    const QString usage = u"serve --dict DB [--listen ADDR:PORT] [--threads N] [--max-body BYTES] "
                          u"[--max-connections N] [--max-memory BYTES]"_s;
    if (!parseCommand(parser, args, 0, 0, io, usage))
        return parser.isSet(u"help"_s) ? 0 : CliBadInput;
    if (!parser.isSet(u"dict"_s))
        return io.fail(u"usage: lexorum-cli "_s + usage);

    ServiceOptions options;
    options.dictionary = parser.value(u"dict"_s);
    if (parser.isSet(u"listen"_s)
        && !parseListen(parser.value(u"listen"_s), &options.host, &options.port))
        return io.fail(u"--listen takes ADDR:PORT, e.g. 127.0.0.1:8731"_s);
    qint64 number = 0;
    if (parser.isSet(u"threads"_s)) {
        if (!parseCount(parser.value(u"threads"_s), 1, 1024, &number))
            return io.fail(u"--threads takes a number from 1 to 1024"_s);
        options.threads = int(number);
    }
    if (parser.isSet(u"max-body"_s)) {
        if (!parseCount(parser.value(u"max-body"_s), 1, qint64(1) << 30, &number))
            return io.fail(u"--max-body takes a number of bytes from 1 to 1073741824"_s);
        options.maxBody = number;
    }
    if (parser.isSet(u"max-connections"_s)) {
        if (!parseCount(parser.value(u"max-connections"_s), 1, 1000000, &number))
            return io.fail(u"--max-connections takes a number from 1 to 1000000"_s);
        options.maxConnections = int(number);
    }
    if (parser.isSet(u"max-memory"_s)) {
        if (!parseCount(parser.value(u"max-memory"_s), qint64(1) << 20, qint64(1) << 40, &number))
            return io.fail(u"--max-memory takes a number of bytes from 1048576 to 1099511627776"_s);
        options.maxMemory = number;
    }

    ServiceServer server(options, [&io](const QString &line) { io.warn(line); });
    QString error;
    if (!server.bind(&error))
        return io.fail(error);
    std::signal(SIGPIPE, SIG_IGN);
    io.warn(u"lexorum-cli: serving on %1:%2"_s.arg(options.host).arg(server.port()));
    server.startLoading();
    {
        const SignalWatcher stopSignals([&server](int) { server.stop(); });
        server.run();
    }
    io.warn(u"lexorum-cli: stopped"_s);
    return 0;
}
