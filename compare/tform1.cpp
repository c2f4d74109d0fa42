#include "compare/tform1.h"

#include "common/aboutbox.h"
#include "common/desktopservices.h"
#include "common/findreplacedialog.h"
#include "common/listfiledialog.h"
#include "common/screenfit.h"
#include "common/suiteinfo.h"
#include "compare/boxframe.h"
#include "compare/lineboxview.h"
#include "compare/initformclient.h"
#include "compare/settings.h"
#include "compare/tform2.h"
#include "compare/tform3.h"
#include "compare/tform4.h"
#include "compare/tform5.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QScreen>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor HoldingColour(255, 255, 230);
const QColor LackingColour(240, 240, 240);

/// A small drawn sign for commands that neither the icon theme nor the style provides.
QIcon signIcon(const QString &sign, const QColor &colour)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(sign.size() > 1 ? 11 : 18);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, sign);
    return QIcon(pixmap);
}

QIcon themeIcon(const QString &name, const QIcon &fallback)
{
    return QIcon::fromTheme(name, fallback);
}

void setShade(LineBoxView *editor, const QColor &colour)
{
    QPalette palette = editor->palette();
    if (palette.color(QPalette::Base) == colour)
        return;
    palette.setColor(QPalette::Base, colour);
    editor->setPalette(palette);
}

} // namespace

TForm1::TForm1(const QString &settingsPath, QWidget *parent)
    : QMainWindow(parent)
    , m_settingsPath(settingsPath)
{
    setWindowTitle(u"Сравнение списков"_s);
    createBoxes();

    WorkspacePanes panes;
    auto paneOf = [](LineBoxView *editor) { return &editor->pane(); };
    m_form4 = new TForm4(this);
    for (int i = 0; i < 10; ++i) {
        panes.source[i] = paneOf(Source[i]);
        panes.unique[i] = paneOf(Uniq[i]);
        panes.absent[i] = paneOf(Absent[i]);
        panes.shared[i] = paneOf(Shared[i]);
    }
    panes.common = paneOf(Memo1);
    panes.merged = paneOf(Memo2);
    panes.listWindow = paneOf(m_form4->Memo1);
    m_workspace = std::make_unique<ComparisonWorkspace>(panes);

    for (int i = 1; i <= 10; ++i) {
        watchEditor(Source[i - 1], {i, BoxKind::Source});
        watchEditor(Uniq[i - 1], {i, BoxKind::Unique});
        watchEditor(Absent[i - 1], {i, BoxKind::Absent});
        watchEditor(Shared[i - 1], {i, BoxKind::Shared});
        connect(m_names[i - 1], &QLineEdit::textEdited, this,
                [this, i](const QString &text) { m_workspace->setName(i, text); });
    }
    watchEditor(Memo1, {BoxId::Common});
    watchEditor(Memo2, {BoxId::Merged});
    watchEditor(m_form4->Memo1, {BoxId::ListWindow});

    const ComparisonSettings settings = readComparisonSettings(m_settingsPath);
    m_client = std::make_unique<InitialFormClient>(settings.serviceUrl);
    m_form2 = new TForm2(*m_workspace, this);
    m_form3 = new TForm3(*m_workspace, this);
    m_form5 = new TForm5(*m_workspace, this);
    m_findDialog = new FindReplaceDialog(FindReplaceDialog::Mode::Find, this);
    m_replaceDialog = new FindReplaceDialog(FindReplaceDialog::Mode::Replace, this);

    createActions();
    createMenus();
    createToolBar();
    m_listsPanel = new QLabel(this);
    m_linePanel = new QLabel(u" Текущая строка: "_s, this);
    statusBar()->addWidget(m_listsPanel);
    // The caret line may be long: it is cut, and never widens the window.
    m_linePanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_linePanel->setMinimumWidth(0);
    statusBar()->addWidget(m_linePanel, 1);
    m_form4->Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_form4->Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_popup->popup(m_form4->Memo1->mapToGlobal(at)); });

    connect(m_workspace.get(), &ComparisonWorkspace::countsRefreshed, this, &TForm1::showCounts);
    connect(m_workspace.get(), &ComparisonWorkspace::listCountChanged, this, &TForm1::layOut);
    connect(m_workspace.get(), &ComparisonWorkspace::nameChanged, this,
            [this](int i, const QString &name) {
                if (m_names[i - 1]->text() != name)
                    m_names[i - 1]->setText(name);
            });
    connect(m_workspace.get(), &ComparisonWorkspace::listWindowCountChanged, m_form4,
            &TForm4::setStatus);
    connect(m_form4, &TForm4::shownChanged, m_workspace.get(),
            &ComparisonWorkspace::setListWindowShown);
    connect(m_findDialog, &FindReplaceDialog::findNext, this, [this](const FindOptions &o) {
        presentFindOutcome(this, m_workspace->find(o), m_workspace->pane(m_workspace->currentBox()));
    });
    connect(m_replaceDialog, &FindReplaceDialog::findNext, this, [this](const FindOptions &o) {
        presentFindOutcome(this, m_workspace->findFromReplace(o),
                           m_workspace->pane(m_workspace->currentBox()));
    });
    connect(m_replaceDialog, &FindReplaceDialog::replaceOnce, this,
            [this](const FindOptions &o) {
                presentFindOutcome(this, m_workspace->replaceOnce(o),
                                   m_workspace->pane(m_workspace->currentBox()));
            });
    connect(m_replaceDialog, &FindReplaceDialog::replaceAll, this,
            [this](const FindOptions &o) {
                presentFindOutcome(this, m_workspace->replaceAll(o),
                                   m_workspace->pane(m_workspace->currentBox()));
            });

    setOptions(settings.options);
    m_workspace->setListCount(settings.listCount);
    // Ten columns fit a screen 1366 wide; a smaller screen gets the whole of it.
    const QRect screenRoom = screen() ? screen()->availableGeometry() : QRect(0, 0, 1366, 768);
    resize(std::min(1366, screenRoom.width()), std::min(780, screenRoom.height()));
    move(screenRoom.center() - rect().center());
    keepOnScreen(this);
    Source[0]->setFocus();
    m_workspace->focusBox({1, BoxKind::Source});
}

