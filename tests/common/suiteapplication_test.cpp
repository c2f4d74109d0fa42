#include "common/suiteapplication.h"

#include "tests/support/printers.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(SuiteApplication, QtsOwnButtonsSpeakRussian)
{
    ASSERT_TRUE(installQtRussianTranslation()) << "qt6-translations-l10n is not installed";
    QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), u"Отмена"_s);
    EXPECT_EQ(box.button(QDialogButtonBox::Open)->text(), u"Открыть"_s);
    for (QTranslator *translator : qApp->findChildren<QTranslator *>())
        QCoreApplication::removeTranslator(translator);
}
