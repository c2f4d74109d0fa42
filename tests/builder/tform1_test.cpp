#include "builder/tform1.h"

#include "builder/settings.h"
#include "builder/tform5.h"
#include "builder/tform6.h"
#include "builder/tform7.h"
#include "builder/workspace.h"
#include "common/findreplacedialog.h"
#include "tests/builder/testdictionary.h"
#include "tests/support/printers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// QTest::keyClicks knows only ASCII; the panes take Russian as the keyboard types it.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class OrvellaWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(m_dictionary.error(), QString());
        m_files = {m_dir.filePath(u"Orvella.ini"_s), m_dir.filePath(u"black_list.dat"_s)};
        QFile blackList(m_files.blackList);
        ASSERT_TRUE(blackList.open(QIODevice::WriteOnly));
        blackList.write("и\n");
        blackList.close();
        writeDataBase(m_files.settings, m_dictionary.path());
        m_form = std::make_unique<TForm1>(m_files);
        m_form->show();
        m_form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    }

    void caretOnLine(QPlainTextEdit *memo, int line)
    {
        memo->setFocus();
        QTextCursor cursor(memo->document()->findBlockByNumber(line));
        memo->setTextCursor(cursor);
    }

    QTemporaryDir m_dir;
    DictionaryFile m_dictionary{TestDictionary::catsAndMice()};
    OrvellaFiles m_files;
    std::unique_ptr<TForm1> m_form;
};

TEST_F(OrvellaWindowTest, F2SearchesAndShowsTheFoundWords)
{
    bool buttonsHiddenDuring = false;
    bool barShownDuring = false;
    QStringList stages;
    QObject::connect(&m_form->workspace(), &Workspace::searchStageChanged, m_form.get(),
                     [&] {
                         stages.append(m_form->StatusBar1[3]->text());
                         buttonsHiddenDuring = m_form->BitBtn1->isHidden()
                                               && m_form->BitBtn5->isHidden();
                         barShownDuring = m_form->ProgressBar1->isVisible();
                     });
    m_form->Memo1->setFocus();
    typeText(m_form->Memo1, u"Кошка"_s);
    QTest::keyClick(m_form->Memo1, Qt::Key_F2);
    m_form->workspace().waitForSearches();

    EXPECT_EQ(m_form->Memo2->toPlainText(), u"ловить\n"_s);
    EXPECT_EQ(m_form->workspace().undoCount(), 1);
    EXPECT_TRUE(buttonsHiddenDuring);
    EXPECT_TRUE(barShownDuring);
    ASSERT_FALSE(stages.isEmpty());
    EXPECT_EQ(stages.first(), u"Ищем id исходных форм (1)"_s);
    EXPECT_FALSE(m_form->BitBtn1->isHidden());
    EXPECT_FALSE(m_form->BitBtn4->isHidden());
    EXPECT_TRUE(m_form->ProgressBar1->isHidden());
    EXPECT_EQ(m_form->StatusBar1[3]->text(), QString());
    EXPECT_EQ(m_form->StatusBar1[0]->text(), u"Список отмен: 1"_s);
    EXPECT_TRUE(m_form->Memo2->hasFocus());
    EXPECT_EQ(m_form->workspace().activePane(), 2);
    EXPECT_EQ(m_form->Edit1->text(), u"ловить"_s);
}

TEST_F(OrvellaWindowTest, F3AndF4MoveTheCurrentLineAndCtrlZUndoes)
{
    m_form->Memo2->setPlainText(u"лапа\nхвост\nус\n"_s);
    caretOnLine(m_form->Memo2, 1);
    QTest::keyClick(m_form->Memo2, Qt::Key_F3);
    EXPECT_EQ(m_form->Memo1->toPlainText(), u"хвост\n"_s);
    EXPECT_EQ(m_form->Memo2->toPlainText(), u"лапа\nус\n"_s);
    EXPECT_EQ(m_form->GroupBox1->title(), u"Тезаурус (1)"_s);
    QTest::keyClick(m_form->Memo2, Qt::Key_F4);
    EXPECT_EQ(m_form->Memo3->toPlainText(), u"и\nус\n"_s);
    EXPECT_EQ(m_form->StatusBar1[0]->text(), u"Список отмен: 2"_s);

    QTest::keyClick(m_form->Memo2, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m_form->Memo3->toPlainText(), u"и\n"_s);
    EXPECT_EQ(m_form->Memo2->toPlainText(), u"лапа\nус\n"_s);
    EXPECT_EQ(m_form->Memo1->toPlainText(), u"хвост\n"_s);
    EXPECT_EQ(m_form->StatusBar1[0]->text(), u"Список отмен: 1"_s);

    // The thesaurus is active now: F3 has no source.
    caretOnLine(m_form->Memo1, 0);
    QTest::keyClick(m_form->Memo1, Qt::Key_F3);
    EXPECT_EQ(m_form->Memo1->toPlainText(), u"хвост\n"_s);
}

