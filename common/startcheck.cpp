#include "common/startcheck.h"

#include "common/suiteinfo.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

void quitWhenShownIfAsked()
{
    if (qEnvironmentVariableIsEmpty("LEXORUM_QUIT_WHEN_SHOWN"))
        return;
    // A zero timer fires after the events already queued, the window's show among them.
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        const QString line = QCoreApplication::applicationFilePath().section(u'/', -1)
                             + QStringLiteral(": ") + suiteDataDirectory(CurPath()) + u'\n';
        std::fputs(line.toUtf8().constData(), stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}
