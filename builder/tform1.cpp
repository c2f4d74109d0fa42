#include "builder/tform1.h"

#include "builder/dictionarybuild.h"
#include "builder/settings.h"
#include "builder/tform2.h"
#include "builder/tform5.h"
#include "builder/tform6.h"
#include "builder/tform7.h"
#include "builder/workspace.h"
#include "common/aboutbox.h"
#include "common/desktopservices.h"
#include "common/editorpane.h"
#include "common/findreplacedialog.h"
#include "common/listfiledialog.h"
#include "common/screenfit.h"
#include "common/suiteinfo.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QPlainTextEdit *createMemo(QWidget *parent)
{
    auto *memo = new QPlainTextEdit(parent);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Ctrl+Z is the workspace's undo; the editor's own would bypass the ring.
    memo->setUndoRedoEnabled(false);
    return memo;
}

QGroupBox *createGroup(const QString &caption, QWidget *parent)
{
    auto *group = new QGroupBox(caption, parent);
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 4, 4, 4);
    return group;
}

} // namespace

OrvellaFiles OrvellaFiles::beside()
{
    return {settingsPath(), blackListPath(), defaultDictionaryPath(CurPath()),
            DictionaryBuild::installedScript()};
}

TForm1::TForm1(const OrvellaFiles &files, QWidget *parent)
    : QMainWindow(parent), m_files(files)
{
    setWindowTitle(u"Построитель тематических списков"_s);
    createControls();
    m_thesaurus = std::make_unique<EditorPane>(Memo1);
    m_found = std::make_unique<EditorPane>(Memo2);
    m_blackList = std::make_unique<EditorPane>(Memo3);
    m_workspace = std::make_unique<Workspace>(*m_thesaurus, *m_found, *m_blackList,
                                              m_files.blackList);
    Workspace &ws = *m_workspace;
    connect(&ws, &Workspace::commandFailed, this, &TForm1::showMessage);
    connect(&ws, &Workspace::countsChanged, this, &TForm1::Timer2Timer);
    connect(&ws, &Workspace::searchStarted, this, &TForm1::showSearchStarted);
    connect(&ws, &Workspace::searchStageChanged, StatusBar1[3], &QLabel::setText);
    connect(&ws, &Workspace::searchProgressChanged, ProgressBar1, &QProgressBar::setValue);
    connect(&ws, &Workspace::searchEnded, this, &TForm1::showSearchEnded);

    // An empty path means none was chosen yet: a default dictionary built since is taken.
    const QString dataBase = readDataBase(m_files.settings, QString());
    ws.setDataBase(dataBase.isEmpty() ? m_files.defaultDictionary : dataBase);
    ws.setRankBy(readRankBy(m_files.settings));
    ws.LoadBlackList1Click();

    Form2 = new TForm2(ws, this);
    m_dictionaryBuild = new DictionaryBuild(m_files.dictionaryBuilder,
                                            QFileInfo(userDictionaryPath()).path(), this);
    AboutBox = new TAboutBox(u"Orvella"_s,
                             u"Построитель тематических списков: тезаурус из нескольких "
                             "исходных слов по словарю словосочетаний."_s,
                             makerPage(u"/products/lexorum/"_s, u"Orvella.html"_s), this);
    Form5 = new TForm5(this);
    Form6 = new TForm6(ws, this);
    Form7 = new TForm7(ws, this);
    FindDialog1 = new FindReplaceDialog(FindReplaceDialog::Mode::Find, this);
    ReplaceDialog1 = new FindReplaceDialog(FindReplaceDialog::Mode::Replace, this);
    connect(FindDialog1, &FindReplaceDialog::findNext, this, [this](const FindOptions &o) {
        presentFindOutcome(this, m_workspace->find(o), m_workspace->pane(m_workspace->activePane()));
    });
    connect(ReplaceDialog1, &FindReplaceDialog::findNext, this, [this](const FindOptions &o) {
        presentFindOutcome(this, m_workspace->findForReplace(o),
                           m_workspace->pane(m_workspace->activePane()));
    });
    connect(ReplaceDialog1, &FindReplaceDialog::replaceOnce, this, [this](const FindOptions &o) {
        presentFindOutcome(this, m_workspace->replaceOnce(o),
                           m_workspace->pane(m_workspace->activePane()));
    });
    connect(ReplaceDialog1, &FindReplaceDialog::replaceAll, this, [this](const FindOptions &o) {
        presentFindOutcome(this, m_workspace->replaceAll(o),
                           m_workspace->pane(m_workspace->activePane()));
    });
    createMenus();
    // F2, F3, F4, Ctrl+Z and the rest work while a view window has the focus.
    for (QWidget *view : std::initializer_list<QWidget *>{Form6, Form7})
        view->addActions(actions());
    // The word display follows the caret at once, not at the next count refresh.
    // Queued: an edit moves the caret before the pane has taken the new text in.
    connect(
        Memo2, &QPlainTextEdit::cursorPositionChanged, this,
        [this] { Edit1->setText(m_workspace->wordDisplay()); }, Qt::QueuedConnection);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(2000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();
    Timer2 = new QTimer(this);
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    Timer2->start();
    Timer2Timer();

    resize(773, 476 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    keepOnScreen(this);
}

TForm1::~TForm1()
{
    // The warning below runs an event loop: no timer of this window may fire in it on
    // the workspace that is gone by then.
    Timer1->stop();
    Timer2->stop();
    disconnect(Memo2, nullptr, this, nullptr);
    const QString dataBase = m_workspace->dataBase();
    const RankBy rankBy = m_workspace->rankBy();
    // The views point at the workspace; a running search stops and its thread is
    // waited for while the panes still stand.
    delete Form6;
    delete Form7;
    delete Form2;
    m_workspace.reset();
    QString error = writeDataBase(m_files.settings, dataBase);
    if (error.isEmpty())
        error = writeRankBy(m_files.settings, rankBy);
    if (!error.isEmpty())
        QMessageBox::warning(nullptr, windowTitle(), error);
}

void TForm1::createControls()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *panes = new QHBoxLayout;
    layout->addLayout(panes, 1);

    GroupBox1 = createGroup(u"Тезаурус"_s, central);
    Memo1 = createMemo(GroupBox1);
    GroupBox1->layout()->addWidget(Memo1);
    GroupBox2 = createGroup(u"Найденные слова"_s, central);
    Edit1 = new QLineEdit(GroupBox2);
    Edit1->setReadOnly(true);
    QFont big(u"Tahoma"_s);
    big.setPixelSize(21);
    big.setBold(true);
    Edit1->setFont(big);
    GroupBox2->layout()->addWidget(Edit1);
    Memo2 = createMemo(GroupBox2);
    GroupBox2->layout()->addWidget(Memo2);
    GroupBox3 = createGroup(u"Чёрный список"_s, central);
    Memo3 = createMemo(GroupBox3);
    GroupBox3->layout()->addWidget(Memo3);
    for (QGroupBox *group : {GroupBox1, GroupBox2, GroupBox3})
        panes->addWidget(group, 1);
    for (QPlainTextEdit *memo : {Memo1, Memo2, Memo3}) {
        memo->installEventFilter(this);
        memo->viewport()->installEventFilter(this);
    }
    Edit1->installEventFilter(this);

    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    BitBtn1 = new QPushButton(u"Поиск связанных слов"_s, central);
    BitBtn4 = new QPushButton(u"Поиск по связанным словам"_s, central);
    ProgressBar1 = new QProgressBar(central);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();
    BitBtn2 = new QPushButton(u"В тезаурус"_s, central);
    BitBtn3 = new QPushButton(u"В чёрный список"_s, central);
    BitBtn5 = new QPushButton(u"Отмена"_s, central);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn4);
    buttons->addWidget(ProgressBar1, 1);
    buttons->addStretch(0);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn5);
    m_buttons = {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5};
    for (QPushButton *button : m_buttons)
        button->setFocusPolicy(Qt::NoFocus);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    setCentralWidget(central);

    const int widths[] = {150, 100, 100, 50};
    for (int i = 0; i < 4; ++i) {
        StatusBar1[i] = new QLabel(this);
        StatusBar1[i]->setMinimumWidth(widths[i]);
        if (i < 3) {
            StatusBar1[i]->setFixedWidth(widths[i]);
            StatusBar1[i]->setAlignment(Qt::AlignCenter);
        }
        statusBar()->addWidget(StatusBar1[i], i == 3 ? 1 : 0);
    }
}

