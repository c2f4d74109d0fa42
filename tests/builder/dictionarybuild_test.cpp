#include "builder/dictionarybuild.h"

#include "tests/support/printers.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class DictionaryBuildTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // A stand-in for lexorum-build-dictionary with the given shell body.
    QString script(const QByteArray &body, bool executable = true)
    {
        const QString path = m_dir.filePath(u"lexorum-build-dictionary"_s);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    QString dataFolder() const { return m_dir.filePath(u"данные/lexorum"_s); }

    QTemporaryDir m_dir;
};

TEST_F(DictionaryBuildTest, ReportsTheLinesAndSucceedsWhenTheDictionaryIsThere)
{
    DictionaryBuild build(script("echo 'загрузка морфологии'\n"
                                 "[ \"$1\" = --data ] || exit 2\n"
                                 "mkdir -p \"$2\" && echo db > \"$2/lexorum-ru.sqlite\"\n"
                                 "printf 'готово'\n"),
                          dataFolder());
    ASSERT_TRUE(build.isAvailable());
    EXPECT_EQ(build.dictionaryPath(), dataFolder() + u"/lexorum-ru.sqlite"_s);
    QSignalSpy lines(&build, &DictionaryBuild::lineWritten);
    QSignalSpy finished(&build, &DictionaryBuild::finished);
    build.start();
    ASSERT_TRUE(finished.wait(30000));
    ASSERT_EQ(lines.count(), 2);  // the last line has no line break
    EXPECT_EQ(lines.at(0).at(0).toString(), u"загрузка морфологии"_s);
    EXPECT_EQ(lines.at(1).at(0).toString(), u"готово"_s);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(QFileInfo(build.dictionaryPath()).isFile());
}

TEST_F(DictionaryBuildTest, FailsWithTheScriptsLastWord)
{
    DictionaryBuild failing(script("echo 'загрузка'\n"
                                   "echo 'lexorum-build-dictionary: cannot download mc-data' >&2\n"
                                   "exit 1\n"),
                            dataFolder());
    QSignalSpy finished(&failing, &DictionaryBuild::finished);
    failing.start();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_EQ(finished.at(0).at(1).toString(),
              u"lexorum-build-dictionary: cannot download mc-data"_s);

    // Success without the dictionary is no success.
    DictionaryBuild silent(script("exit 0\n"), dataFolder());
    QSignalSpy silentFinished(&silent, &DictionaryBuild::finished);
    silent.start();
    ASSERT_TRUE(silentFinished.wait(30000));
    EXPECT_FALSE(silentFinished.at(0).at(0).toBool());
    EXPECT_FALSE(silentFinished.at(0).at(1).toString().isEmpty());
}

TEST_F(DictionaryBuildTest, IsNotAvailableWithoutAnExecutableScript)
{
    EXPECT_FALSE(DictionaryBuild(m_dir.filePath(u"нет"_s), dataFolder()).isAvailable());
    EXPECT_FALSE(DictionaryBuild(script("exit 0\n", false), dataFolder()).isAvailable());
}

TEST_F(DictionaryBuildTest, CancelStopsARunningBuild)
{
    DictionaryBuild build(script("echo started\nexec sleep 600\n"), dataFolder());
    QSignalSpy lines(&build, &DictionaryBuild::lineWritten);
    QSignalSpy finished(&build, &DictionaryBuild::finished);
    build.start();
    ASSERT_TRUE(lines.wait(30000));
    build.cancel();
    EXPECT_FALSE(build.isRunning());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(finished.at(0).at(0).toBool());
}

} // namespace
