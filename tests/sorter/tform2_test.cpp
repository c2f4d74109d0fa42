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

/// Runs askName, and once the dialog is up types text into the field and leaves it.
QString rename(TForm2 &dialog, const QString &typed, const std::function<void()> &leave)
{
    QTimer::singleShot(0, &dialog, [&dialog, typed, leave] {
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        dialog.Edit1->setText(typed);
        leave();
        if (dialog.isVisible())  // a step that failed to close it must not hang the test
            dialog.done(QDialog::Rejected);
    });
    return dialog.askName(u"a"_s);
}

} // namespace

// Enter and Esc are driven through the main window's rename test.
TEST(TForm2, EveryWayOutButEscKeepsTheField)
{
    TForm2 dialog;
    // An empty name is accepted.
    EXPECT_EQ(rename(dialog, QString(), [&] { QTest::keyClick(dialog.Edit1, Qt::Key_Enter); }),
              QString());
    EXPECT_EQ(rename(dialog, u"b"_s, [&] { dialog.close(); }), u"b"_s);  // the close box
    EXPECT_EQ(rename(dialog, u"c"_s, [&] { QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton); }),
              u"c"_s);
}
