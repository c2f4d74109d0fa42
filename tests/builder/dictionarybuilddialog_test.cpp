#include "builder/dictionarybuilddialog.h"

#include "builder/dictionarybuildjob.h"
#include "tests/dictionary/morphologyfixture.h"
#include "tests/support/printers.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class DictionaryBuildDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(u"morph"_s));
        ASSERT_TRUE(TestMorphology::standard().write(dir.filePath(u"morph"_s)));
        ASSERT_TRUE(writeFile(dir.filePath(u"a.txt"_s), "Кошки стали лучших.\n"));
        dialog.job().program = QStringLiteral(LEXORUM_BIN_DIR "/lexorum-cli");
        dialog.job().morphologyDir = dir.filePath(u"morph"_s);
        dialog.OutPath->setText(dir.filePath(u"mine.sqlite"_s));
        dialog.show();
    }
    QTemporaryDir dir;
    DictionaryBuildDialog dialog;
};

} // namespace

TEST_F(DictionaryBuildDialogTest, BuildsAndOffersTheNewDictionary)
{
    dialog.addSources({dir.filePath(u"a.txt"_s)});
    QSignalSpy finished(&dialog.job(), &DictionaryBuildJob::finished);
    // The question at the end is modal: answer it when it shows.
    QString question;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        }
    });
    answer.start(20);
    QTest::mouseClick(dialog.Build, Qt::LeftButton);
    EXPECT_FALSE(dialog.Build->isEnabled());
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(question.endsWith(u"mine.sqlite.\nИспользовать его?"_s)) << question.toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.builtPath(), dir.filePath(u"mine.sqlite"_s));
}

TEST_F(DictionaryBuildDialogTest, CancelStopsTheBuildAndLeavesNoFile)
{
    const QString pipe = dir.filePath(u"pipe.txt"_s);
    ASSERT_EQ(mkfifo(pipe.toUtf8().constData(), 0600), 0);
    dialog.addSources({pipe});
    QSignalSpy progress(&dialog.job(), &DictionaryBuildJob::progressChanged);
    QSignalSpy finished(&dialog.job(), &DictionaryBuildJob::finished);
    QTest::mouseClick(dialog.Build, Qt::LeftButton);
    ASSERT_TRUE(progress.wait(60000));
    EXPECT_EQ(dialog.Stage->text(), u"Чтение текстов"_s);
    QTest::mouseClick(dialog.Cancel, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());  // the build stops first; the window stays
    {
        QFile writer(pipe);
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(dialog.Stage->text(), u"Создание словаря отменено."_s);
    EXPECT_TRUE(dialog.Build->isEnabled());
    EXPECT_FALSE(QFile::exists(dir.filePath(u"mine.sqlite"_s)));
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.part"_s}, QDir::Files), QStringList());
}
