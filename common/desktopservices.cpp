#include "common/desktopservices.h"

#include "common/suiteinfo.h"

#include <QDesktopServices>
#include <QProcess>

namespace {
DesktopServices RealServices;
DesktopServices *Current = &RealServices;
}

void DesktopServices::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

bool DesktopServices::startDetached(const QString &program)
{
    return QProcess::startDetached(program, {});
}

DesktopServices &DesktopServices::current()
{
    return *Current;
}

void DesktopServices::setCurrent(DesktopServices *services)
{
    Current = services ? services : &RealServices;
}

void openHelpDocument(const QString &fileName)
{
    DesktopServices::current().openUrl(QUrl::fromLocalFile(suiteDataFile(fileName)));
}