TEST_F(OrvellaWindowTest, TheMainKeysWorkInTheViewWindowsAndTheWordFollowsTheCaret)
{
    m_form->Memo2->setPlainText(u"лапа\nхвост\nус\n"_s);
    caretOnLine(m_form->Memo2, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_form->Edit1->text(), u"хвост"_s);

    QTest::keyClick(m_form->Memo2, Qt::Key_F9);
    m_form->Form6->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == m_form->Form6; }));
    QTest::keyClick(m_form->Form6->StringGrid[0], Qt::Key_F3);
    EXPECT_EQ(m_form->Memo1->toPlainText(), u"хвост\n"_s);
    QTest::keyClick(m_form->Form6->StringGrid[0], Qt::Key_F10);
    m_form->Form7->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == m_form->Form7; }));
    QTest::keyClick(m_form->Form7->Memo1, Qt::Key_F4);
    EXPECT_EQ(m_form->Memo3->toPlainText(), u"и\nус\n"_s);
    QTest::keyClick(m_form->Form7->Memo1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m_form->Memo3->toPlainText(), u"и\n"_s);
    EXPECT_EQ(m_form->Memo2->toPlainText(), u"лапа\nус\n"_s);
}

TEST_F(OrvellaWindowTest, TheFindDialogWalksTheActivePaneAndWraps)
{
    m_form->Memo3->setPlainText(u"кот\nскот\nкот"_s);
    caretOnLine(m_form->Memo3, 0);
    QTest::keyClick(m_form->Memo3, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(m_form->FindDialog1->isVisible());
    typeText(m_form->FindDialog1->findChild<QLineEdit *>(), u"КОТ"_s);
    QPushButton *next = nullptr;
    for (QPushButton *button : m_form->FindDialog1->findChildren<QPushButton *>())
        if (button->text() == u"Найти далее"_s)
            next = button;
    ASSERT_NE(next, nullptr);
    QList<int> starts;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(next, Qt::LeftButton);
        starts.append(m_form->Memo3->textCursor().selectionStart());
    }
    EXPECT_EQ(starts, (QList<int>{0, 5, 9, 0}));
    EXPECT_EQ(m_form->Memo3->textCursor().selectedText(), u"кот"_s);
}

TEST_F(OrvellaWindowTest, ViewsFollowTheClickedWord)
{
    m_form->Memo1->setPlainText(u"мышь\nкошки\n"_s);
    QTest::keyClick(m_form->Memo1, Qt::Key_F9);
    TForm6 *ngrams = m_form->Form6;
    ASSERT_TRUE(ngrams->isVisible());
    // Under the main window, pulled up as far as the screen needs to hold all of it.
    const QRect screen = ngrams->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(ngrams->frameGeometry()));
    EXPECT_EQ(ngrams->pos().y(), std::min(m_form->frameGeometry().bottom() + 1,
                                          screen.bottom() + 1 - ngrams->frameGeometry().height()));

    const QRect line = m_form->Memo1->cursorRect(
        QTextCursor(m_form->Memo1->document()->findBlockByNumber(1)));
    QTest::mouseClick(m_form->Memo1->viewport(), Qt::LeftButton, {}, line.center());
    EXPECT_EQ(m_form->workspace().currentWord(), u"кошки"_s);
    EXPECT_EQ(ngrams->GroupBox[0]->title(), u"Биграммы справа (2)"_s);
    EXPECT_EQ(ngrams->GroupBox[1]->title(), u"Биграммы слева (0)"_s);
    EXPECT_EQ(ngrams->StringGrid[0]->item(1, 2)->text(), u"w7"_s);

    // A double-clicked word adds its initial form; the number column adds nothing.
    emit ngrams->StringGrid[0]->cellDoubleClicked(1, 0);
    EXPECT_EQ(m_form->Memo1->toPlainText(), u"мышь\nкошки\n"_s);
    ngrams->StringGrid[0]->item(0, 1)->setText(u"кошки"_s);
    emit ngrams->StringGrid[0]->cellDoubleClicked(0, 1);
    EXPECT_EQ(m_form->Memo1->toPlainText(), u"мышь\nкошки\nкошка\n"_s);
}

TEST_F(OrvellaWindowTest, ThePartOfSpeechBoxesApplyAtOnce)
{
    TForm5 *filter = m_form->Form5;
    filter->CheckBox[5]->setChecked(false);
    EXPECT_FALSE(PartWord.allows(5));
    QTest::mouseClick(filter->BitBtn4, Qt::LeftButton);
    for (int i = 0; i < PartOfSpeechCount; ++i)
        EXPECT_FALSE(PartWord.allows(i));
    QTest::mouseClick(filter->BitBtn3, Qt::LeftButton);
    for (int i = 0; i < PartOfSpeechCount; ++i)
        EXPECT_TRUE(PartWord.allows(i));
}

