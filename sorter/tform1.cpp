#include "sorter/tform1.h"

#include "common/aboutbox.h"
#include "common/desktopservices.h"
#include "common/editorpane.h"
#include "common/listfiledialog.h"
#include "common/screenfit.h"
#include "common/suiteinfo.h"
#include "sorter/listtext.h"
#include "sorter/projectstore.h"
#include "sorter/tform2.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

using Move = SortingSession::Move;
using TextOperation = SortingSession::TextOperation;

/// The list area places its frames itself, on every resize.
class ListAreaWidget final : public QWidget
{
public:
    explicit ListAreaWidget(QWidget *parent) : QWidget(parent) { }
    std::function<void()> resized;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        if (resized)
            resized();
    }
};

/// Calls back when the watched widget receives the focus.
class FocusWatcher final : public QObject
{
public:
    FocusWatcher(QWidget *watched, std::function<void()> entered)
        : QObject(watched), m_entered(std::move(entered))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            m_entered();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_entered;
};

/// Hands the window's command keys to the window: the editor would take Ctrl+Z
/// for its own undo, which knows nothing of the lists.
class WindowKeys final : public QObject
{
public:
    WindowKeys(QWidget *watched, const QList<QAction *> &commands)
        : QObject(watched), m_commands(commands)
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const QKeySequence pressed(key->keyCombination());
            for (const QAction *command : m_commands)
                if (command->shortcut() == pressed) {
                    event->ignore();
                    return true;
                }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<QAction *> m_commands;
};

/// Hands the suite's open the files the user has already chosen.
class ChosenFiles final : public FileChooser
{
public:
    explicit ChosenFiles(Choice choice) : m_choice(std::move(choice)) { }
    Choice chooseToOpen(QWidget *, int, bool) override { return m_choice; }

private:
    Choice m_choice;
};

// The send keys: Alt+1 .. Alt+9 for lists 1 to 9, Alt+0 for list 10.
QKeySequence sendKey(int k)
{
    return QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + k % 10));
}

// Handler names of the buttons' "Переименовать кнопку" items, button 1 first.
const char *const RenameItemNames[] = {"N4",         "MenuItem1", "MenuItem2", "MenuItem6",
                                       "MenuItem7",  "MenuItem8", "MenuItem9", "MenuItem10",
                                       "MenuItem11", "MenuItem12"};
const char *const ListCountItemNames[] = {"N11", "N31", "N41", "N51", "N61",
                                          "N71", "N81", "N91", "N101"};

QPlainTextEdit *createPane(QWidget *parent, const QString &name)
{
    auto *pane = new QPlainTextEdit(parent);
    pane->setObjectName(name);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    // Ctrl+Z is the session's undo; the editor's own would bring back a sent line
    // while the list keeps it.
    pane->setUndoRedoEnabled(false);
    return pane;
}

} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
{
    createControls();
    m_session = std::make_unique<SortingSession>(*m_sourcePane, listPanes());
    createMenus();
    Form2 = new TForm2(this);

    for (int k = 1; k <= ListCount; ++k) {  // Button1Click .. Button10Click
        connect(Button[k - 1], &QPushButton::clicked, this,
                [this, k] { m_session->SendToList(k); });
        // A shortcut of its own, not the button's: a button's shortcut animates
        // a click and drops the presses that come within its 100 ms.
        SendKey[k - 1] = new QShortcut(sendKey(k), this);
        connect(SendKey[k - 1], &QShortcut::activated, this,
                [this, k] { m_session->SendToList(k); });
        new FocusWatcher(Memo[k - 1], [this, k] {  // Getcurrentmemo1Click
            if (!m_session)
                return;
            m_session->setCurrentList(k);
            showMoveCommands();
        });
    }
    const std::array<QAction *, 6> buttonCommands = {DeleteTopLineItem, UndoItem, MoveItem[0],
                                                     MoveItem[1], MoveItem[2], MoveItem[3]};
    const std::array<QPushButton *, 6> buttons = {BitBtn1, BitBtn2, BitBtn3,
                                                  BitBtn4, BitBtn5, BitBtn6};
    for (int i = 0; i < 6; ++i) {
        connect(buttons[i], &QPushButton::clicked, buttonCommands[i], &QAction::trigger);
        buttons[i]->setToolTip(u"%1 (%2)"_s.arg(
            buttons[i]->text(), buttonCommands[i]->shortcut().toString(QKeySequence::NativeText)));
    }
    connect(BitBtn7, &QPushButton::clicked, this, [this] { m_session->ClearAllLists(); });
    QList<QAction *> keys(buttonCommands.begin(), buttonCommands.end());
    new WindowKeys(Source, keys);
    for (QPlainTextEdit *pane : Memo)
        new WindowKeys(pane, keys);
    Source->setFocus();  // the pane the user reads and sends from

    connect(m_session.get(), &SortingSession::lineCountChanged, this, &TForm1::showLineCount);
    connect(m_session.get(), &SortingSession::buttonNameChanged, this, &TForm1::showButtonName);
    connect(m_session.get(), &SortingSession::visibleListCountChanged, this,
            &TForm1::showListCount);
    connect(m_session.get(), &SortingSession::windowCaptionChanged, this,
            &TForm1::showWindowCaption);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();

    showWindowCaption();
    showListCount(m_session->visibleListCount());
    resize(1071, 585);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    keepOnScreen(this);
}