TForm1::~TForm1() = default;

void TForm1::createBoxes()
{
    auto *central = new QWidget(this);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(4, 4, 4, 4);
    m_grid = new QGridLayout;
    m_grid->setSpacing(3);
    outer->addLayout(m_grid, 1);

    auto makeEditor = [this](const QString &name) {
        auto *editor = new LineBoxView(this);
        editor->setObjectName(name);
        editor->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(editor, &QWidget::customContextMenuRequested, this,
                [this, editor](const QPoint &at) { m_popup->popup(editor->mapToGlobal(at)); });
        return editor;
    };
    auto makeFrame = [this](const QString &caption, QWidget *inside) {
        return new BoxFrame(caption, inside, this);
    };
    for (int i = 1; i <= 10; ++i) {
        const int c = i - 1;
        m_names[c] = new QLineEdit(this);
        m_names[c]->setObjectName(u"Edit%1"_s.arg(i));
        Source[c] = makeEditor(u"Source%1"_s.arg(i));
        Uniq[c] = makeEditor(u"Uniq%1"_s.arg(i));
        Absent[c] = makeEditor(u"Absent%1"_s.arg(i));
        Shared[c] = makeEditor(u"Shared%1"_s.arg(i));
        m_nameFrames[c] = makeFrame(u"Имя"_s, m_names[c]);
        m_sourceFrames[c] = makeFrame(u"Список %1"_s.arg(i), Source[c]);
        m_uniqueFrames[c] = makeFrame(u"Уникальные"_s, Uniq[c]);
        m_absentFrames[c] = makeFrame(u"Отсутствующие"_s, Absent[c]);
        m_sharedFrames[c] = makeFrame(u"Пересекающиеся"_s, Shared[c]);
        m_nameFrames[c]->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        m_grid->addWidget(m_nameFrames[c], 0, c);
        m_grid->addWidget(m_sourceFrames[c], 1, c);
        m_grid->addWidget(m_uniqueFrames[c], 2, c);
        m_grid->addWidget(m_absentFrames[c], 3, c);
        m_grid->addWidget(m_sharedFrames[c], 4, c);
    }
    Memo1 = makeEditor(u"Memo1"_s);
    Memo2 = makeEditor(u"Memo2"_s);
    m_mergedFrame = makeFrame(u"Объединённый список"_s, Memo2);
    m_commonFrame = makeFrame(u"Общие во всех списках"_s, Memo1);
    for (int row = 1; row <= 4; ++row)
        m_grid->setRowStretch(row, 1);

    auto *buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(u"Сравнить списки"_s, this);
    BitBtn2 = new QPushButton(u"Статистика по словам"_s, this);
    BitBtn3 = new QPushButton(u"Статистика по спискам"_s, this);
    BitBtn1->setObjectName(u"BitBtn1"_s);
    BitBtn2->setObjectName(u"BitBtn2"_s);
    BitBtn3->setObjectName(u"BitBtn3"_s);
    for (QPushButton *button : {BitBtn1, BitBtn2, BitBtn3}) {
        button->setFocusPolicy(Qt::NoFocus);  // the current box keeps the focus
        buttons->addWidget(button);
    }
    buttons->addStretch();
    outer->addLayout(buttons);
    setCentralWidget(central);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
}