TEST_F(OrvellaWindowTest, AnUnwritableSettingsFileIsReportedAndTheProgramEnds)
{
    m_form.reset();
    ASSERT_TRUE(QFile::remove(m_files.settings));
    ASSERT_TRUE(QDir().mkpath(m_files.settings));
    auto form = std::make_unique<TForm1>(m_files);
    form->show();
    const std::array<QTimer *, 2> timers = {form->Timer1, form->Timer2};
    // The warning's event loop delivers whatever tick falls due while it is open.
    QString warning;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        warning = box->text();
        for (QTimer *timer : timers)
            if (timer->isActive()) {
                QTimerEvent tick(timer->timerId());
                QCoreApplication::sendEvent(timer, &tick);
            }
        box->done(QMessageBox::Ok);
    });
    watcher.start();
    form.reset();
    watcher.stop();
    EXPECT_TRUE(warning.contains(u"Orvella.ini"_s)) << warning.toStdString();
    EXPECT_TRUE(QFileInfo(m_files.settings).isDir());
}

TEST_F(OrvellaWindowTest, TheDictionaryPathIsWrittenAtTheEnd)
{
    QFile::remove(m_files.settings);
    m_form.reset();
    EXPECT_EQ(readDataBase(m_files.settings, QString()), m_dictionary.path());
}

TEST_F(OrvellaWindowTest, TheOrderOfProposalsIsChosenInTheSettingsMenuAndKept)
{
    const auto action = [this](const QString &caption) -> QAction * {
        for (QAction *a : m_form->findChildren<QAction *>())
            if (a->text() == caption)
                return a;
        return nullptr;
    };
    QAction *links = action(u"по числу связей"_s);
    QAction *strength = action(u"по силе связи"_s);
    ASSERT_TRUE(links && strength);
    EXPECT_TRUE(links->isChecked());
    strength->trigger();
    EXPECT_EQ(m_form->workspace().rankBy(), RankBy::Strength);
    EXPECT_FALSE(links->isChecked());
    m_form.reset();
    EXPECT_EQ(readRankBy(m_files.settings), RankBy::Strength);
    m_form = std::make_unique<TForm1>(m_files);
    EXPECT_EQ(m_form->workspace().rankBy(), RankBy::Strength);
    EXPECT_TRUE(action(u"по силе связи"_s)->isChecked());
}

// A first start writes an empty path; a default dictionary built after it is still found.
TEST(OrvellaStart, TakesTheDefaultDictionaryWhileTheSettingsNameNone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    OrvellaFiles files{dir.filePath(u"Orvella.ini"_s), dir.filePath(u"black_list.dat"_s),
                       u"/данные/lexorum-ru.sqlite"_s};
    QFile blackList(files.blackList);
    ASSERT_TRUE(blackList.open(QIODevice::WriteOnly));
    blackList.close();

    ASSERT_EQ(writeDataBase(files.settings, QString()), QString());
    EXPECT_EQ(TForm1(files).workspace().dataBase(), files.defaultDictionary);
    ASSERT_EQ(writeDataBase(files.settings, u"/мой.sqlite"_s), QString());
    EXPECT_EQ(TForm1(files).workspace().dataBase(), u"/мой.sqlite"_s);
    QFile::remove(files.settings);
    EXPECT_EQ(TForm1(files).workspace().dataBase(), files.defaultDictionary);
}

TEST(OrvellaStart, OffersToBuildAMissingDictionaryAndTakesTheBuiltOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.filePath(u"home"_s).toUtf8());
    OrvellaFiles files{dir.filePath(u"Orvella.ini"_s), dir.filePath(u"black_list.dat"_s),
                       QString(), dir.filePath(u"lexorum-build-dictionary"_s)};
    // The stand-in builder copies a small dictionary: the window checks what it takes.
    const DictionaryFile ready(TestDictionary::catsAndMice());
    const QByteArray builder = "#!/bin/sh\necho downloading\nmkdir -p \"$2\" && cp '"
                               + QFile::encodeName(ready.path()) + "' \"$2/lexorum-ru.sqlite\"\n";
    for (const auto &[path, text] : {std::pair{files.blackList, QByteArray()},
                                     std::pair{files.dictionaryBuilder, builder}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }
    TForm1 form(files);
    form.show();

    // The boxes run their own event loops: answer them from there, "Да" to the offer.
    QStringList boxes;
    bool progressShownWithOutcome = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxes.append(box->text());
        if (QAbstractButton *yes = box->button(QMessageBox::Yes)) {
            yes->click();
            return;
        }
        for (const QProgressDialog *progress : form.findChildren<QProgressDialog *>())
            progressShownWithOutcome |= progress->isVisible();
        box->close();
    });
    watch.start(10);
    form.Timer1Timer();
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.size() == 2; }, 30000));

    const QString built = dir.filePath(u"home/lexorum/lexorum-ru.sqlite"_s);
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0].startsWith(u"Словарь не найден. Построить словарь по умолчанию"_s));
    EXPECT_EQ(boxes[1], u"Словарь построен: "_s + built);
    EXPECT_EQ(form.workspace().dataBase(), built);
    EXPECT_FALSE(progressShownWithOutcome);
    qputenv("XDG_DATA_HOME", dataHome);
    if (dataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
}

} // namespace
