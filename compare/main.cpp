#include "common/suiteapplication.h"
#include "common/startcheck.h"
#include "compare/settings.h"
#include "compare/tform1.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpProgram(u"Cambrel"_s, u":/lexorum/icons/cambrel.png"_s);
    // Outside a desktop session no icon theme is set; take a common one when it is there,
    // else the tool bar falls back to the style's own pictures.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == u"hicolor"_s)
        for (const QString &folder : QIcon::themeSearchPaths())
            if (QDir(folder + u"/Adwaita"_s).exists()) {
                QIcon::setThemeName(u"Adwaita"_s);
                break;
            }

    TForm1 window(comparisonSettingsPath());
    window.show();
    quitWhenShownIfAsked();
    // Files named on the command line open as "Файл" / "Открыть" would open them.
    const QStringList paths = QApplication::arguments().mid(1);
    if (!paths.isEmpty())
        window.openPaths(paths);
    return app.exec();
}
