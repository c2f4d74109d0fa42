#include "launcher/launchermodel.h"

#include "tests/support/printers.h"

#include <QCoreApplication>
#include <QSignalSpy>

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
