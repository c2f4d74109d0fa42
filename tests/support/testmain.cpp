#include <gtest/gtest.h>

#ifdef LEXORUM_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Tests run inside an application object, so event loops, threads with queued
// calls and (for window tests) widgets work as they do in the programs.
int main(int argc, char *argv[])
{
    // Window tests need no display; a developer may still choose one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
