#include "tests/cli/cliprocess.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Everything the child needs, made before fork(): after it only async-signal-safe calls.
struct Command
{
    std::vector<std::string> strings;
    std::vector<char *> argv;
    explicit Command(const QStringList &args)
    {
        strings.push_back(QFile::encodeName(cliPath()).toStdString());
        for (const QString &arg : args)
            strings.push_back(arg.toStdString());
        for (std::string &s : strings)
            argv.push_back(s.data());
        argv.push_back(nullptr);
    }
};

int spawn(const Command &command, int outputFd, int errorFd, long long fileSizeLimit)
{
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    if (outputFd >= 0)
        ::dup2(outputFd, STDOUT_FILENO);
    ::dup2(errorFd, STDERR_FILENO);
    if (fileSizeLimit >= 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::execv(command.argv[0], command.argv.data());
    ::_exit(127);
}

} // namespace

QString cliPath()
{
    const QString bin =
        qEnvironmentVariable("LEXORUM_BIN", QCoreApplication::applicationDirPath() + u"/../bin"_s);
    return bin + u"/lexorum-cli"_s;
}

CliProcessRun runCliProcess(const QStringList &args, const CliProcessSetup &setup)
{
    CliProcessRun run;
    const Command command(args);
    // A FIFO opens only with its reader there: the test holds that end itself.
    const int outputFd =
        ::open(QFile::encodeName(setup.outputPath).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    int errorPipe[2];
    if (outputFd < 0 || ::pipe2(errorPipe, O_CLOEXEC) != 0)
        return run;
    const int child = spawn(command, outputFd, errorPipe[1], setup.fileSizeLimit);
    ::close(outputFd);
    ::close(errorPipe[1]);
    std::string err;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(errorPipe[0], buffer, sizeof buffer)) > 0)
        err.append(buffer, std::size_t(got));
    ::close(errorPipe[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return run;
    run.err = QString::fromStdString(err);
    if (WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.signal = WTERMSIG(status);
    return run;
}

int startCliProcess(const QStringList &args, int errorFd)
{
    const Command command(args);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int child = spawn(command, devNull, errorFd, -1);
    ::close(devNull);
    return child;
}
