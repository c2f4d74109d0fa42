#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// GoogleTest shows QStrings as UTF-8 text instead of raw bytes.
void PrintTo(const QString &text, std::ostream *os);
void PrintTo(const QStringList &list, std::ostream *os);
