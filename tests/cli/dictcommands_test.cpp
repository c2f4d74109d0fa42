#include "tests/cli/cliprocess.h"
#include "tests/dictionary/morphologyfixture.h"
#include "tests/support/clitest.h"
#include "tests/support/printers.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class DictCommands : public CliTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"morph"_s));
        ASSERT_TRUE(TestMorphology::standard().write(path(u"morph"_s)));
        file(u"a.txt"_s, "Кошки стали лучших.\n");
        file(u"b.txt"_s, "Ёж, кошка и сталь.\n");
    }
    QStringList buildArgs(const QString &out) const
    {
        return {u"dict"_s, u"build"_s, u"--morph"_s, path(u"morph"_s),
                u"--corpus"_s, path(u"a.txt"_s), u"--out"_s, out};
    }
    QStringList temporaries() const
    {
        return QDir(m_dir.path()).entryList({u"*.part"_s}, QDir::Files | QDir::Dirs);
    }
};

} // namespace

TEST_F(DictCommands, CountsSharesAndBuildsFromThemWithMachineProgress)
{
    CliRun r = run({u"dict"_s, u"count"_s, u"--out"_s, path(u"a.counts"_s), path(u"a.txt"_s)});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QDir::toNativeSeparators(path(u"a.counts"_s)).toUtf8()
                                 + ": 3 tokens counted"))
        << r.out.toStdString();
    r = run({u"dict"_s, u"build"_s, u"--morph"_s, path(u"morph"_s), u"--counts"_s,
             path(u"a.counts"_s), u"--corpus"_s, path(u"b.txt"_s), u"--out"_s,
             path(u"d.sqlite"_s), u"--memory"_s, u"64M"_s, u"--progress"_s, u"machine"_s});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "stage count\ntokens 7\nstage match\nstage choose\nstage forms\n"
                     "stage grams\nstage index\ndone "
                         + QDir::toNativeSeparators(path(u"d.sqlite"_s)).toUtf8() + "\n");
    EXPECT_EQ(r.err, QString());
}

TEST_F(DictCommands, RefusesOptionsItCannotRead)
{
    const QStringList build = {u"dict"_s, u"build"_s, u"--morph"_s, path(u"morph"_s),
                               u"--out"_s, path(u"d.sqlite"_s)};
    for (const auto &[extra, message] :
         {std::pair{QStringList{u"--memory"_s, u"12X"_s}, u"--memory takes a size"_s},
          std::pair{QStringList{u"--memory"_s, u"100"_s}, u"--memory takes a size"_s},
          std::pair{QStringList{u"--progress"_s, u"fast"_s}, u"--progress takes machine"_s}}) {
        const CliRun r = run(build + extra);
        EXPECT_EQ(r.status, CliBadInput);
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
    }
    const CliRun r = run({u"dict"_s, u"count"_s, path(u"a.txt"_s)});
    EXPECT_EQ(r.status, CliBadInput);
    EXPECT_TRUE(r.err.contains(u"dict count needs --out FILE"_s)) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(u"d.sqlite"_s)));
}

// A full disk was reported as SQLite's English text, naming the temporary file.
TEST_F(DictCommands, BuildSaysInRussianThatTheDiskIsFull)
{
    CliProcessSetup setup;
    setup.fileSizeLimit = 8192;  // less than the schema takes
    const CliProcessRun r = runCliProcess(buildArgs(path(u"out.sqlite"_s)), setup);
    EXPECT_EQ(r.status, CliBadInput) << r.err.toStdString();
    const QString last = r.err.trimmed().section(u'\n', -1);
    EXPECT_TRUE(last.startsWith(u"lexorum-cli: "_s)) << last.toStdString();
    EXPECT_TRUE(last.contains(u"«"_s + QDir::toNativeSeparators(path(u"out.sqlite"_s)) + u"»"_s))
        << last.toStdString();
    EXPECT_TRUE(last.contains(u"Освободите место на диске"_s)) << last.toStdString();
    EXPECT_EQ(temporaries(), QStringList());
    EXPECT_FALSE(QFile::exists(path(u"out.sqlite"_s)));
}

// An interrupted build once left its OUT.XXXXXX.part behind, up to 216 MB of it.
TEST_F(DictCommands, BuildRemovesItsTemporaryWhenInterrupted)
{
    // The progress lines of a whole build tell how many bytes come before the one that says
    // the temporary file is being written.
    const CliProcessRun whole = runCliProcess(buildArgs(path(u"whole.sqlite"_s)));
    ASSERT_EQ(whole.status, 0) << whole.err.toStdString();
    const qsizetype writing = whole.err.indexOf(u"Writing the forms"_s);
    ASSERT_GT(writing, 0) << whole.err.toStdString();
    const qsizetype before = whole.err.left(whole.err.lastIndexOf(u'\n', writing) + 1).toUtf8().size();

    // Standard error is a pipe filled so that those lines still fit and that one does not:
    // the build stops in it with its temporary file open, until the pipe is read.
    int errors[2];
    ASSERT_EQ(::pipe2(errors, O_CLOEXEC), 0);
    const int capacity = ::fcntl(errors[1], F_SETPIPE_SZ, 4096) >= 0
                             ? ::fcntl(errors[1], F_GETPIPE_SZ)
                             : 65536;
    const std::string fill(std::size_t(capacity - before - 8), '.');  // 8: wider timings
    ASSERT_EQ(::write(errors[1], fill.data(), fill.size()), ssize_t(fill.size()));
    const int created = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(created, QFile::encodeName(m_dir.path()).constData(), IN_CREATE),
              0);
    const int child = startCliProcess(buildArgs(path(u"out.sqlite"_s)), errors[1]);
    ::close(errors[1]);
    ASSERT_GT(child, 0);
    bool started = false;
    pollfd event = {created, POLLIN, 0};
    while (!(started = !temporaries().isEmpty()) && ::poll(&event, 1, 20000) > 0) {
        char names[4096];
        [[maybe_unused]] const ssize_t got = ::read(created, names, sizeof names);
    }
    ::close(created);
    ::kill(child, SIGINT);
    // The build stays stopped in its write until it is gone; a build that did not stop is let go
    // after 20 s, to fail below.
    const int exited = int(::syscall(SYS_pidfd_open, child, 0));
    pollfd gone = {exited, POLLIN, 0};
    ::poll(&gone, 1, 20000);
    ::close(exited);
    char buffer[4096];
    while (::read(errors[0], buffer, sizeof buffer) > 0) {}
    ::close(errors[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(started) << "the build never wrote its temporary file";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_EQ(temporaries(), QStringList());
    EXPECT_FALSE(QFile::exists(path(u"out.sqlite"_s)));
}