void TForm1::watchEditor(LineBoxView *editor, const BoxId &box)
{
    m_boxes.insert(editor, box);
    m_boxes.insert(editor->viewport(), box);
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
    connect(editor, &LineBoxView::filesDropped, this,
            [this, box](const QStringList &paths) { openDropped(box, paths); });
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    const auto found = m_boxes.constFind(watched);
    if (found != m_boxes.constEnd()) {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_workspace->focusBox(*found);
            break;
        case QEvent::MouseButtonPress:
            // A box that kept the focus may have stopped being current (opening files moves
            // the current box without the focus).
            if (!(m_workspace->currentBox() == *found))
                m_workspace->focusBox(*found);
            break;
        case QEvent::MouseButtonRelease:
            applyHighlighting();
            break;
        case QEvent::ShortcutOverride: {
            // The editors take Shift+Del, Ctrl+Del and the like for themselves; the
            // window's commands come first.
            auto *key = static_cast<QKeyEvent *>(event);
            const QKeySequence pressed(key->keyCombination());
            if (static_cast<QWidget *>(watched)->window() == this
                && m_shortcuts.contains(pressed))
                return true;
            break;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QAction *TForm1::addAction(const QString &name, const QString &text, void (TForm1::*slot)(),
                           const QKeySequence &shortcut)
{
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        m_shortcuts.append(shortcut);
    }
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    return action;
}

QAction *TForm1::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void TForm1::createActions()
{
    QStyle *s = style();
    auto set = [](QAction *a, const QIcon &icon) { a->setIcon(icon); };
    set(addAction(u"OpenFiles"_s, u"Открыть"_s, &TForm1::openFilesClick),
        themeIcon(u"document-open"_s, s->standardIcon(QStyle::SP_DialogOpenButton)));
    addAction(u"OpenIntoBox"_s, u"Открыть"_s, &TForm1::openIntoBoxClick);
    set(addAction(u"Save"_s, u"Сохранить"_s, &TForm1::saveClick, QKeySequence(u"Ctrl+S"_s)),
        themeIcon(u"document-save"_s, s->standardIcon(QStyle::SP_DialogSaveButton)));
    addAction(u"Exit"_s, u"Выход"_s, nullptr);
    connect(action(u"Exit"_s), &QAction::triggered, this, &QWidget::close);
    set(addAction(u"Copy"_s, u"Копировать"_s, &TForm1::copyClick),
        themeIcon(u"edit-copy"_s, signIcon(u"⧉"_s, Qt::darkBlue)));
    set(addAction(u"Cut"_s, u"Вырезать"_s, &TForm1::cutClick),
        themeIcon(u"edit-cut"_s, signIcon(u"✂"_s, Qt::darkBlue)));
    set(addAction(u"Paste"_s, u"Вставить"_s, &TForm1::pasteClick),
        themeIcon(u"edit-paste"_s, signIcon(u"⎘"_s, Qt::darkBlue)));
    set(addAction(u"Clear"_s, u"Очистить"_s, &TForm1::clearClick),
        themeIcon(u"edit-clear"_s, s->standardIcon(QStyle::SP_DialogResetButton)));
    set(addAction(u"Find"_s, u"Поиск"_s, &TForm1::findClick, QKeySequence(u"Ctrl+F"_s)),
        themeIcon(u"edit-find"_s, s->standardIcon(QStyle::SP_FileDialogContentsView)));
    set(addAction(u"Replace"_s, u"Замена"_s, &TForm1::replaceClick, QKeySequence(u"Ctrl+H"_s)),
        themeIcon(u"edit-find-replace"_s, signIcon(u"a→b"_s, Qt::darkBlue)));
    set(addAction(u"DeleteRecord"_s, u"Удалить запись"_s, &TForm1::deleteRecordClick,
                  QKeySequence(u"Shift+Del"_s)),
        themeIcon(u"edit-delete"_s, s->standardIcon(QStyle::SP_DialogCancelButton)));
    set(addAction(u"DeleteEverywhere"_s, u"Удалить везде"_s, &TForm1::deleteEverywhereClick,
                  QKeySequence(u"Ctrl+Del"_s)),
        themeIcon(u"list-remove"_s, s->standardIcon(QStyle::SP_TrashIcon)));
    set(addAction(u"ReplaceEverywhere"_s, u"Заменить везде"_s, &TForm1::replaceEverywhereClick,
                  QKeySequence(u"Ctrl+R"_s)),
        themeIcon(u"edit-redo"_s, s->standardIcon(QStyle::SP_BrowserReload)));

    const std::pair<const char16_t *, ProcessingCommand> commands[] = {
        {u"Удаление ведущих и завершающих пробелов", ProcessingCommand::Trim},
        {u"Удаление пустых строк", ProcessingCommand::DeleteEmptyLines},
        {u"Удаление повторяющихся строк", ProcessingCommand::DeleteRepeatedLines},
        {u"ВЕРХНИЙ", ProcessingCommand::UpperCase},
        {u"нижний", ProcessingCommand::LowerCase},
        {u"Первая заглавная", ProcessingCommand::Capitalize},
        {u"Сортировка", ProcessingCommand::Sort},
        {u"Обратный порядок", ProcessingCommand::Reverse}};
    int number = 0;
    for (const auto &[text, command] : commands) {
        QAction *a = addAction(u"Process%1"_s.arg(++number), QString::fromUtf16(text), nullptr);
        connect(a, &QAction::triggered, this, [this, c = command] { m_workspace->process(c); });
    }
    action(u"Process7"_s)->setIcon(
        themeIcon(u"view-sort-ascending"_s, s->standardIcon(QStyle::SP_ArrowDown)));
    action(u"Process8"_s)->setIcon(
        themeIcon(u"view-sort-descending"_s, s->standardIcon(QStyle::SP_ArrowUp)));
    addAction(u"InitialForms"_s, u"Исходные словоформы"_s, &TForm1::initialFormsClick);

    set(addAction(u"Compare"_s, u"Сравнить списки"_s, &TForm1::BitBtn1Click),
        themeIcon(u"system-run"_s, s->standardIcon(QStyle::SP_MediaPlay)));
    set(addAction(u"WordStatistics"_s, u"По словам"_s, &TForm1::BitBtn2Click),
        themeIcon(u"x-office-spreadsheet"_s, s->standardIcon(QStyle::SP_FileDialogDetailedView)));
    set(addAction(u"ListStatistics"_s, u"По спискам"_s, &TForm1::BitBtn3Click),
        themeIcon(u"view-list-details"_s, s->standardIcon(QStyle::SP_FileDialogListView)));
    addAction(u"ListWindow"_s, u"Список в отдельном окне"_s, &TForm1::listWindowClick);
    addAction(u"Help"_s, u"Справка"_s, &TForm1::helpClick, QKeySequence(Qt::Key_F1));
    addAction(u"OnlineHelp"_s, u"Сетевая справка (обновляется)"_s, &TForm1::onlineHelpClick,
              QKeySequence(Qt::SHIFT | Qt::Key_F1));
    addAction(u"About"_s, u"О программе"_s, &TForm1::aboutClick,
              QKeySequence(Qt::CTRL | Qt::Key_F1));

    m_listCountGroup = new QActionGroup(this);
    for (int k = 2; k <= 10; ++k) {
        QAction *a = addAction(u"Lists%1"_s.arg(k), QString::number(k), nullptr,
                               QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_F1 + k - 1)));
        a->setCheckable(true);
        m_listCountGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, k] { m_workspace->setListCount(k); });
        m_listCountActions[k] = a;
    }

    auto option = [this](const QString &name, const QString &text) {
        QAction *a = addAction(name, text, nullptr);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, &TForm1::showOptions);
        return a;
    };
    m_trimOption = option(u"OptionTrim"_s, u"Удаление ведущих и завершающих пробелов"_s);
    m_emptyOption = option(u"OptionEmpty"_s, u"Удаление пустых строк"_s);
    m_upperOption = option(u"OptionUpper"_s, u"ВЕРХНИЙ"_s);
    m_lowerOption = option(u"OptionLower"_s, u"нижний"_s);
    m_capitalizeOption = option(u"OptionCapitalize"_s, u"Первая заглавная"_s);
    m_keepCaseOption = option(u"OptionKeepCase"_s, u"Не изменять регистр"_s);
    m_sortOption = option(u"OptionSort"_s, u"Сортировка"_s);
    m_repeatsOption = option(u"OptionRepeats"_s, u"Удаление повторяющихся строк"_s);
    m_compareOption = option(u"OptionCompare"_s, u"Сравнение списков"_s);
    // Choosing a case also switches "Регистр" on.
    for (QAction *a : {m_upperOption, m_lowerOption, m_capitalizeOption})
        connect(a, &QAction::triggered, m_keepCaseOption, [this] {
            m_keepCaseOption->setChecked(false);
            showOptions();
        });
    m_caseGroup = new QActionGroup(this);
    m_caseGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *a : {m_upperOption, m_lowerOption, m_capitalizeOption})
        m_caseGroup->addAction(a);
}