QAction *TForm1::addCommand(QMenu *menu, const QString &caption, const QKeySequence &shortcut,
                            void (TForm1::*handler)())
{
    QAction *action = menu->addAction(caption);
    action->setShortcut(shortcut);
    // The window's commands answer wherever the focus is in the main window.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TForm1::addThesaurusCommands(QMenu *menu)
{
    addCommand(menu, u"Сортировка"_s, {}, &TForm1::N37Click);
    addCommand(menu, u"Обратный порядок"_s, {}, &TForm1::N38Click);
    addCommand(menu, u"Удалить повторяющиеся"_s, {}, &TForm1::N40Click);
    addCommand(menu, u"Удалить пустые строки"_s, {}, &TForm1::N52Click);
    menu->addSeparator();
    addCommand(menu, u"нижний регистр"_s, {}, &TForm1::N41Click);
    addCommand(menu, u"ВЕРХНИЙ РЕГИСТР"_s, {}, &TForm1::N42Click);
    addCommand(menu, u"Первая Заглавная"_s, {}, &TForm1::N43Click);
    menu->addSeparator();
    addCommand(menu, u"Сгенерировать все словоформы"_s, {}, &TForm1::N65Click);
    addCommand(menu, u"Все слова в исходную форму"_s, {}, &TForm1::N77Click);
}

void TForm1::createMenus()
{
    QMenu *file = menuBar()->addMenu(u"Файл"_s);
    addCommand(file, u"Новый"_s, Qt::CTRL | Qt::Key_N, &TForm1::N10Click);
    addCommand(file, u"Открыть"_s, Qt::CTRL | Qt::Key_O, &TForm1::N9Click);
    addCommand(file, u"Сохранить"_s, Qt::CTRL | Qt::Key_S, &TForm1::N8Click);
    file->addSeparator();
    addCommand(file, u"Выход"_s, {}, &TForm1::N7Click);

    QMenu *edit = menuBar()->addMenu(u"Редактирование"_s);
    addCommand(edit, u"Копировать тезаурус в буфер обмена"_s, {}, &TForm1::N29Click);
    addCommand(edit, u"Найти"_s, Qt::CTRL | Qt::Key_F, &TForm1::N54Click);
    addCommand(edit, u"Замена"_s, Qt::CTRL | Qt::Key_H, &TForm1::N59Click);
    addCommand(edit, u"Отмена"_s, Qt::CTRL | Qt::Key_Z, &TForm1::BitBtn5Click);

    QMenu *search = menuBar()->addMenu(u"Поиск"_s);
    addCommand(search, u"Поиск связанных слов"_s, Qt::Key_F2, &TForm1::BitBtn1Click);
    addCommand(search, u"Поиск по связанным словам"_s, Qt::SHIFT | Qt::Key_F2,
               &TForm1::BitBtn4Click);

    QMenu *processing = menuBar()->addMenu(u"Обработка данных"_s);
    addCommand(processing, u"Добавить в тезаурус"_s, Qt::Key_F3, &TForm1::BitBtn2Click);
    addCommand(processing, u"Все в тезаурус"_s, Qt::CTRL | Qt::Key_F3, &TForm1::N45Click);
    addCommand(processing, u"В чёрный список"_s, Qt::Key_F4, &TForm1::BitBtn3Click);
    addCommand(processing, u"Все в чёрный список"_s, Qt::CTRL | Qt::Key_F4, &TForm1::N44Click);

    QMenu *options = menuBar()->addMenu(u"Настройки"_s);
    addCommand(options, u"Шрифт"_s, {}, &TForm1::N14Click);
    addCommand(options, u"База данных"_s, {}, &TForm1::N21Click);
    addCommand(options, u"Фильтр по частям речи"_s, {}, &TForm1::N50Click);
    QMenu *order = options->addMenu(u"Порядок предложений"_s);
    auto *orders = new QActionGroup(this);
    for (const auto &[caption, rankBy] : {std::pair{u"по числу связей"_s, RankBy::Links},
                                          std::pair{u"по силе связи"_s, RankBy::Strength}}) {
        QAction *action = order->addAction(caption);
        action->setCheckable(true);
        action->setChecked(m_workspace->rankBy() == rankBy);
        orders->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, rankBy] { m_workspace->setRankBy(rankBy); });
    }

    addThesaurusCommands(menuBar()->addMenu(u"Тезаурус"_s));

    QMenu *windows = menuBar()->addMenu(u"Окна"_s);
    addCommand(windows, u"Словосочетания"_s, Qt::Key_F9, &TForm1::N61Click);
    addCommand(windows, u"Словоформы"_s, Qt::Key_F10, &TForm1::N63Click);

    QMenu *help = menuBar()->addMenu(u"Помощь"_s);
    addCommand(help, u"Справка"_s, Qt::Key_F1, &TForm1::N4Click);
    addCommand(help, u"Сетевая справка (обновляется)"_s, Qt::SHIFT | Qt::Key_F1,
               &TForm1::N47Click);
    addCommand(help, u"О программе"_s, Qt::CTRL | Qt::Key_F1, &TForm1::N6Click);

    // Pop-up items run the same handlers; their shortcuts belong to the main menu.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(u"Очистить"_s, this, &TForm1::N22Click);
    PopupMenu1->addAction(u"Удалить"_s, this, &TForm1::N28Click);
    PopupMenu1->addAction(u"Сохранить"_s, this, &TForm1::N8Click);
    PopupMenu1->addAction(u"Копировать"_s, this, &TForm1::N29Click);
    PopupMenu1->addSeparator();
    for (auto [caption, handler] :
         std::initializer_list<std::pair<QString, void (TForm1::*)()>>{
             {u"Сортировка"_s, &TForm1::N37Click},
             {u"Обратный порядок"_s, &TForm1::N38Click},
             {u"Удалить повторяющиеся"_s, &TForm1::N40Click},
             {u"Удалить пустые строки"_s, &TForm1::N52Click},
             {u"нижний регистр"_s, &TForm1::N41Click},
             {u"ВЕРХНИЙ РЕГИСТР"_s, &TForm1::N42Click},
             {u"Первая Заглавная"_s, &TForm1::N43Click},
             {u"Сгенерировать все словоформы"_s, &TForm1::N65Click},
             {u"Все слова в исходную форму"_s, &TForm1::N77Click}})
        PopupMenu1->addAction(caption, this, handler);
    PopupMenu2 = new QMenu(this);
    PopupMenu2->addAction(u"Очистить"_s, this, &TForm1::ClearBlackList1Click);
    PopupMenu2->addAction(u"Использовать стандартный"_s, this, &TForm1::LoadBlackList1Click);
    PopupMenu2->addAction(u"Добавить в тезаурус"_s, this, &TForm1::AddToTesaurus1Click);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(Memo1->mapToGlobal(at)); });
    Memo3->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo3, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu2->popup(Memo3->mapToGlobal(at)); });
}

