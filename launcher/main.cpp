#include "launcher/tform1.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexorum"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lexorum"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/lexorum/icons/lexorum.png")));
    TForm1 form;
    form.show();
    return app.exec();
}
