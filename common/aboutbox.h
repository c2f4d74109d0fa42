#pragma once

#include <QDialog>

/// The modal About window of a program: name, suite version, what it does, the link.
class TAboutBox final : public QDialog
{
    Q_OBJECT
public:
    TAboutBox(const QString &programName, const QString &description, const QUrl &link,
              QWidget *parent = nullptr);
};