void TForm1::createMenus()
{
    QMenu *file = menuBar()->addMenu(u"Файл"_s);
    file->addAction(action(u"OpenFiles"_s));
    file->addAction(action(u"Save"_s));
    file->addSeparator();
    file->addAction(action(u"Exit"_s));

    QMenu *edit = menuBar()->addMenu(u"Редактирование"_s);
    for (const char16_t *name : {u"Copy", u"Cut", u"Paste", u"Clear", u"", u"Find", u"Replace",
                                 u"", u"DeleteRecord", u"DeleteEverywhere", u"ReplaceEverywhere"})
        if (name[0])
            edit->addAction(action(QString::fromUtf16(name)));
        else
            edit->addSeparator();

    QMenu *lists = menuBar()->addMenu(u"Списки"_s);
    for (int k = 2; k <= 10; ++k)
        lists->addAction(m_listCountActions[k]);

    QMenu *options = menuBar()->addMenu(u"Действия при открытии файла"_s);
    options->addAction(m_trimOption);
    options->addAction(m_emptyOption);
    m_caseMenu = options->addMenu(u"Регистр"_s);
    m_caseMenu->menuAction()->setCheckable(true);
    m_caseMenu->addActions({m_upperOption, m_lowerOption, m_capitalizeOption});
    m_caseMenu->addSeparator();
    m_caseMenu->addAction(m_keepCaseOption);
    options->addAction(m_sortOption);
    options->addAction(m_repeatsOption);
    options->addAction(m_compareOption);

    QMenu *processing = menuBar()->addMenu(u"Обработка"_s);
    processing->addActions({action(u"Process1"_s), action(u"Process2"_s), action(u"Process3"_s)});
    QMenu *caseMenu = processing->addMenu(u"Регистр"_s);
    caseMenu->addActions({action(u"Process4"_s), action(u"Process5"_s), action(u"Process6"_s)});
    processing->addActions({action(u"Process7"_s), action(u"Process8"_s)});

    menuBar()->addMenu(u"Лингвистика"_s)->addAction(action(u"InitialForms"_s));
    QMenu *statistics = menuBar()->addMenu(u"Статистика"_s);
    statistics->addActions({action(u"WordStatistics"_s), action(u"ListStatistics"_s)});
    menuBar()->addMenu(u"Окна"_s)->addAction(action(u"ListWindow"_s));
    QMenu *help = menuBar()->addMenu(u"Помощь"_s);
    help->addActions({action(u"Help"_s), action(u"OnlineHelp"_s), action(u"About"_s)});

    // The pop-up menu of every box, the list window's included.
    m_popup = new QMenu(this);
    m_popup->addAction(action(u"OpenIntoBox"_s));
    m_popup->addAction(action(u"Save"_s));
    m_popup->addSeparator();
    m_popup->addActions({action(u"Copy"_s), action(u"Cut"_s), action(u"Paste"_s),
                         action(u"Clear"_s)});
    m_popup->addSeparator();
    m_popup->addActions({action(u"Find"_s), action(u"Replace"_s)});
    m_popup->addSeparator();
    m_popup->addActions({action(u"DeleteRecord"_s), action(u"DeleteEverywhere"_s),
                         action(u"ReplaceEverywhere"_s)});
    m_popup->addSeparator();
    m_popup->addActions({action(u"Process1"_s), action(u"Process2"_s), action(u"Process3"_s)});
    QMenu *popupCase = m_popup->addMenu(u"Регистр"_s);
    popupCase->addActions({action(u"Process4"_s), action(u"Process5"_s), action(u"Process6"_s)});
    m_popup->addAction(action(u"Process7"_s));
    QAction *reverse = m_popup->addAction(u"Поменять порядок"_s);
    connect(reverse, &QAction::triggered, action(u"Process8"_s), &QAction::trigger);
    m_popup->addSeparator();
    m_popup->addMenu(u"Лигвистика"_s)->addAction(action(u"InitialForms"_s));
}

