#pragma once

#include <QString>

/// What every program of the suite does first, once its QApplication stands: its title,
/// which message boxes show and Qt leaves off window titles; Qt's own Russian translation
/// and the Russian locale for its dialogs' dates and sizes; the Fusion style and the icon.
void setUpProgram(const QString &title, const QString &iconPath);
/// Loads Qt's Russian translation of its standard dialogs, buttons and context menus
/// (qtbase_ru from Qt's translations folder); false when it is not installed.
bool installQtRussianTranslation();
