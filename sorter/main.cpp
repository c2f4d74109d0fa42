#include "sorter/tform1.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

// Pelmor [file]: a file named on the command line is opened at start, a
// project as a project and any other file as the source text.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ручная сортировка списков"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/lexorum/icons/pelmor.png")));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TForm1 window;
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.openAtStart(arguments.at(1));
    return app.exec();
}
