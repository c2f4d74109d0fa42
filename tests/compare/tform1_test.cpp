#include "compare/tform1.h"

#include "common/desktopservices.h"
#include "common/findreplace.h"
#include "common/listfiledialog.h"
#include "compare/boxframe.h"
#include "compare/initformclient.h"
#include "compare/lineboxview.h"
#include "compare/tform2.h"
#include "compare/tform3.h"
#include "compare/tform4.h"
#include "tests/compare/fakeservice.h"
#include "tests/support/printers.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QTimer>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QMenuBar>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

/// Answers the file dialogs with prepared paths, in UTF-8.
class PreparedChooser final : public FileChooser
{
public:
    Choice chooseToOpen(QWidget *, int, bool) override { return {openPaths, 4}; }
    Choice chooseToSave(QWidget *, int) override { return {{savePath}, 4}; }
    QStringList openPaths;
    QString savePath;
};

class CambrelWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FileChooser::setCurrent(&chooser);
        for (const auto &[name, text] :
             {std::pair{u"a.txt"_s, "кот\nпёс\nёж\n"}, std::pair{u"b.txt"_s, "кот\nлиса\n"},
              std::pair{u"c.txt"_s, "Кот\nпёс\n"}}) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text);
            chooser.openPaths.append(file.fileName());
        }
        window = std::make_unique<TForm1>(dir.filePath(u"Cambrel.ini"_s));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { FileChooser::setCurrent(nullptr); }

    QString fileText(const QString &name)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(file.readAll());
        if (text.startsWith(u'\ufeff'))
            text.remove(0, 1);
        return text;
    }
    /// Types text as a keyboard would (QTest's key clicks know only ASCII).
    static void typeInto(QWidget *box, const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }
    void clickInto(LineBoxView *editor, int line)
    {
        QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, editor->rowRect(line).center());
    }

    QTemporaryDir dir;
    PreparedChooser chooser;
    std::unique_ptr<TForm1> window;
};

} // namespace

TEST_F(CambrelWindowTest, OpenCompareStatisticsSave)
{
    window->action(u"OpenFiles"_s)->trigger();
    ComparisonWorkspace &workspace = window->workspace();
    EXPECT_EQ(workspace.listCount(), 3);
    EXPECT_TRUE(window->frame({3, BoxKind::Source})->isVisible());
    EXPECT_FALSE(window->frame({4, BoxKind::Source})->isVisible());
    EXPECT_TRUE(window->action(u"Lists3"_s)->isChecked());
    EXPECT_EQ(window->nameField(2)->text(), u"b.txt"_s);
    EXPECT_EQ(window->editor({BoxId::Merged})->plainText(), u"кот\nлиса\nпёс\nёж\n"_s);
    EXPECT_EQ(window->frame({BoxId::Common})->title(), u"Общие во всех списках (1)"_s);
    EXPECT_EQ(window->frame({1, BoxKind::Shared})->title(), u"Пересекающиеся (1)"_s);
    EXPECT_EQ(window->statusText(0), u"Списков: 3"_s);

    // A click highlights the boxes that hold the line.
    clickInto(window->editor({1, BoxKind::Source}), 1);  // "пёс"
    EXPECT_EQ(workspace.currentBox(), (BoxId{1, BoxKind::Source}));
    EXPECT_EQ(window->statusText(1), u" Текущая строка: пёс"_s);
    auto base = [&](const BoxId &box) {
        return window->editor(box)->palette().color(QPalette::Base);
    };
    EXPECT_EQ(base({1, BoxKind::Source}), QColor(Qt::white));
    EXPECT_EQ(base({2, BoxKind::Source}), QColor(240, 240, 240));
    EXPECT_EQ(base({3, BoxKind::Source}), QColor(255, 255, 230));

    // The names typed by the user head the statistics.
    window->nameField(3)->selectAll();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, u"третий"_s);
    QApplication::sendEvent(window->nameField(3), &typed);
    QTest::mouseClick(window->findChild<QPushButton *>(u"BitBtn2"_s), Qt::LeftButton);
    TForm2 *words = window->wordStatistics();
    ASSERT_TRUE(words->isVisible());
    EXPECT_EQ(words->table().rowCount(), 4);
    EXPECT_EQ(words->grid()->model()->headerData(5, Qt::Horizontal), u"третий"_s);
    EXPECT_EQ(words->statusText(0), u"Слов: 4"_s);
    chooser.savePath = dir.filePath(u"words.txt"_s);
    words->saveClick();
    EXPECT_EQ(fileText(u"words.txt"_s).section(u"\r\n"_s, 0, 1),
              u"Слово\tКол-во\ta.txt\tb.txt\tтретий\r\nкот\t3\t+\t+\t+"_s);

    QTest::mouseClick(window->findChild<QPushButton *>(u"BitBtn3"_s), Qt::LeftButton);
    TForm3 *lists = window->listStatistics();
    ASSERT_TRUE(lists->isVisible());
    EXPECT_EQ(lists->table().rowCount(), 3);
    EXPECT_EQ(lists->table().cell(2, 1), u"третий"_s);
    EXPECT_EQ(lists->statusText(1), u"Списков: 3"_s);

    // Ctrl+S saves the current box, which a click made the merged one.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    clickInto(window->editor({BoxId::Merged}), 0);
    chooser.savePath = dir.filePath(u"merged.txt"_s);
    QTest::keyClick(window->editor({BoxId::Merged}), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fileText(u"merged.txt"_s), u"кот\r\nлиса\r\nпёс\r\nёж\r\n"_s);
}

