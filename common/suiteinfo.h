#pragma once

#include <QString>
#include <QUrl>

// Facts every program of the suite shares: where its files lie and the maker's site.

/// The suite's version, one number for all programs.
QString suiteVersion();
/// The maker's web site; every online link of the suite starts here.
QUrl makerSite(const QString &path);
/// The directory of the running executable, without a trailing separator.
QString CurPath();
/// A file beside the executable.
QString besideExecutable(const QString &fileName);
/// Where a program keeps its settings file: beside the executable when that
/// directory is writable, else the per-user configuration folder of the suite.
QString settingsFilePath(const QString &fileName);