void TForm1::createToolBar()
{
    QToolBar *bar = addToolBar(u"Панель инструментов"_s);
    bar->setObjectName(u"ToolBar1"_s);
    bar->setMovable(false);
    bar->setIconSize(QSize(20, 20));
    for (const char16_t *name :
         {u"OpenFiles", u"Save", u"", u"Copy", u"Cut", u"Paste", u"", u"Clear", u"", u"Find",
          u"Replace", u"", u"DeleteRecord", u"DeleteEverywhere", u"ReplaceEverywhere", u"",
          u"Process7", u"Process8", u"", u"Compare", u"", u"WordStatistics", u"ListStatistics"})
        if (name[0])
            bar->addAction(action(QString::fromUtf16(name)));
        else
            bar->addSeparator();
    // The statistics buttons say which statistics they open.
    action(u"WordStatistics"_s)->setToolTip(u"Статистика по словам"_s);
    action(u"ListStatistics"_s)->setToolTip(u"Статистика по спискам"_s);
}

void TForm1::layOut(int listCount)
{
    for (int k = 2; k <= 10; ++k)
        m_listCountActions[k]->setChecked(k == listCount);
    for (int c = 0; c < 10; ++c) {
        const bool shown = c < listCount;
        for (QWidget *w : {static_cast<QWidget *>(m_nameFrames[c]),
                           static_cast<QWidget *>(m_sourceFrames[c]),
                           static_cast<QWidget *>(m_uniqueFrames[c]),
                           static_cast<QWidget *>(m_absentFrames[c]),
                           static_cast<QWidget *>(m_sharedFrames[c])})
            w->setVisible(shown);
        m_grid->setColumnStretch(c, shown ? 1 : 0);
    }
    // The last column: the merged box above the common box, which is two quarters high.
    m_grid->removeWidget(m_mergedFrame);
    m_grid->removeWidget(m_commonFrame);
    m_grid->addWidget(m_mergedFrame, 0, listCount, 3, 1);
    m_grid->addWidget(m_commonFrame, 3, listCount, 2, 1);
    for (int c = listCount + 1; c <= 10; ++c)
        m_grid->setColumnStretch(c, 0);
    m_grid->setColumnStretch(listCount, 1);
    m_grid->invalidate();
}