TEST_F(CambrelWindowTest, KeysCommandsAndSettings)
{
    window->action(u"OpenFiles"_s)->trigger();
    LineBoxView *source = window->editor({1, BoxKind::Source});
    clickInto(source, 1);
    QTest::keyClick(source, Qt::Key_Delete, Qt::ShiftModifier);  // "Удалить запись"
    EXPECT_EQ(source->plainText(), u"кот\nёж\n"_s);
    EXPECT_EQ(window->editor({3, BoxKind::Source})->plainText(), u"кот\nпёс\n"_s);
    clickInto(source, 0);
    QTest::keyClick(source, Qt::Key_Delete, Qt::ControlModifier);  // "Удалить везде"
    EXPECT_EQ(window->editor({3, BoxKind::Source})->plainText(), u"пёс\n"_s);
    QTest::keyClick(source, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(window->workspace().listCount(), 2);

    // F1 opens the document beside the program, Shift+F1 the page on the site.
    struct Recorder final : DesktopServices
    {
        void openUrl(const QUrl &url) override { opened.append(url); }
        QList<QUrl> opened;
    } recorder;
    DesktopServices::setCurrent(&recorder);
    QTest::keyClick(source, Qt::Key_F1);
    QTest::keyClick(source, Qt::Key_F1, Qt::ShiftModifier);
    DesktopServices::setCurrent(nullptr);
    ASSERT_EQ(recorder.opened.size(), 2);
    EXPECT_TRUE(recorder.opened[0].toLocalFile().endsWith(u"/Cambrel.html"_s));
    EXPECT_EQ(recorder.opened[1], recorder.opened[0]);  // no site yet: the local help

    // The list window shows the current box and counts it.
    window->action(u"ListWindow"_s)->trigger();
    TForm4 *list = window->listWindow();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->Memo1->plainText(), u"ёж\n"_s);
    EXPECT_EQ(list->status(), u"Записей: 1"_s);

    // Settings are written at the end and read at the start.
    window->action(u"Lists5"_s)->trigger();
    window->action(u"OptionSort"_s)->trigger();
    window->action(u"OptionUpper"_s)->trigger();
    window->close();
    TForm1 again(dir.filePath(u"Cambrel.ini"_s));
    EXPECT_EQ(again.workspace().listCount(), 5);
    EXPECT_FALSE(again.action(u"OptionSort"_s)->isChecked());
    EXPECT_TRUE(again.action(u"OptionUpper"_s)->isChecked());
    EXPECT_FALSE(again.workspace().options().sort);
}

