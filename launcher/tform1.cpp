#include "launcher/tform1.h"

#include "common/aboutbox.h"
#include "common/desktopservices.h"
#include "launcher/launchermodel.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int ClientWidth = 363;
constexpr int ClientHeight = 454;  // below the menu bar, the status bar included
constexpr int ToolButtonWidth = 106;
constexpr int ToolButtonHeight = 150;
constexpr int TitleHeight = 118;  // the suite's name is part of the background picture

// Pale panels over the paper background; each tool keeps its colour on hover.
const char ButtonStyle[] = R"(
QPushButton {
    background: rgba(255, 253, 247, 225);
    border: 1px solid #c8bca4;
    border-radius: 10px;
    color: #23395d;
}
QPushButton:hover { background: #ffffff; border: 2px solid %1; }
QPushButton:pressed { background: #efe7d6; border: 2px solid %1; }
QPushButton:focus { border: 2px solid %1; }
QLabel { background: transparent; border: none; color: #23395d; }
)";

// A large button: the picture above a caption that wraps and keeps its runs of blanks.
QPushButton *makeToolButton(const QString &objectName, const QString &picture,
                            const QString &caption, const QString &accent, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setAccessibleName(caption.simplified());
    button->setFixedSize(ToolButtonWidth, ToolButtonHeight);
    button->setStyleSheet(QString::fromLatin1(ButtonStyle).arg(accent));
    button->setCursor(Qt::PointingHandCursor);

    auto *layout = new QVBoxLayout(button);
    layout->setContentsMargins(3, 12, 3, 8);
    layout->setSpacing(6);
    auto *image = new QLabel(button);
    image->setPixmap(QPixmap(picture));
    image->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto *text = new QLabel(caption, button);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    for (QLabel *label : {image, text})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(image);
    layout->addWidget(text, 1);
    return button;
}

QPushButton *makeHelpButton(const QString &objectName, const QString &accent, QWidget *parent)
{
    auto *button = new QPushButton(u"Справка"_s, parent);
    button->setObjectName(objectName);
    button->setFixedSize(ToolButtonWidth, 26);
    button->setStyleSheet(QString::fromLatin1(ButtonStyle).arg(accent));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}
}

TForm1::TForm1(const QString &programDirectory, QWidget *parent)
    : QMainWindow(parent)
    , m_model(std::make_unique<LauncherModel>(programDirectory))
{
    setWindowTitle(u"Lexorum"_s);
    setWindowIcon(QIcon(u":/lexorum/icons/lexorum.png"_s));
    createControls();
    createMenus();
    statusBar()->setSizeGripEnabled(false);

    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TForm1::BitBtn6Click);
    connect(m_model.get(), &LauncherModel::updateCheckAnswered, this, &TForm1::showUpdateAnswer);

    // Fixed size; the menu bar stands above the client area, which holds the status bar.
    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() = default;

void TForm1::createControls()
{
    auto *background = new QLabel(this);
    background->setObjectName(u"Image1"_s);
    background->setPixmap(QPixmap(u":/lexorum/pictures/background.png"_s));
    background->setScaledContents(true);
    setCentralWidget(background);

    BitBtn1 = makeToolButton(u"BitBtn1"_s, u":/lexorum/pictures/pelmor.png"_s,
                             u"Ручная         сортировка  списков"_s, u"#d08a1e"_s, background);
    BitBtn2 = makeToolButton(u"BitBtn2"_s, u":/lexorum/pictures/cambrel.png"_s,
                             u"Сравнение     списков"_s, u"#3b6ea5"_s, background);
    BitBtn3 = makeToolButton(u"BitBtn3"_s, u":/lexorum/pictures/orvella.png"_s,
                             u"Создание тематических списков"_s, u"#2a8c7f"_s, background);
    BitBtn4 = makeHelpButton(u"BitBtn4"_s, u"#d08a1e"_s, background);
    BitBtn5 = makeHelpButton(u"BitBtn5"_s, u"#3b6ea5"_s, background);
    BitBtn6 = makeHelpButton(u"BitBtn6"_s, u"#2a8c7f"_s, background);

    auto *columns = new QHBoxLayout;
    columns->setSpacing(10);
    QPushButton *const pairs[3][2] = {{BitBtn1, BitBtn4}, {BitBtn2, BitBtn5}, {BitBtn3, BitBtn6}};
    for (const auto &pair : pairs) {
        auto *column = new QVBoxLayout;
        column->setSpacing(8);
        column->addWidget(pair[0]);
        column->addWidget(pair[1]);
        columns->addLayout(column);
    }
    auto *layout = new QVBoxLayout(background);
    layout->setContentsMargins(12, TitleHeight, 12, 0);
    layout->addLayout(columns);
    layout->addStretch(1);
}

void TForm1::createMenus()
{
    auto addItem = [this](QMenu *menu, const QString &name, const QString &caption,
                          const QKeySequence &shortcut, void (TForm1::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu *file = menuBar()->addMenu(u"Файл"_s);
    addItem(file, u"N4"_s, u"Проверить обновления"_s, QKeySequence(Qt::CTRL | Qt::Key_U),
            &TForm1::N4Click);
    file->addSeparator();
    addItem(file, u"N7"_s, u"Сайт программы"_s, QKeySequence(Qt::CTRL | Qt::Key_S),
            &TForm1::N7Click);
    file->addSeparator();
    addItem(file, u"N6"_s, u"Выход"_s, QKeySequence(), &TForm1::N6Click);

    QMenu *tools = menuBar()->addMenu(u"Приложения"_s);
    addItem(tools, u"startPelmor"_s, u"Ручная сортировка списков"_s, QKeySequence(Qt::Key_F2),
            &TForm1::BitBtn1Click);
    tools->addSeparator();
    addItem(tools, u"startCambrel"_s, u"Сравнение списков"_s, QKeySequence(Qt::Key_F3),
            &TForm1::BitBtn2Click);
    tools->addSeparator();
    addItem(tools, u"startOrvella"_s, u"Создание тематических списков"_s,
            QKeySequence(Qt::Key_F4), &TForm1::BitBtn3Click);

    QMenu *help = menuBar()->addMenu(u"Помощь"_s);
    addItem(help, u"N14"_s, u"Справка"_s, QKeySequence(Qt::Key_F1), &TForm1::N14Click);
    help->addSeparator();
    addItem(help, u"N16"_s, u"Сетевая справка (обновляется)"_s,
            QKeySequence(Qt::SHIFT | Qt::Key_F1), &TForm1::N16Click);
    help->addSeparator();
    addItem(help, u"N18"_s, u"О программе"_s, QKeySequence(Qt::CTRL | Qt::Key_F1),
            &TForm1::N18Click);
}

// A tool that is missing or cannot start is passed over in silence, as the desktop
// shell would: the launcher has nothing useful to add.
void TForm1::startTool(SuiteTool tool)
{
    DesktopServices::current().startDetached(m_model->programFile(tool));
}

void TForm1::openHelp(SuiteTool tool)
{
    DesktopServices::current().openUrl(QUrl::fromLocalFile(m_model->helpFile(tool)));
}

void TForm1::BitBtn1Click() { startTool(SuiteTool::Pelmor); }
void TForm1::BitBtn2Click() { startTool(SuiteTool::Cambrel); }
void TForm1::BitBtn3Click() { startTool(SuiteTool::Orvella); }
void TForm1::BitBtn4Click() { openHelp(SuiteTool::Pelmor); }
void TForm1::BitBtn5Click() { openHelp(SuiteTool::Cambrel); }
void TForm1::BitBtn6Click() { openHelp(SuiteTool::Orvella); }
void TForm1::N4Click() { m_model->checkForUpdates(); }
void TForm1::N7Click() { DesktopServices::current().openUrl(m_model->productPage()); }
void TForm1::N6Click() { close(); }

void TForm1::N14Click()
{
    DesktopServices::current().openUrl(QUrl::fromLocalFile(m_model->suiteHelpFile()));
}

void TForm1::N16Click() { DesktopServices::current().openUrl(m_model->onlineHelp()); }

void TForm1::N18Click()
{
    TAboutBox about(u"Lexorum"_s,
                    u"Запускает программы пакета: ручную сортировку списков, сравнение "
                    u"списков и создание тематических списков, и открывает их справку."_s,
                    m_model->productPage(), this);
    about.exec();
}

void TForm1::showUpdateAnswer(const QString &message)
{
    QMessageBox::information(this, u"Lexorum"_s, message);
}
