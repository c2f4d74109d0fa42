#include "launcher/tform1.h"

#include "common/desktopservices.h"
#include "common/suiteinfo.h"
#include "tests/support/printers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
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

// A stand-in tool: a shell script that adds its process id to path.starts.
void writeStandIn(const QString &path)
{
    QFile script(path);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho $$ >> \"$0.starts\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList startsOf(const QString &path)
{
    QFile log(path + u".starts"_s);
    return log.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)
               : QStringList();
}

QPushButton *button(const TForm1 &form, const QString &name)
{
    return form.findChild<QPushButton *>(name);
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
    const QString tool = directory.filePath(u"Pelmor"_s);
    writeStandIn(tool);
    TForm1 form(directory.path());
    ASSERT_TRUE(showActive(form));
    QTest::mouseClick(button(form, u"BitBtn1"_s), Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_F2);
    // The tool runs detached, so its record comes when it comes.
    EXPECT_TRUE(QTest::qWaitFor([&] { return startsOf(tool).size() >= 2; }, 10000));
    const QStringList starts = startsOf(tool);
    ASSERT_EQ(starts.size(), 2);
    EXPECT_NE(starts[0], starts[1]);  // two processes
}
#endif

TEST(LauncherWindow, ShowsItsPicturesAndPassesOverAMissingToolInSilence)
{
    QTemporaryDir directory;
    TForm1 form(directory.path());
    ASSERT_TRUE(showActive(form));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    const auto *background = qobject_cast<QLabel *>(form.centralWidget());
    ASSERT_NE(background, nullptr);
    EXPECT_FALSE(background->pixmap().isNull());
    for (const QString &name : {u"BitBtn1"_s, u"BitBtn2"_s, u"BitBtn3"_s}) {
        const QLabel *picture = button(form, name)->findChild<QLabel *>();
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->pixmap().isNull()) << name.toStdString();
    }
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
    EXPECT_EQ(services.started, (QStringList{u"/suite/Orvella"_s, u"/suite/Cambrel"_s,
                                             u"/suite/Pelmor"_s, u"/suite/Orvella"_s}));

    QTest::mouseClick(button(form, u"BitBtn4"_s), Qt::LeftButton);
    QTest::mouseClick(button(form, u"BitBtn5"_s), Qt::LeftButton);
    QTest::mouseClick(button(form, u"BitBtn6"_s), Qt::LeftButton);
    QTest::keyClick(&form, Qt::Key_F1);
    QTest::keyClick(&form, Qt::Key_F1, Qt::ShiftModifier);
    form.findChild<QAction *>(u"N7"_s)->trigger();
    EXPECT_EQ(services.opened, (QList<QUrl>{QUrl::fromLocalFile(u"/suite/Pelmor.html"_s),
                                            QUrl::fromLocalFile(u"/suite/Cambrel.html"_s),
                                            QUrl::fromLocalFile(u"/suite/Orvella.html"_s),
                                            QUrl::fromLocalFile(u"/suite/Lexorum.html"_s),
                                            QUrl::fromLocalFile(u"/suite/Lexorum.html"_s),
                                            QUrl::fromLocalFile(u"/suite/Lexorum.html"_s)}));
}