int TForm1::paneOf(QObject *watched) const
{
    const std::array<QPlainTextEdit *, 3> memos = {Memo1, Memo2, Memo3};
    for (int k = 0; k < 3; ++k)
        if (watched == memos[k] || watched == memos[k]->viewport())
            return k + 1;
    return 0;
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    const int k = m_workspace ? paneOf(watched) : 0;
    if (event->type() == QEvent::ShortcutOverride && (k > 0 || watched == Edit1)) {
        // Undo belongs to the window's ring, not to the editor.
        if (static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo)) {
            event->ignore();
            return true;
        }
    }
    if (k > 0 && event->type() == QEvent::FocusIn)
        m_workspace->enterPane(k);  // Memo1Enter .. Memo3Enter
    if (k > 0 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        m_workspace->clickPane(k);  // Memo1Click .. Memo3Click
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::showMessage(const QString &message)
{
    QMessageBox::warning(isVisible() ? this : nullptr, windowTitle(), message);
}

void TForm1::showSearchStarted()
{
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    for (QPushButton *button : m_buttons)
        button->hide();
}

void TForm1::showSearchEnded()
{
    ProgressBar1->hide();
    StatusBar1[3]->clear();
    for (QPushButton *button : m_buttons)
        button->show();
}

void TForm1::Timer1Timer()
{
    if (!m_workspace->dictionaryMissing())
        return;
    if (m_dictionaryBuild->isAvailable()
        && QMessageBox::question(this, windowTitle(), m_dictionaryBuild->offerText())
               == QMessageBox::Yes)
        buildDictionary();
    else
        Form2->exec();
}

void TForm1::buildDictionary()
{
    auto *progress = new QProgressDialog(this);
    progress->setWindowTitle(u"Построение словаря"_s);
    progress->setCancelButtonText(u"Отмена"_s);
    progress->setRange(0, 0);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    // A package's name can be long: wrap the caption in a dialog of fixed width.
    auto *label = new QLabel(progress);
    label->setWordWrap(true);
    progress->setLabel(label);
    progress->setFixedWidth(520);
    connect(m_dictionaryBuild, &DictionaryBuild::progressChanged, progress,
            &QProgressDialog::setLabelText);
    connect(progress, &QProgressDialog::canceled, m_dictionaryBuild, &DictionaryBuild::cancel);
    connect(
        m_dictionaryBuild, &DictionaryBuild::finished, this,
        [this, progress](bool ok, const QString &reason) {
            progress->disconnect(m_dictionaryBuild);
            progress->hide();  // not close(): that would cancel
            progress->deleteLater();
            if (ok && m_workspace->acceptDataBase(m_dictionaryBuild->dictionaryPath()).isEmpty()) {
                QMessageBox::information(this, windowTitle(), m_dictionaryBuild->builtText());
                return;
            }
            QMessageBox::warning(this, windowTitle(), DictionaryBuild::failedText(reason));
            Form2->exec();
        },
        Qt::SingleShotConnection);
    m_dictionaryBuild->start();
    progress->show();
}

void TForm1::Timer2Timer()
{
    Edit1->setText(m_workspace->wordDisplay());
    GroupBox1->setTitle(m_workspace->paneCaption(1));
    GroupBox2->setTitle(m_workspace->paneCaption(2));
    GroupBox3->setTitle(m_workspace->paneCaption(3));
    StatusBar1[0]->setText(m_workspace->undoCaption());
}

void TForm1::BitBtn1Click() { m_workspace->startSearch(Workspace::Search::RelatedWords); }
void TForm1::BitBtn4Click() { m_workspace->startSearch(Workspace::Search::LinkedWords); }
void TForm1::BitBtn2Click() { m_workspace->moveToThesaurus(); }
void TForm1::BitBtn3Click() { m_workspace->moveToBlackList(); }
void TForm1::BitBtn5Click() { m_workspace->Undo1Click(); }
void TForm1::N45Click() { m_workspace->moveAllToThesaurus(); }
void TForm1::N44Click() { m_workspace->moveAllToBlackList(); }
void TForm1::N22Click() { m_workspace->clearThesaurus(); }
void TForm1::N28Click() { m_workspace->deleteInThesaurus(); }
void TForm1::N37Click() { m_workspace->applyToThesaurus(Workspace::ListOperation::Sort); }
void TForm1::N38Click() { m_workspace->applyToThesaurus(Workspace::ListOperation::Reverse); }
void TForm1::N40Click() { m_workspace->applyToThesaurus(Workspace::ListOperation::DeleteRepeated); }
void TForm1::N52Click() { m_workspace->applyToThesaurus(Workspace::ListOperation::DeleteEmpty); }
void TForm1::N41Click() { m_workspace->applyToThesaurus(Workspace::ListOperation::Lower); }
void TForm1::N42Click() { m_workspace->applyToThesaurus(Workspace::ListOperation::Upper); }
void TForm1::N43Click() { m_workspace->applyToThesaurus(Workspace::ListOperation::Capitalize); }
void TForm1::N65Click() { m_workspace->generateWordForms(); }
void TForm1::N77Click() { m_workspace->reduceToInitialForms(); }
void TForm1::N10Click() { m_workspace->newThesaurus(); }
void TForm1::N7Click() { close(); }
void TForm1::LoadBlackList1Click() { m_workspace->LoadBlackList1Click(); }
void TForm1::ClearBlackList1Click() { m_workspace->clearBlackList(); }
void TForm1::AddToTesaurus1Click() { m_workspace->moveBlackListLineToThesaurus(); }
void TForm1::N29Click() { QApplication::clipboard()->setText(m_workspace->copyThesaurus()); }
void TForm1::N54Click() { FindDialog1->show(); FindDialog1->raise(); }
void TForm1::N59Click() { ReplaceDialog1->show(); ReplaceDialog1->raise(); }
void TForm1::N21Click() { Form2->show(); }
void TForm1::N50Click() { Form5->exec(); }
void TForm1::N61Click() { Form6->show(); }
void TForm1::N63Click() { Form7->show(); }
void TForm1::N6Click() { AboutBox->exec(); }
void TForm1::N4Click() { openHelpDocument(u"Orvella.html"_s); }

void TForm1::N47Click()
{
    DesktopServices::current().openUrl(
        makerPage(u"/products/lexorum/help/orvella/"_s, u"Orvella.html"_s));
}

void TForm1::N9Click()
{
    int index = m_workspace->openEncoding();
    const QList<OpenedListFile> files = openListFiles(this, &index, false);
    m_workspace->setOpenEncoding(index);
    if (!files.isEmpty())
        m_workspace->openThesaurus(files.first().read.paneText(),
                                   int(files.first().read.encoding));
}

void TForm1::N8Click()
{
    int index = m_workspace->saveEncoding();
    saveListFile(this, m_thesaurus->text(), &index);
    m_workspace->setSaveEncoding(index);
}

void TForm1::N14Click()
{
    QWidget *target = nullptr;
    for (QWidget *control : std::initializer_list<QWidget *>{Edit1, Memo1, Memo2, Memo3})
        if (!target && control->hasFocus())
            target = control;
    if (!target)
        return;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, target->font(), this);
    if (ok)
        target->setFont(font);
}