TEST_F(CambrelWindowTest, InitialFormsReplaceTheBoxWhileTheWindowWaits)
{
    // The service notes whether the window took commands while it answered.
    FakeService service;
    bool enabledMeanwhile = true;
    service.onRequest = [&] { enabledMeanwhile = window->isEnabled(); };
    service.answer("200 OK", "кот\n");
    window->initialFormClient().setUrl(service.url());
    LineBoxView *box = window->editor({2, BoxKind::Unique});
    window->workspace().paste(u"x"_s);  // the source of list 1 is current; it stays as it is
    window->workspace().focusBox({2, BoxKind::Unique});
    window->workspace().paste(u"Коты\r\n"_s);
    window->action(u"InitialForms"_s)->trigger();
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(box->plainText(), u"кот\n"_s);
    EXPECT_EQ(window->editor({1, BoxKind::Source})->plainText(), u"x"_s);
    EXPECT_EQ(window->frame({2, BoxKind::Unique})->title(), u"Уникальные (1)"_s);
    ASSERT_EQ(service.requests.size(), 1);
    EXPECT_TRUE(bodyOf(service.requests[0]).endsWith("WORDS=%D0%9A%D0%BE%D1%82%D1%8B%0D%0A"));
}

TEST_F(CambrelWindowTest, CancellingTheServiceLeavesTheBoxAndSaysNothing)
{
    FakeService service;
    service.stall();
    window->initialFormClient().setUrl(service.url());
    window->workspace().paste(u"Коты\r\n"_s);
    // Any message box that shows is noted and closed, so a wrong one cannot hang the test.
    QStringList messages;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            messages.append(box->text());
            box->reject();
        }
    });
    watch.start(10);
    bool dialogShown = false;
    service.onRequest = [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QProgressDialog *>(w);
                dialog && dialog->objectName() == u"ServiceProgress"_s && dialog->isVisible()) {
                dialogShown = true;
                EXPECT_EQ(dialog->findChild<QPushButton *>()->text(), u"Отмена"_s);
                QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
            }
    };
    window->action(u"InitialForms"_s)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->editor({1, BoxKind::Source})->plainText(), u"Коты\n"_s);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u' ').toStdString();
}

TEST_F(CambrelWindowTest, TenListsFitAScreen1366Wide)
{
    window->action(u"OpenFiles"_s)->trigger();
    window->action(u"Lists10"_s)->trigger();
    ComparisonWorkspace &workspace = window->workspace();
    for (int i = 1; i <= 10; ++i)
        workspace.setName(i, u"семантическое ядро ключевых слов, часть %1.txt"_s.arg(i));
    QString many;
    for (int k = 0; k < 123456; ++k)
        many += u"%1\r\n"_s.arg(k);
    workspace.focusBox({1, BoxKind::Source});
    workspace.paste(many);  // a long count in the caption
    workspace.BitBtn1Click();
    clickInto(window->editor({1, BoxKind::Source}), 0);
    window->resize(1366, 740);
    window->centralWidget()->layout()->activate();

    EXPECT_LE(window->minimumSizeHint().width(), 1366);
    EXPECT_EQ(window->width(), 1366);
    const int right = window->centralWidget()->width();
    int widest = 0, narrowest = right;
    for (int i = 1; i <= 10; ++i) {
        BoxFrame *frame = window->frame({i, BoxKind::Source});
        ASSERT_TRUE(frame->isVisible());
        widest = std::max(widest, frame->width());
        narrowest = std::min(narrowest, frame->width());
    }
    EXPECT_LE(widest - narrowest, 2);  // the long count does not widen its column
    BoxFrame *merged = window->frame({BoxId::Merged});
    EXPECT_TRUE(merged->isVisible());
    EXPECT_LE(merged->geometry().right(), right);
    EXPECT_GE(merged->width(), narrowest - 2);
    EXPECT_TRUE(window->frame({BoxId::Common})->isVisible());
    // A caption too long for its column is cut, and its tooltip has it whole.
    BoxFrame *absent = window->frame({1, BoxKind::Absent});
    EXPECT_TRUE(absent->shownTitle().endsWith(u'…'));
    EXPECT_EQ(absent->findChild<QLabel *>()->toolTip(), absent->title());

    // The word statistics name their list columns whole, in header and tooltip.
    window->action(u"WordStatistics"_s)->trigger();
    TForm2 *words = window->wordStatistics();
    QTableView *grid = words->grid();
    const QString name = workspace.displayName(10);
    EXPECT_EQ(grid->model()->headerData(12, Qt::Horizontal), name);
    EXPECT_EQ(grid->model()->headerData(12, Qt::Horizontal, Qt::ToolTipRole), name);
    EXPECT_GE(grid->columnWidth(12),
              grid->horizontalHeader()->fontMetrics().horizontalAdvance(name));
}