void TForm1::showCounts(const CountRefreshTexts &texts)
{
    for (int c = 0; c < 10; ++c) {
        m_sourceFrames[c]->setTitle(texts.source[c]);
        m_uniqueFrames[c]->setTitle(texts.unique[c]);
        m_absentFrames[c]->setTitle(texts.absent[c]);
        m_sharedFrames[c]->setTitle(texts.shared[c]);
    }
    m_commonFrame->setTitle(texts.common);
    m_mergedFrame->setTitle(texts.merged);
    m_listsPanel->setText(texts.status);
}

LineBoxView *TForm1::editor(const BoxId &box) const
{
    switch (box.index) {
    case BoxId::Common:
        return Memo1;
    case BoxId::Merged:
        return Memo2;
    case BoxId::ListWindow:
        return m_form4->Memo1;
    default:
        break;
    }
    const int c = box.index - 1;
    switch (box.kind) {
    case BoxKind::Source:
        return Source[c];
    case BoxKind::Unique:
        return Uniq[c];
    case BoxKind::Absent:
        return Absent[c];
    case BoxKind::Shared:
        return Shared[c];
    }
    return nullptr;
}

BoxFrame *TForm1::frame(const BoxId &box) const
{
    if (box.index == BoxId::Common)
        return m_commonFrame;
    if (box.index == BoxId::Merged)
        return m_mergedFrame;
    const int c = box.index - 1;
    switch (box.kind) {
    case BoxKind::Source:
        return m_sourceFrames[c];
    case BoxKind::Unique:
        return m_uniqueFrames[c];
    case BoxKind::Absent:
        return m_absentFrames[c];
    case BoxKind::Shared:
        return m_sharedFrames[c];
    }
    return nullptr;
}

