#include "builder/tform1.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvella"));
    QApplication::setApplicationDisplayName(QStringLiteral("Построитель тематических списков"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TForm1 form;
    form.show();
    return app.exec();
}
