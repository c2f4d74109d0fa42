#include "launcher/launchermodel.h"

#include "tests/support/printers.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(LauncherModel, NamesFilesInItsOwnDirectory)
{
    const LauncherModel model(u"/opt/suite dir"_s);
#ifdef Q_OS_WIN
    EXPECT_EQ(model.programFile(SuiteTool::Pelmor), u"/opt/suite dir/Pelmor.exe"_s);
#else
    EXPECT_EQ(model.programFile(SuiteTool::Pelmor), u"/opt/suite dir/Pelmor"_s);
    EXPECT_EQ(model.programFile(SuiteTool::Orvella), u"/opt/suite dir/Orvella"_s);
#endif
    EXPECT_EQ(model.helpFile(SuiteTool::Cambrel), u"/opt/suite dir/Cambrel.html"_s);
    EXPECT_EQ(model.suiteHelpFile(), u"/opt/suite dir/Lexorum.html"_s);
}

TEST(LauncherModel, ProductPageKeepsItsQuery)
{
    const QUrl page = LauncherModel::productPage();
    EXPECT_EQ(page.path(), u"/product.php"_s);
    EXPECT_EQ(QUrlQuery(page).queryItemValue(u"id"_s), u"66"_s);
    EXPECT_EQ(LauncherModel::onlineHelp().path(), u"/products/lexorum/help/"_s);
    EXPECT_EQ(page.host(), LauncherModel::onlineHelp().host());
}

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
