#include "builder/tform1.h"

#include <QApplication>
#include <QIcon>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvella"));
    QApplication::setApplicationDisplayName(QStringLiteral("Построитель тематических списков"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/lexorum/icons/orvella.png")));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TForm1 form;
    form.show();
    return app.exec();
}