QString TForm1::statusText(int panel) const
{
    return (panel == 0 ? m_listsPanel : m_linePanel)->text();
}

void TForm1::applyHighlighting()
{
    const Highlighting h = m_workspace->N93Click();
    m_linePanel->setText(h.status);
    for (const auto &[box, shade] : h.shades)
        setShade(editor(box), shade == BoxShade::Current   ? QColor(Qt::white)
                              : shade == BoxShade::Holding ? HoldingColour
                                                           : LackingColour);
}

void TForm1::showOptions()
{
    AutoActionOptions o = m_workspace->options();
    o.trim = m_trimOption->isChecked();
    o.deleteEmptyLines = m_emptyOption->isChecked();
    o.sort = m_sortOption->isChecked();
    o.deleteRepeatingLines = m_repeatsOption->isChecked();
    o.compare = m_compareOption->isChecked();
    o.changeCase = !m_keepCaseOption->isChecked();
    const QAction *chosen = m_caseGroup->checkedAction();
    o.caseChoice = chosen == m_upperOption       ? CaseChoice::Upper
                   : chosen == m_lowerOption     ? CaseChoice::Lower
                   : chosen == m_capitalizeOption ? CaseChoice::Capitalize
                                                  : CaseChoice::None;
    setOptions(o);
}

void TForm1::setOptions(const AutoActionOptions &o)
{
    m_workspace->setOptions(o);
    m_trimOption->setChecked(o.trim);
    m_emptyOption->setChecked(o.deleteEmptyLines);
    m_upperOption->setChecked(o.caseChoice == CaseChoice::Upper);
    m_lowerOption->setChecked(o.caseChoice == CaseChoice::Lower);
    m_capitalizeOption->setChecked(o.caseChoice == CaseChoice::Capitalize);
    m_keepCaseOption->setChecked(!o.changeCase);
    m_caseMenu->menuAction()->setChecked(o.changeCase);
    m_sortOption->setChecked(o.sort);
    m_repeatsOption->setChecked(o.deleteRepeatingLines);
    m_compareOption->setChecked(o.compare);
}

void TForm1::openPaths(const QStringList &paths)
{
    // The files are read and decoded two at a time; failures are told in their order. The
    // texts go to the automatic actions as decoded: they cut lines at any break.
    std::vector<TextFileRead> reads(std::size_t(paths.size()));
    forEachOnTwoThreads(int(paths.size()), [&](int k) {
        reads[std::size_t(k)] = loadTextFileAs(paths[k], m_openEncoding);
    });
    QList<LoadedList> files;
    for (qsizetype k = 0; k < paths.size(); ++k) {
        TextFileRead &read = reads[std::size_t(k)];
        if (!read.ok()) {
            QMessageBox::critical(this, QApplication::applicationDisplayName(), read.error);
            continue;
        }
        m_saveEncoding = int(read.encoding);
        showTextEncoding(this, read.encoding, read.detected);
        files.append({QFileInfo(paths[k]).fileName(), std::exchange(read.text, QString())});
    }
    m_workspace->openFiles(std::move(files));
    editor(m_workspace->currentBox())->setFocus();
}

void TForm1::openDropped(const BoxId &box, const QStringList &paths)
{
    // One file goes into the box it was dropped on, as the pop-up "Открыть" does; several
    // files open into the lists, as "Файл" / "Открыть" does.
    if (paths.size() > 1) {
        openPaths(paths);
        return;
    }
    const TextFileRead read = loadTextFileAs(paths.first(), m_openEncoding);
    if (!read.ok()) {
        QMessageBox::critical(this, QApplication::applicationDisplayName(), read.error);
        return;
    }
    m_saveEncoding = int(read.encoding);
    showTextEncoding(this, read.encoding, read.detected);
    m_workspace->focusBox(box);
    m_workspace->openIntoCurrent({QFileInfo(paths.first()).fileName(), read.paneText()});
    editor(box)->setFocus();
}

void TForm1::openFilesClick()
{
    QList<LoadedList> files;
    for (const OpenedListFile &file : openListFiles(this, &m_openEncoding, true)) {
        m_saveEncoding = int(file.read.encoding);
        files.append({QFileInfo(file.path).fileName(), file.read.text});
    }
    m_workspace->openFiles(std::move(files));
    editor(m_workspace->currentBox())->setFocus();
}

