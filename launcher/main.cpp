#include "common/suiteapplication.h"
#include "launcher/tform1.h"
#include "common/startcheck.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpProgram(QStringLiteral("Lexorum"), QStringLiteral(":/lexorum/icons/lexorum.png"));
    TForm1 form;
    form.show();
    quitWhenShownIfAsked();
    return app.exec();
}
