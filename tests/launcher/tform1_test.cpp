#include "launcher/tform1.h"

#include "common/desktopservices.h"
#include "launcher/launchermodel.h"
#include "tests/support/printers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {
class RecordingServices final : public DesktopServices
{
public:
    RecordingServices() { DesktopServices::setCurrent(this); }
    ~RecordingServices() override { DesktopServices::setCurrent(nullptr); }
    void openUrl(const QUrl &url) override { opened.append(url); }
    bool startDetached(const QString &program) override
    {
        started.append(program);
        return false;
    }
    QList<QUrl> opened;
    QStringList started;
};

// A stand-in tool: a shell script that adds its process id to a log beside itself.
void writeStandIn(const QString &directory, const QString &name)
{
    QFile script(directory + u'/' + name);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho $$ >> \"$(dirname \"$0\")/" + name.toUtf8() + ".starts\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList startsOf(const QString &directory, const QString &name)
{
    QFile log(directory + u'/' + name + u".starts"_s);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QPushButton *button(const TForm1 &form, const QString &name)
{
    return form.findChild<QPushButton *>(name);
}

void trigger(const TForm1 &form, const QString &name)
{
    QAction *action = form.findChild<QAction *>(name);
    ASSERT_NE(action, nullptr) << name.toStdString();
    action->trigger();
}

bool showActive(TForm1 &form)
{
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}
}

#ifdef Q_OS_UNIX
TEST(LauncherWindow, StartsAToolFromItsDirectoryOncePerPress)
{
    QTemporaryDir directory;
    writeStandIn(directory.path(), u"Pelmor"_s);
    TForm1 form(directory.path());
    ASSERT_TRUE(showActive(form));
    QTest::mouseClick(button(form, u"BitBtn1"_s), Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_F2);
    // The tool runs detached, so its record comes when it comes.
    EXPECT_TRUE(QTest::qWaitFor([&] { return startsOf(directory.path(), u"Pelmor"_s).size() >= 2; },
                                10000));
    const QStringList starts = startsOf(directory.path(), u"Pelmor"_s);
    ASSERT_EQ(starts.size(), 2);
    EXPECT_NE(starts[0], starts[1]);  // two processes
}
#endif

TEST(LauncherWindow, MissingToolIsPassedOverInSilence)
{
    QTemporaryDir directory;
    TForm1 form(directory.path());
    ASSERT_TRUE(showActive(form));
    // A box would run its own event loop; close it from there and remember it came.
    bool boxShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            boxShown = true;
            box->close();
        }
    });
    watch.start(10);
    QTest::mouseClick(button(form, u"BitBtn2"_s), Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_F3);
    QTest::keyClick(&form, Qt::Key_F4);
    QApplication::processEvents();
    EXPECT_FALSE(boxShown);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(QDir(directory.path()).isEmpty());
}

TEST(LauncherWindow, EachCommandStartsOrOpensItsOwnFile)
{
    RecordingServices services;
    TForm1 form(u"/suite"_s);
    ASSERT_TRUE(showActive(form));
    QTest::keyClick(&form, Qt::Key_F4);
    QTest::keyClick(&form, Qt::Key_F3);
    QTest::mouseClick(button(form, u"BitBtn1"_s), Qt::LeftButton);
    QTest::mouseClick(button(form, u"BitBtn3"_s), Qt::LeftButton);
    EXPECT_EQ(services.started, (QStringList{form.model().programFile(SuiteTool::Orvella),
                                             form.model().programFile(SuiteTool::Cambrel),
                                             form.model().programFile(SuiteTool::Pelmor),
                                             form.model().programFile(SuiteTool::Orvella)}));

    QTest::mouseClick(button(form, u"BitBtn4"_s), Qt::LeftButton);
    QTest::mouseClick(button(form, u"BitBtn5"_s), Qt::LeftButton);
    QTest::mouseClick(button(form, u"BitBtn6"_s), Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_F1);
    QTest::keyClick(&form, Qt::Key_F1, Qt::ShiftModifier);
    trigger(form, u"N7"_s);
    EXPECT_EQ(services.opened, (QList<QUrl>{QUrl::fromLocalFile(u"/suite/Pelmor.html"_s),
                                            QUrl::fromLocalFile(u"/suite/Cambrel.html"_s),
                                            QUrl::fromLocalFile(u"/suite/Orvella.html"_s),
                                            QUrl::fromLocalFile(u"/suite/Lexorum.html"_s),
                                            LauncherModel::onlineHelp(),
                                            LauncherModel::productPage()}));
}

TEST(LauncherWindow, KeepsAFixedClientAreaWithItsPictures)
{
    TForm1 form(QDir::tempPath());
    ASSERT_TRUE(showActive(form));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.centralWidget()->width(), 363);
    EXPECT_EQ(form.centralWidget()->height() + form.statusBar()->height(), 454);
    EXPECT_TRUE(form.statusBar()->currentMessage().isEmpty());
    const auto *background = qobject_cast<QLabel *>(form.centralWidget());
    ASSERT_NE(background, nullptr);
    EXPECT_FALSE(background->pixmap().isNull());
    for (const QString &name : {u"BitBtn1"_s, u"BitBtn2"_s, u"BitBtn3"_s}) {
        const QLabel *picture = button(form, name)->findChild<QLabel *>();
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->pixmap().isNull()) << name.toStdString();
    }
}