TForm1::~TForm1()
{
    // The panes' widgets outlive the session while the window is torn down.
    Timer1->stop();
    m_session.reset();
}

QPushButton *TForm1::createBitBtn(const char *name, const QString &caption, const QString &iconName,
                                  int fallbackIcon)
{
    auto *button = new QPushButton(
        QIcon::fromTheme(iconName, style()->standardIcon(QStyle::StandardPixmap(fallbackIcon))),
        caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setFocusPolicy(Qt::NoFocus);  // the list that had the focus stays current
    return button;
}

void TForm1::createControls()
{
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(4, 4, 4, 4);

    GroupBox11 = new QGroupBox(SortingSession::initialCaption(0));
    GroupBox11->setObjectName(u"GroupBox11"_s);
    auto *sourceColumn = new QVBoxLayout(GroupBox11);
    Source = createPane(GroupBox11, u"Source"_s);
    QFont big = Source->font();
    big.setPointSize(28);
    Source->setFont(big);
    m_sourcePane = std::make_unique<EditorPane>(Source);
    sourceColumn->addWidget(Source);
    auto *sourceButtons = new QHBoxLayout;
    BitBtn1 = createBitBtn("BitBtn1", u"Удалить верхнюю строку"_s, u"edit-delete"_s,
                           QStyle::SP_TrashIcon);
    BitBtn2 = createBitBtn("BitBtn2", u"Отменить последнее действие"_s, u"edit-undo"_s,
                           QStyle::SP_ArrowBack);
    sourceButtons->addWidget(BitBtn1);
    sourceButtons->addStretch();
    sourceButtons->addWidget(BitBtn2);
    sourceColumn->addLayout(sourceButtons);

    auto *area = new ListAreaWidget(central);
    ListArea = area;
    ListArea->setObjectName(u"ListArea"_s);
    ListArea->setMinimumHeight(120);
    for (int k = 1; k <= ListCount; ++k)
        GroupBox[k - 1] = createListFrame(k);
    area->resized = [this] { Redrawlists1Click(); };  // FormResize

    Splitter1 = new QSplitter(Qt::Vertical, central);
    Splitter1->setObjectName(u"Splitter1"_s);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(GroupBox11);
    Splitter1->addWidget(ListArea);
    Splitter1->setSizes({235, 285});  // three source lines at 28 points
    column->addWidget(Splitter1, 1);

    auto *bar = new QHBoxLayout;
    BitBtn3 = createBitBtn("BitBtn3", u"В начало списка"_s, u"go-top"_s, QStyle::SP_ArrowUp);
    BitBtn4 = createBitBtn("BitBtn4", u"Выше"_s, u"go-up"_s, QStyle::SP_ArrowUp);
    BitBtn5 = createBitBtn("BitBtn5", u"Ниже"_s, u"go-down"_s, QStyle::SP_ArrowDown);
    BitBtn6 = createBitBtn("BitBtn6", u"В конец списка"_s, u"go-bottom"_s, QStyle::SP_ArrowDown);
    BitBtn7 = createBitBtn("BitBtn7", u"Очистить все списки"_s, u"edit-clear-all"_s,
                           QStyle::SP_DialogResetButton);
    for (QPushButton *button : {BitBtn3, BitBtn4, BitBtn5, BitBtn6})
        bar->addWidget(button);
    bar->addStretch();
    bar->addWidget(BitBtn7);
    column->addLayout(bar);
    setCentralWidget(central);

    for (int k = 1; k <= ListCount; ++k)
        m_listPanes[k - 1] = std::make_unique<EditorPane>(Memo[k - 1]);
}

QGroupBox *TForm1::createListFrame(int k)
{
    auto *frame = new QGroupBox(SortingSession::initialCaption(k), ListArea);
    frame->setObjectName(u"GroupBox%1"_s.arg(k));
    auto *column = new QVBoxLayout(frame);
    column->setContentsMargins(4, 4, 4, 4);
    auto *button = new QPushButton(SortingSession::standardButtonName(), frame);
    button->setObjectName(u"Button%1"_s.arg(k));
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(u"Отправить верхнюю строку исходного текста в этот список (%1)"_s.arg(
        sendKey(k).toString(QKeySequence::NativeText)));
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    Button[k - 1] = button;
    column->addWidget(button);
    Memo[k - 1] = createPane(frame, u"Memo%1"_s.arg(k));
    column->addWidget(Memo[k - 1]);
    return frame;
}

std::array<Pane *, TForm1::ListCount> TForm1::listPanes() const
{
    std::array<Pane *, ListCount> panes{};
    for (int k = 1; k <= ListCount; ++k)
        panes[k - 1] = m_listPanes[k - 1].get();
    return panes;
}

void TForm1::createMenus()
{
    auto action = [this](QMenu *menu, const QString &caption, const char *name,
                         std::function<void()> handler) {
        auto *item = menu->addAction(caption);
        if (name)
            item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, std::move(handler));
        return item;
    };
    auto onSource = [this](TextOperation operation) {
        return [this, operation] { m_session->applyToSource(operation); };
    };
    auto onList = [this](TextOperation operation) {
        return [this, operation] { m_session->applyToCurrentList(operation); };
    };

    QMenu *file = menuBar()->addMenu(u"Файл"_s);
    N77 = action(file, u"Новый"_s, "N77", [this] { m_session->NewSession(); });
    N7 = action(file, u"Открыть"_s, "N7", [this] { N7Click(); });
    N33 = action(file, u"Открыть проект"_s, "N33", [this] { N33Click(); });
    N34 = action(file, u"Сохранить проект"_s, "N34", [this] { N34Click(); });
    file->addSeparator();
    N9 = action(file, u"Выход"_s, "N9", [this] { close(); });

    QMenu *lists = menuBar()->addMenu(u"Списки"_s);
    const Move moves[] = {Move::Top, Move::Up, Move::Down, Move::Bottom};
    const QString moveCaptions[] = {u"В начало списка"_s, u"Выше"_s, u"Ниже"_s,
                                    u"В конец списка"_s};
    const QKeySequence moveKeys[] = {Qt::ALT | Qt::Key_Home, Qt::ALT | Qt::Key_Up,
                                     Qt::ALT | Qt::Key_Down, Qt::ALT | Qt::Key_End};
    for (int i = 0; i < 4; ++i) {
        MoveItem[i] = action(lists, moveCaptions[i], nullptr,
                             [this, where = moves[i]] { m_session->MoveLine(where); });
        MoveItem[i]->setShortcut(moveKeys[i]);
    }
    lists->addSeparator();
    m_listCountGroup = new QActionGroup(this);
    for (int count = 2; count <= ListCount; ++count) {  // N11Click .. N101Click
        QAction *item = action(lists, QString::number(count), ListCountItemNames[count - 2],
                               [this, count] { m_session->setVisibleListCount(count); });
        item->setCheckable(true);
        m_listCountGroup->addAction(item);
        ListCountItem[count - 2] = item;
    }
    lists->addSeparator();
    N49 = action(lists, u"Стандартные названия кнопок"_s, "N49",
                 [this] { m_session->setStandardButtonNames(); });
    action(lists, u"Очистить все списки"_s, nullptr, [this] { m_session->ClearAllLists(); });

    QMenu *view = menuBar()->addMenu(u"Вид"_s);
    N6 = action(view, u"Шрифт"_s, "N6", [this] { N6Click(); });

    QMenu *sourceMenu = menuBar()->addMenu(u"Исходный текст"_s);
    DeleteTopLineItem = action(sourceMenu, u"Удалить верхнюю строку"_s, nullptr,
                               [this] { m_session->DeleteTopLine(); });
    DeleteTopLineItem->setShortcut(Qt::ALT | Qt::Key_Delete);
    UndoItem = action(sourceMenu, u"Отменить последнее действие"_s, nullptr, [this] { undo(); });
    UndoItem->setShortcut(QKeySequence::Undo);
    sourceMenu->addSeparator();
    N17 = action(sourceMenu, u"ВЕРХНИЙ РЕГИСТР"_s, "N17", onSource(TextOperation::UpperCase));
    N18 = action(sourceMenu, u"нижний регистр"_s, "N18", onSource(TextOperation::LowerCase));
    N20 = action(sourceMenu, u"Удалить пустые строки"_s, "N20",
                 onSource(TextOperation::DeleteEmptyLines));
    N22 = action(sourceMenu, u"Сортировка строк"_s, "N22", onSource(TextOperation::SortLines));
    N36 = action(sourceMenu, u"Удалить повторяющиеся"_s, "N36",
                 onSource(TextOperation::DeleteRepeatedLines));

    QMenu *help = menuBar()->addMenu(u"Помощь"_s);
    N10 = action(help, u"Справка"_s, "N10", [this] { N10Click(); });
    N10->setShortcut(Qt::Key_F1);
    N12 = action(help, u"Сетевая справка (обновляется)"_s, "N12", [this] { N12Click(); });
    N14 = action(help, u"О программе"_s, "N14", [this] { N14Click(); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(u"Открыть список"_s, this, [this] { N7Click(); });
    PopupMenu1->addAction(u"Изменить шрифт"_s, this, [this] { N6Click(); });
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({N17, N18, N20, N22, N36});
    connect(Source, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(Source->mapToGlobal(at)); });

    PopupMenu2 = new QMenu(this);
    MenuItem3 = action(PopupMenu2, u"Сохранить список"_s, "MenuItem3",
                       [this] { MenuItem3Click(); });
    N30 = action(PopupMenu2, u"Копировать в буфер обмена"_s, "N30", [this] { N30Click(); });
    PopupMenu2->addSeparator();
    MenuItem4 = action(PopupMenu2, u"Сортировка списка"_s, "MenuItem4",
                       onList(TextOperation::SortLines));
    N37 = action(PopupMenu2, u"Удалить повторяющиеся строки"_s, "N37",
                 onList(TextOperation::DeleteRepeatedLines));
    MenuItem5 = action(PopupMenu2, u"Очистить список"_s, "MenuItem5", onList(TextOperation::Clear));
    N24 = action(PopupMenu2, u"Удалить пустые строки"_s, "N24",
                 onList(TextOperation::DeleteEmptyLines));
    N26 = action(PopupMenu2, u"ВЕРХНИЙ РЕГИСТР"_s, "N26", onList(TextOperation::UpperCase));
    N27 = action(PopupMenu2, u"нижний регистр"_s, "N27", onList(TextOperation::LowerCase));

    for (int k = 1; k <= ListCount; ++k) {  // N4Click, MenuItem1Click .. MenuItem12Click
        QPlainTextEdit *memo = Memo[k - 1];
        connect(memo, &QWidget::customContextMenuRequested, this,
                [this, memo](const QPoint &at) { PopupMenu2->popup(memo->mapToGlobal(at)); });
        auto *menu = new QMenu(Button[k - 1]);
        RenameItem[k - 1] = action(menu, u"Переименовать кнопку"_s, RenameItemNames[k - 1],
                                   [this, k] { renameButton(k); });
        menu->addAction(N49);
        QPushButton *button = Button[k - 1];
        connect(button, &QWidget::customContextMenuRequested, this,
                [button, menu](const QPoint &at) { menu->popup(button->mapToGlobal(at)); });
    }
}

void TForm1::openAtStart(const QString &path)
{
    if (isProjectFile(path)) {
        openProject(path);
        return;
    }
    const TextFileRead read = loadTextFileAs(path, m_openEncoding);
    if (!read.ok()) {
        QMessageBox::critical(this, QApplication::applicationDisplayName(), read.error);
        return;
    }
    m_saveEncoding = int(read.encoding);
    showTextEncoding(this, read.encoding, read.detected);
    m_session->loadSource(path, read.paneText());
}

void TForm1::N7Click()
{
    FileChooser &dialogs = FileChooser::current();
    const FileChooser::Choice choice = dialogs.chooseToOpen(this, m_openEncoding, false);
    if (choice.paths.isEmpty())
        return;
    const QString path = choice.paths.first();
    // Read as text, a project is binary garbage that would also end the undo history.
    if (isProjectFile(path)) {
        if (QMessageBox::question(this, QApplication::applicationDisplayName(),
                                  projectOpenedAsTextQuestion(path))
            == QMessageBox::Yes)
            openProject(path);
        return;
    }
    // The suite's open does the rest (detection, notes, questions) on the file chosen.
    ChosenFiles chosen(choice);
    FileChooser::setCurrent(&chosen);
    const QList<OpenedListFile> opened = openListFiles(this, &m_openEncoding, false);
    FileChooser::setCurrent(&dialogs);
    if (opened.isEmpty())
        return;
    m_saveEncoding = int(opened.first().read.encoding);
    m_session->loadSource(opened.first().path, opened.first().read.paneText());
}

void TForm1::openProject(const QString &path)
{
    const ProjectResult opened = OpenProject(*m_session, path);
    if (!opened.ok())
        QMessageBox::critical(this, QApplication::applicationDisplayName(), opened.error);
}

void TForm1::N33Click()
{
    const QString path = FileChooser::current().chooseFileToOpen(this);
    if (!path.isEmpty())
        openProject(path);
}

void TForm1::undo()
{
    m_session->Undo();
    // The next send takes the top line: the user must see it.
    Source->verticalScrollBar()->setValue(0);
}

void TForm1::showMoveCommands()
{
    // The current list may be one that a smaller list count has hidden.
    const bool shown = m_session->isListShown(m_session->currentList());
    for (QPushButton *button : {BitBtn3, BitBtn4, BitBtn5, BitBtn6})
        button->setEnabled(shown);
    for (QAction *item : MoveItem)
        item->setEnabled(shown);
}

void TForm1::N34Click()
{
    const QString path = FileChooser::current().chooseFileToSave(this);
    if (path.isEmpty())
        return;
    const ProjectResult saved = SaveProject(*m_session, path);
    if (!saved.ok())
        QMessageBox::critical(this, QApplication::applicationDisplayName(), saved.error);
}

void TForm1::N6Click()
{
    bool chosen = false;
    const QFont font = QFontDialog::getFont(&chosen, Source->font(), this);
    if (chosen)
        Source->setFont(font);
}

void TForm1::N10Click()
{
    openHelpDocument(u"Pelmor.html"_s);
}

void TForm1::N12Click()
{
    DesktopServices::current().openUrl(
        makerPage(u"/products/lexorum/help/pelmor/"_s, u"Pelmor.html"_s));
}

void TForm1::N14Click()
{
    TAboutBox(u"Pelmor"_s,
              u"Ручная сортировка списков: строки исходного текста по кнопкам расходятся "
              "в списки."_s,
              makerPage(u"/products/lexorum/"_s, u"Pelmor.html"_s), this)
        .exec();
}

void TForm1::MenuItem3Click()
{
    saveListFile(this, m_session->list(m_session->currentList()).text(), &m_saveEncoding);
}

void TForm1::N30Click()
{
    QGuiApplication::clipboard()->setText(withPlatformBreaks(m_session->selectAllOfCurrentList()));
}

void TForm1::renameButton(int k)
{
    m_session->setButtonName(k, Form2->askName(m_session->buttonName(k)));
}

void TForm1::Redrawlists1Click()
{
    const int count = m_session->visibleListCount();
    for (int k = 1; k <= ListCount; ++k) {
        GroupBox[k - 1]->setGeometry(listFrameRect(k - 1, count, ListArea->size()));
        GroupBox[k - 1]->setVisible(m_session->isListShown(k));
        SendKey[k - 1]->setEnabled(m_session->isListShown(k));  // no sending to a hidden list
    }
    showMoveCommands();
}

void TForm1::Timer1Timer()
{
    for (int k = 0; k <= ListCount; ++k)
        showLineCount(k);
}

void TForm1::showLineCount(int k)
{
    (k == 0 ? GroupBox11 : GroupBox[k - 1])->setTitle(m_session->lineCountCaption(k));
}

void TForm1::showButtonName(int k)
{
    // A name is shown as typed: an ampersand is no mnemonic here.
    Button[k - 1]->setText(m_session->buttonName(k).replace(u'&', u"&&"_s));
}

void TForm1::showListCount(int count)
{
    ListCountItem[count - 2]->setChecked(true);
    Redrawlists1Click();
}

void TForm1::showWindowCaption()
{
    setWindowTitle(m_session->windowCaption());
}