TEST_F(CambrelWindowTest, BoxesTakeKeysDropsAndLongLines)
{
    LineBoxView *source = window->editor({1, BoxKind::Source});
    source->setFocus();
    typeInto(source, u"кот"_s);
    QTest::keyClick(source, Qt::Key_Return);
    typeInto(source, u"пёс"_s);
    QTest::keyClick(source, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(source, Qt::Key_Backspace);
    QTest::keyClick(source, Qt::Key_Up);
    QTest::keyClick(source, Qt::Key_End);
    typeInto(source, u"ы"_s);
    EXPECT_EQ(source->plainText(), u"коты\nпё"_s);
    QTest::keyClick(source, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(source->plainText(), u"кот\nпё"_s);
    QTest::keyClick(source, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(source->plainText(), u"коты\nпё"_s);
    EXPECT_EQ(window->workspace().pane({1, BoxKind::Source}).currentLineText(), u"коты"_s);
    QTest::keyClick(source, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(source, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"коты\r\nпё"_s);

    // Finding a line far down brings it into sight.
    QString lines;
    for (int k = 0; k < 1000; ++k)
        lines += u"строка %1\r\n"_s.arg(k);
    window->workspace().paste(lines);
    FindOptions options;
    options.text = u"строка 900"_s;
    window->workspace().find(options);
    EXPECT_EQ(source->pane().caret(), (TextPoint{900, 10}));
    EXPECT_LE(source->firstVisibleRow(), 900);
    EXPECT_LT(900, source->firstVisibleRow() + source->viewport()->height() / source->fontMetrics().height());

    // A file dropped on a box opens into that box.
    LineBoxView *unique = window->editor({2, BoxKind::Source});
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(chooser.openPaths[1])});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(unique->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QStringList droppedPaths;
    QObject::connect(unique, &LineBoxView::filesDropped,
                     [&](const QStringList &paths) { droppedPaths = paths; });
    QApplication::sendEvent(unique->viewport(), &drop);
    EXPECT_EQ(droppedPaths.size(), 1);
    EXPECT_EQ(unique->plainText(), u"кот\nлиса\n"_s);
    EXPECT_EQ(window->nameField(2)->text(), u"b.txt"_s);
    EXPECT_EQ(window->workspace().currentBox(), (BoxId{2, BoxKind::Source}));

    // A line of five megabytes: the status bar shows it cut, the view shows its start.
    QFile file(dir.filePath(u"long.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(5 * 1024 * 1024, 'k') + "\n");
    file.close();
    window->openPaths({file.fileName(), chooser.openPaths[0]});
    LineBoxView *longBox = window->editor({1, BoxKind::Source});
    clickInto(longBox, 0);
    EXPECT_EQ(window->statusText(1),
              u" Текущая строка: "_s + QString(ShownLineUnits, u'k') + u'…');
    EXPECT_EQ(window->editor({BoxId::Merged})->pane().lineCount(), 4);
    QTest::keyClick(longBox, Qt::Key_End);
    EXPECT_EQ(longBox->pane().caret(), (TextPoint{0, 5 * 1024 * 1024}));
    EXPECT_GT(longBox->horizontalScrollBar()->value(), 5 * 1024 * 1024 - 1000);
}
