#include "compare/tform4.h"

#include "common/screenfit.h"
#include "compare/lineboxview.h"

#include <QLabel>
#include <QScreen>
#include <QStatusBar>

using namespace Qt::Literals::StringLiterals;

TForm4::TForm4(QWidget *mainWindow)
    : QMainWindow(mainWindow, Qt::Window)
    , m_mainWindow(mainWindow)
{
    setWindowTitle(u"Просмотр списка"_s);
    Memo1 = new LineBoxView(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setCentralWidget(Memo1);
    m_countPanel = new QLabel(u"Записей: 0"_s, this);
    statusBar()->addWidget(m_countPanel, 1);
    resize(300, 600);
}

void TForm4::setStatus(const QString &text)
{
    m_countPanel->setText(text);
}

QString TForm4::status() const
{
    return m_countPanel->text();
}

void TForm4::showEvent(QShowEvent *event)
{
    // Right of the main window, as high as it; pushed back when it would leave the screen.
    const QRect main = m_mainWindow->frameGeometry();
    int left = main.left() + main.width();
    if (const QScreen *screen = m_mainWindow->screen();
        screen && left + frameGeometry().width() > screen->geometry().right())
        left = screen->geometry().width() - frameGeometry().width();
    move(left, main.top());
    resize(width(), m_mainWindow->height());
    keepOnScreen(this);
    QMainWindow::showEvent(event);
    emit shownChanged(true);
}

void TForm4::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    emit shownChanged(false);
}
