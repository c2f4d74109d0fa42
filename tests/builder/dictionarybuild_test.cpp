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

TEST_F(DictionaryBuildTest, SaysInRussianWhatTheScriptDoes)
{
    DictionaryBuild build(script("[ \"$1 $3 $4\" = '--data --progress machine' ] || exit 2\n"
                                 "echo 'download az@0.2.3'\n"
                                 "echo 'download 1 40 fortunes-ru'\n"
                                 "echo 'extract 1 40 fortunes-ru'\n"
                                 "echo 'something npm said'\n"
                                 "echo build\n"
                                 "echo 'stage count'\n"
                                 "echo 'tokens 1234567'\n"
                                 "echo 'stage index'\n"
                                 "mkdir -p \"$2\" && echo db > \"$2/lexorum-ru.sqlite\"\n"
                                 "printf 'done %s' \"$2/lexorum-ru.sqlite\"\n"),
                          dataFolder());
    ASSERT_TRUE(build.isAvailable());
    EXPECT_EQ(build.dictionaryPath(), dataFolder() + u"/lexorum-ru.sqlite"_s);
    QSignalSpy captions(&build, &DictionaryBuild::progressChanged);
    QSignalSpy finished(&build, &DictionaryBuild::finished);
    build.start();
    ASSERT_TRUE(finished.wait(30000));
    QStringList said;
    for (const QList<QVariant> &caption : captions)
        said.append(caption.at(0).toString());
    // The last line has no line break.
    EXPECT_EQ(said, (QStringList{u"Загрузка морфологии (az@0.2.3)"_s,
                                 u"Загрузка текстов: пакет 1 из 40 (fortunes-ru)"_s,
                                 u"Извлечение текстов: пакет 1 из 40 (fortunes-ru)"_s,
                                 u"Построение словаря"_s,
                                 u"Построение словаря: Чтение текстов"_s,
                                 u"Построение словаря: Чтение текстов, слов: 1\u00a0234\u00a0567"_s,
                                 u"Построение словаря: Построение индексов"_s,
                                 u"Словарь готов"_s}));
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(QFileInfo(build.dictionaryPath()).isFile());
}

TEST_F(DictionaryBuildTest, FailsWithTheReasonInRussian)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"echo 'failed download mc-data' >&2\n",
         u"не удалось загрузить пакет mc-data; проверьте подключение к сети и выполните sudo "
         "apt-get update"_s},
        {"echo 'failed npm-missing' >&2\n",
         u"для загрузки морфологии нужна программа npm; установите её командой sudo apt-get "
         "install npm"_s},
        // What the script cannot name is said as lexorum-cli said it.
        {"echo build\necho 'lexorum-cli: /data/x.sqlite: No space left on device' >&2\n",
         u"/data/x.sqlite: No space left on device"_s},
    };
    for (const auto &[body, reason] : cases) {
        DictionaryBuild failing(script(body + "exit 1\n"), dataFolder());
        QSignalSpy finished(&failing, &DictionaryBuild::finished);
        failing.start();
        ASSERT_TRUE(finished.wait(30000));
        EXPECT_FALSE(finished.at(0).at(0).toBool());
        EXPECT_EQ(finished.at(0).at(1).toString(), reason);
    }

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
    DictionaryBuild build(script("echo build\nexec sleep 600\n"), dataFolder());
    QSignalSpy lines(&build, &DictionaryBuild::progressChanged);
    QSignalSpy finished(&build, &DictionaryBuild::finished);
    build.start();
    ASSERT_TRUE(lines.wait(30000));
    build.cancel();
    EXPECT_FALSE(build.isRunning());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(finished.at(0).at(0).toBool());
}

} // namespace
