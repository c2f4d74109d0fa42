#include "cli/cli.h"
#include "cli/descriptoroutput.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    DescriptorOutput out(STDOUT_FILENO);
    QFile err;
    if (!err.open(stderr, QIODevice::WriteOnly))
        return 1;
    const int status = runCli(app.arguments().mid(1), CliStreams{out, err});
    err.flush();
    return status;
}
