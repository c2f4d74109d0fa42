#pragma once

#include <QString>
#include <QUrl>

/// The desktop's services that windows use: opening documents and links with the
/// default handler, and starting programs. Tests put a recorder in its place.
class DesktopServices
{
public:
    virtual ~DesktopServices() = default;
    virtual void openUrl(const QUrl &url);
    /// Starts program detached with no arguments; false when it could not start.
    virtual bool startDetached(const QString &program);

    /// The services in use; never null.
    static DesktopServices &current();
    /// Replaces the services (null restores the real ones); the caller keeps ownership.
    static void setCurrent(DesktopServices *services);
};

/// Opens a help document of the suite's data folder with the default handler.
void openHelpDocument(const QString &fileName);
