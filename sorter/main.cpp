#include "common/suiteapplication.h"
#include "sorter/tform1.h"
#include "common/startcheck.h"

#include <QApplication>

// Pelmor [file]: a file named on the command line is opened at start, a
// project as a project and any other file as the source text.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpProgram(QStringLiteral("Ручная сортировка списков"),
                 QStringLiteral(":/lexorum/icons/pelmor.png"));
    TForm1 window;
    window.show();
    quitWhenShownIfAsked();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.openAtStart(arguments.at(1));
    return app.exec();
}
