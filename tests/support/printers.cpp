#include "tests/support/printers.h"

void PrintTo(const QString &text, std::ostream *os)
{
    QString shown = text;
    shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    *os << '"' << shown.toStdString() << '"';
}

void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0)
            *os << ", ";
        PrintTo(list.at(i), os);
    }
    *os << '}';
}
