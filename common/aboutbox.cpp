#include "common/aboutbox.h"

#include "common/suiteinfo.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

TAboutBox::TAboutBox(const QString &programName, const QString &description, const QUrl &link,
                     QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("О программе"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);

    auto *icon = new QLabel(this);
    icon->setPixmap(windowIcon().isNull() ? QApplication::windowIcon().pixmap(64)
                                           : windowIcon().pixmap(64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);

    auto *name = new QLabel(QStringLiteral("<b>%1</b>").arg(programName.toHtmlEscaped()), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    auto *version = new QLabel(QStringLiteral("Версия ") + suiteVersion(), this);
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);

    auto *what = new QLabel(description, this);
    what->setWordWrap(true);
    what->setAlignment(Qt::AlignCenter);
    layout->addWidget(what);

    // Until the suite has a site of its own the link leads to the help beside the program.
    const QString linkText = link.isLocalFile() ? QStringLiteral("Справка о программе")
                                                : link.toString().toHtmlEscaped();
    auto *site = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                                .arg(link.toString(QUrl::FullyEncoded).toHtmlEscaped(), linkText),
                            this);
    site->setAlignment(Qt::AlignCenter);
    site->setOpenExternalLinks(true);
    layout->addWidget(site);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(340);
}