void TForm1::openIntoBoxClick()
{
    const QList<OpenedListFile> opened = openListFiles(this, &m_openEncoding, false);
    if (opened.isEmpty())
        return;
    m_saveEncoding = int(opened.first().read.encoding);
    m_workspace->openIntoCurrent(
        {QFileInfo(opened.first().path).fileName(), opened.first().read.paneText()});
}

void TForm1::saveClick()
{
    if (saveListFile(this, m_workspace->textToSave(), &m_saveEncoding))
        m_workspace->saved();
}

void TForm1::copyClick()
{
    QGuiApplication::clipboard()->setText(m_workspace->copyText());
}

void TForm1::cutClick()
{
    QGuiApplication::clipboard()->setText(m_workspace->cutText());
}

void TForm1::pasteClick()
{
    m_workspace->paste(QGuiApplication::clipboard()->text());
}

void TForm1::clearClick()
{
    m_workspace->clear();
}

void TForm1::findClick()
{
    m_workspace->Memo3Click();
    m_findDialog->show();
    m_findDialog->raise();
}

void TForm1::replaceClick()
{
    m_workspace->Memo3Click();
    m_replaceDialog->show();
    m_replaceDialog->raise();
}

void TForm1::deleteRecordClick()
{
    m_workspace->deleteRecord();
}

void TForm1::deleteEverywhereClick()
{
    m_workspace->deleteEverywhere();
}

void TForm1::replaceEverywhereClick()
{
    m_workspace->startReplaceEverywhere();
    m_form5->exec();
}

void TForm1::setInputBlocked(bool blocked)
{
    for (QWidget *window : {static_cast<QWidget *>(this), static_cast<QWidget *>(m_form2),
                            static_cast<QWidget *>(m_form3), static_cast<QWidget *>(m_form4)})
        window->setEnabled(!blocked);
    if (blocked)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TForm1::initialFormsClick()
{
    const QString words = m_workspace->initialFormsRequestText();
    const BoxId box = m_workspace->currentBox();
    setInputBlocked(true);
    // The windows are disabled meanwhile, so the dialog stands apart from them.
    QProgressDialog waiting(u"Ожидание ответа сервера…"_s, u"Отмена"_s, 0, 0);
    waiting.setObjectName(u"ServiceProgress"_s);
    waiting.setWindowTitle(QApplication::applicationDisplayName());
    waiting.setWindowModality(Qt::ApplicationModal);
    waiting.setMinimumDuration(0);
    connect(&waiting, &QProgressDialog::canceled, m_client.get(), &InitialFormClient::cancel);
    waiting.show();
    const InitialFormsReply reply = m_client->convert(words);
    waiting.reset();
    waiting.hide();
    setInputBlocked(false);
    editor(box)->setFocus();
    if (reply.cancelled)
        return;
    if (!reply.ok()) {
        QMessageBox::warning(this, QApplication::applicationDisplayName(), reply.error);
        return;
    }
    m_workspace->applyInitialForms(reply.text);
}

void TForm1::BitBtn1Click()
{
    m_workspace->BitBtn1Click();
}

void TForm1::BitBtn2Click()
{
    m_form2->open();
}

void TForm1::BitBtn3Click()
{
    m_form3->open();
}

void TForm1::listWindowClick()
{
    m_form4->show();
    m_form4->raise();
}

void TForm1::helpClick()
{
    openHelpDocument(u"Cambrel.html"_s);
}

void TForm1::onlineHelpClick()
{
    DesktopServices::current().openUrl(
        makerPage(u"/products/lexorum/help/cambrel/"_s, u"Cambrel.html"_s));
}

void TForm1::aboutClick()
{
    TAboutBox about(u"Cambrel"_s,
                    u"Сравнение списков: уникальные, отсутствующие, пересекающиеся, общие "
                    u"и объединённый список для двух–десяти списков."_s,
                    makerPage(u"/products/lexorum/"_s, u"Cambrel.html"_s), this);
    about.exec();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_settingsWritten) {
        ComparisonSettings settings;
        settings.listCount = m_workspace->listCount();
        settings.options = m_workspace->options();
        settings.serviceUrl = m_client->url();
        const QString error = writeComparisonSettings(m_settingsPath, settings);
        if (!error.isEmpty())
            QMessageBox::warning(this, QApplication::applicationDisplayName(), error);
        m_settingsWritten = true;
    }
    for (QWidget *window : {static_cast<QWidget *>(m_form2), static_cast<QWidget *>(m_form3),
                            static_cast<QWidget *>(m_form4)})
        window->close();
    event->accept();
}
