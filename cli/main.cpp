#include "cli/cli.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
        return 1;
    const int status = runCli(app.arguments().mid(1), CliStreams{out, err});
    out.flush();
    err.flush();
    return status;
}
