#include "launcher/launchermodel.h"

#include "tests/support/printers.h"

#include <QCoreApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(LauncherModel, UpdateCheckAnswersOnceLater)
{
    LauncherModel model(QString{});
    model.setUpdateCheckDelay(std::chrono::milliseconds(0));
    QSignalSpy answers(&model, &LauncherModel::updateCheckAnswered);
    model.checkForUpdates();
    model.checkForUpdates();  // pressed again while waiting
    EXPECT_EQ(answers.count(), 0);
    EXPECT_TRUE(model.isCheckingForUpdates());
    ASSERT_TRUE(answers.wait(5000));
    QCoreApplication::processEvents();
    ASSERT_EQ(answers.count(), 1);
    EXPECT_EQ(answers.at(0).at(0).toString(), u"Обновлений нет"_s);
    EXPECT_FALSE(model.isCheckingForUpdates());
}

TEST(LauncherModel, StartsToolsBesideItselfAndOpensHelpFromTheDataFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString portable = dir.filePath(u"portable"_s);
    ASSERT_TRUE(QDir().mkpath(portable));
    const LauncherModel flat(portable);
    EXPECT_EQ(flat.programFile(SuiteTool::Orvella), portable + u"/Orvella"_s);
    EXPECT_EQ(flat.helpFile(SuiteTool::Orvella), portable + u"/Orvella.html"_s);
    EXPECT_EQ(flat.suiteHelpFile(), portable + u"/Lexorum.html"_s);

    const QString bin = dir.filePath(u"usr/bin"_s);
    const QString data = dir.filePath(u"usr/share/lexorum"_s);
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(data));
    const LauncherModel installed(bin);
    EXPECT_EQ(installed.programFile(SuiteTool::Pelmor), bin + u"/Pelmor"_s);
    EXPECT_EQ(installed.helpFile(SuiteTool::Pelmor), data + u"/Pelmor.html"_s);
    EXPECT_EQ(installed.suiteHelpFile(), data + u"/Lexorum.html"_s);
}
