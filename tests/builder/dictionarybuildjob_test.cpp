#include "builder/dictionarybuildjob.h"

#include "tests/dictionary/morphologyfixture.h"
#include "tests/support/printers.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The real builder on a tiny corpus and the test morphology.
class DictionaryBuildJobTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"morph"_s) && QDir(dir.path()).mkpath(u"texts"_s));
        ASSERT_TRUE(TestMorphology::standard().write(dir.filePath(u"morph"_s)));
        ASSERT_TRUE(writeFile(dir.filePath(u"texts/a.txt"_s),
                              "Кошки стали лучших.\nЁж, кошка и сталь.\n"));
        ASSERT_TRUE(writeFile(dir.filePath(u"texts/broken.txt.gz"_s), "not gzip"));
        job.program = QStringLiteral(LEXORUM_BIN_DIR "/lexorum-cli");
        job.morphologyDir = dir.filePath(u"morph"_s);
        out = dir.filePath(u"mine.sqlite"_s);
    }
    QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    DictionaryBuildJob job;
    QString out;
};

} // namespace

TEST_F(DictionaryBuildJobTest, BuildsFromTheChosenTextsAndFollowsEachStage)
{
    QSignalSpy finished(&job, &DictionaryBuildJob::finished);
    QSignalSpy skipped(&job, &DictionaryBuildJob::fileSkipped);
    QStringList captions;
    QObject::connect(&job, &DictionaryBuildJob::progressChanged,
                     [&] { captions.append(job.stageCaption()); });
    ASSERT_TRUE(job.start({dir.filePath(u"texts"_s)}, out));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(finished.at(0).at(0).toBool()) << job.errorText().toStdString();
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_EQ(job.stageNumber(), DictionaryBuildJob::StageCount);
    EXPECT_EQ(job.tokens(), 7);
    EXPECT_EQ(captions.first(), u"Чтение текстов"_s);
    EXPECT_TRUE(captions.contains(u"Чтение текстов, слов: 7"_s)) << captions.join(u'|').toStdString();
    EXPECT_EQ(captions.last(), u"Построение индексов, слов: 7"_s);
    ASSERT_EQ(skipped.size(), 1);
    EXPECT_TRUE(skipped.at(0).at(0).toString().startsWith(u"Пропущен файл "_s));
    EXPECT_TRUE(skipped.at(0).at(0).toString().endsWith(
        u"broken.txt.gz: сжатый файл (gzip) повреждён"_s))
        << skipped.at(0).at(0).toString().toStdString();

    // What cannot start says why, and runs nothing.
    EXPECT_FALSE(job.start({}, out));
    EXPECT_EQ(job.errorText(), u"Выберите файлы или папки с текстами."_s);
    job.morphologyDir = dir.filePath(u"none"_s);
    EXPECT_FALSE(job.start({dir.filePath(u"texts"_s)}, out));
    EXPECT_TRUE(job.errorText().startsWith(u"Не найдена морфология"_s));
    EXPECT_FALSE(job.isRunning());
}

TEST_F(DictionaryBuildJobTest, ReportsTheBuildersErrorAndLeavesNoFile)
{
    QFile dawg(dir.filePath(u"morph/words.dawg"_s));
    ASSERT_TRUE(dawg.resize(dawg.size() - 1));
    QSignalSpy finished(&job, &DictionaryBuildJob::finished);
    const QStringList before = filesInDir();
    ASSERT_TRUE(job.start({dir.filePath(u"texts"_s)}, out));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(job.errorText().startsWith(u"Словарь не создан: "_s));
    EXPECT_TRUE(job.errorText().contains(u"words.dawg"_s)) << job.errorText().toStdString();
    EXPECT_EQ(filesInDir(), before);
}

TEST_F(DictionaryBuildJobTest, LeavesNoFileWhenCancelled)
{
    // The builder waits on a pipe while it counts, so the cancel comes mid-build.
    const QString pipe = dir.filePath(u"texts/pipe.txt"_s);
    ASSERT_EQ(mkfifo(pipe.toUtf8().constData(), 0600), 0);
    QSignalSpy progress(&job, &DictionaryBuildJob::progressChanged);
    QSignalSpy finished(&job, &DictionaryBuildJob::finished);
    const QStringList before = filesInDir();
    ASSERT_TRUE(job.start({pipe, dir.filePath(u"texts/a.txt"_s)}, out));
    ASSERT_TRUE(progress.wait(60000));
    EXPECT_EQ(job.stageNumber(), 1);
    job.cancel();
    {
        QFile writer(pipe);
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
        writer.write("кошки стали\n");
    }
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_EQ(job.errorText(), u"Создание словаря отменено."_s);
    EXPECT_EQ(filesInDir(), before);
}
