#include "builder/tform1.h"
#include "common/suiteapplication.h"
#include "common/startcheck.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpProgram(QStringLiteral("Построитель тематических списков"),
                 QStringLiteral(":/lexorum/icons/orvella.png"));
    TForm1 form;
    form.show();
    quitWhenShownIfAsked();
    return app.exec();
}
