#include "sorter/tform2.h"

#include "tests/support/printers.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

/// Runs askName and, once the dialog is up, does what the user does in it.
QString rename(TForm2 &dialog, const QString &name, const std::function<void()> &user)
{
    QTimer::singleShot(0, &dialog, [&dialog, user] {
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        user();
        if (dialog.isVisible())  // a step that failed to close it must not hang the test
            dialog.done(QDialog::Rejected);
    });
    return dialog.askName(name);
}

} // namespace

TEST(TForm2, EveryWayOutKeepsTheFieldExceptEsc)
{
    TForm2 dialog;
    EXPECT_EQ(rename(dialog, u"В список"_s,
                     [&] {
                         dialog.Edit1->clear();
                         dialog.Edit1->insert(u"Глаголы"_s);
                         QTest::keyClick(dialog.Edit1, Qt::Key_Return);
                     }),
              u"Глаголы"_s);
    EXPECT_EQ(rename(dialog, u"Глаголы"_s,
                     [&] {
                         QTest::keyClicks(dialog.Edit1, u"xx"_s);
                         QTest::keyClick(dialog.Edit1, Qt::Key_Escape);
                     }),
              u"Глаголы"_s);
    EXPECT_EQ(rename(dialog, u"Глаголы"_s,
                     [&] {
                         dialog.Edit1->clear();
                         QTest::keyClick(dialog.Edit1, Qt::Key_Enter);
                     }),
              QString());  // an empty name is accepted
    EXPECT_EQ(rename(dialog, u"a"_s,
                     [&] {
                         dialog.Edit1->setText(u"b"_s);
                         dialog.close();  // the close box
                     }),
              u"b"_s);
    EXPECT_EQ(rename(dialog, u"a"_s,
                     [&] {
                         dialog.Edit1->setText(u"c"_s);
                         QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
                     }),
              u"c"_s);
}
