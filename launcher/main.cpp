#include "common/suiteapplication.h"
#include "launcher/tform1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpProgram(QStringLiteral("Lexorum"), QStringLiteral(":/lexorum/icons/lexorum.png"));
    TForm1 form;
    form.show();
    return app.exec();
}
