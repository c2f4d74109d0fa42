#include "common/suiteapplication.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

void setUpProgram(const QString &title, const QString &iconPath)
{
    // A display name would make Qt append " — title" to every window title; boxes take
    // their title from the application name when no display name is set.
    QApplication::setApplicationName(title);
    QApplication::setWindowIcon(QIcon(iconPath));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Dates and file sizes in Qt's dialogs follow the default locale, whatever the system's.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    installQtRussianTranslation();
}

bool installQtRussianTranslation()
{
    auto *translator = new QTranslator(qApp);
    if (!translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
