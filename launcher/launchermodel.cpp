#include "launcher/launchermodel.h"

#include "common/suiteinfo.h"

using namespace Qt::Literals::StringLiterals;

namespace {
QString toolName(SuiteTool tool)
{
    switch (tool) {
    case SuiteTool::Pelmor:
        return u"Pelmor"_s;
    case SuiteTool::Cambrel:
        return u"Cambrel"_s;
    case SuiteTool::Orvella:
        return u"Orvella"_s;
    }
    Q_UNREACHABLE();
    return {};
}
}

LauncherModel::LauncherModel(const QString &programDirectory, QObject *parent)
    : QObject(parent)
    , m_directory(programDirectory)
{
    m_updateCheck.setSingleShot(true);
    m_updateCheck.setInterval(std::chrono::seconds(1));
    connect(&m_updateCheck, &QTimer::timeout, this,
            [this] { emit updateCheckAnswered(u"Обновлений нет"_s); });
}

QString LauncherModel::programFile(SuiteTool tool) const
{
#ifdef Q_OS_WIN
    return besideTools(toolName(tool) + u".exe"_s);
#else
    return besideTools(toolName(tool));
#endif
}

QString LauncherModel::helpFile(SuiteTool tool) const
{
    return suiteDataDirectory(m_directory) + u'/' + toolName(tool) + u".html"_s;
}

QString LauncherModel::suiteHelpFile() const
{
    return suiteDataDirectory(m_directory) + u"/Lexorum.html"_s;
}

QUrl LauncherModel::productPage() const
{
    return hasMakerSite() ? makerSite(u"/product.php?id=66"_s)
                          : QUrl::fromLocalFile(suiteHelpFile());
}

QUrl LauncherModel::onlineHelp() const
{
    return hasMakerSite() ? makerSite(u"/products/lexorum/help/"_s)
                          : QUrl::fromLocalFile(suiteHelpFile());
}

// The wait runs on a timer rather than blocking the window: the answer is the same,
// and the window keeps repainting meanwhile.
void LauncherModel::checkForUpdates()
{
    if (!m_updateCheck.isActive())
        m_updateCheck.start();
}

void LauncherModel::setUpdateCheckDelay(std::chrono::milliseconds delay)
{
    m_updateCheck.setInterval(delay);
}

QString LauncherModel::besideTools(const QString &fileName) const
{
    return m_directory + u'/' + fileName;
}
