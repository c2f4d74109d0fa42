#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Facts every program of the suite shares: where its files lie and the maker's site.

/// The suite's version, one number for all programs.
QString suiteVersion();
/// The maker's web site; every online link of the suite starts here.
QUrl makerSite(const QString &path);
/// False while the maker's host is not settled (empty, or a reserved .example name):
/// then no page of the site is shown anywhere.
bool hasMakerSite();
/// The page at path on the maker's site; while there is no site, the local help document
/// helpFileName in the suite's data folder instead.
QUrl makerPage(const QString &path, const QString &helpFileName);
/// The directory of the running executable, without a trailing separator.
QString CurPath();
/// A file beside the executable.
QString besideExecutable(const QString &fileName);
/// The folder of the suite's shared files (help documents, the standard black list,
/// pictures) for programs in programDirectory: share/lexorum beside their bin/ folder
/// when the suite is installed that way, else programDirectory itself (a portable
/// folder, the build tree). Always relative to the programs, so an installed tree
/// works wherever it is moved.
QString suiteDataDirectory(const QString &programDirectory);
/// A shared file of the running program's suite: fileName in its data folder.
QString suiteDataFile(const QString &fileName);
/// The suite's per-user configuration folder (~/.config/lexorum), created when missing.
QString userSettingsFolder();
/// Where a program writes its settings file: beside the executable in a portable folder
/// where it can be written, else (an installed suite too) in userSettingsFolder().
QString settingsFilePath(const QString &fileName);
/// The same for programs in programDirectory.
QString settingsFilePath(const QString &fileName, const QString &programDirectory);
/// The files a program reads its settings from, lowest first: a file beside the
/// executable that the program cannot write comes first, as defaults, under writePath.
QStringList settingsReadOrder(const QString &writePath);
