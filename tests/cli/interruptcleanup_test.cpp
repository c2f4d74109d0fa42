#include "cli/interruptcleanup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

// A signal between a temporary's making and its adding once left it behind: what a pattern
// names goes even when it was never added, and nothing else does.
TEST(InterruptCleanup, ASignalRemovesWhatWasAddedAndWhatAPatternNames)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir folder(dir.path());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const InterruptCleanup cleanup;
        InterruptCleanup::addPattern(dir.path(), u"out.sqlite."_s, u".part"_s);
        bool made = touch(folder.filePath(u"added.tmp"_s))
                    && folder.mkdir(u"out.sqlite.Ab12Cd.part"_s)
                    && touch(folder.filePath(u"out.sqlite.Ab12Cd.part/inside"_s))
                    && touch(folder.filePath(u"out.sqlite.Ef34Gh.part"_s));
        for (const QString &kept : {u"out.sqlite"_s, u"out.sqlite..part"_s,
                                    u"other.sqlite.Ab12Cd.part"_s, u"out.sqlite.Ab12Cd.run"_s})
            made = made && touch(folder.filePath(kept));
        InterruptCleanup::add(folder.filePath(u"added.tmp"_s));
        if (!made)
            ::_exit(3);
        ::raise(SIGINT);
        ::pause();
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{u"other.sqlite.Ab12Cd.part"_s, u"out.sqlite"_s, u"out.sqlite..part"_s,
                           u"out.sqlite.Ab12Cd.run"_s}));
}
