#include "builder/tform7.h"

#include "builder/workspace.h"
#include "common/editorpane.h"
#include "common/screenfit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TForm7::TForm7(Workspace &workspace, QWidget *parent)
    : QWidget(parent, Qt::Window), m_workspace(workspace)
{
    setWindowTitle(u"Список словоформ"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->viewport()->installEventFilter(this);
    // Ctrl+Z here is the main window's undo, as in its panes.
    Memo1->setUndoRedoEnabled(false);
    Memo1->installEventFilter(this);
    layout->addWidget(Memo1, 1);
    auto *status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    StatusBar1 = new QLabel(status);
    status->addWidget(StatusBar1, 1);
    layout->addWidget(status);
    connect(&m_workspace, &Workspace::viewsRefreshed, this, &TForm7::showForms);
    showForms();
    resize(195, 324);
}

void TForm7::showForms()
{
    EditorPane(Memo1).setText(m_workspace.wordFormView().text());
    StatusBar1->setText(m_workspace.wordFormView().statusText());
}

bool TForm7::eventFilter(QObject *watched, QEvent *event)
{
    // The first click of the double click has put the caret on the line.
    if (watched == Memo1->viewport() && event->type() == QEvent::MouseButtonDblClick)
        Memo1DblClick();
    if (watched == Memo1 && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo)) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm7::Memo1DblClick()
{
    m_workspace.replaceActiveLine(EditorPane(Memo1).currentLineText());
}

void TForm7::showEvent(QShowEvent *event)
{
    if (const QWidget *main = parentWidget()) {
        const QRect frame = main->frameGeometry();
        move(frame.left() + frame.width(), frame.top());
    }
    keepOnScreen(this);
    m_workspace.setWordFormViewShown(true);
    QWidget::showEvent(event);
}

void TForm7::hideEvent(QHideEvent *event)
{
    m_workspace.setWordFormViewShown(false);
    QWidget::hideEvent(event);
}
