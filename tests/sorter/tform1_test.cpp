#include "sorter/tform1.h"

#include "common/desktopservices.h"
#include "common/listfiledialog.h"
#include "common/pane.h"
#include "common/suiteinfo.h"
#include "sorter/projectstore.h"
#include "tests/support/printers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

/// Answers the file dialogs with the paths a test sets.
class ChooserStandIn final : public FileChooser
{
public:
    Choice chooseToOpen(QWidget *, int, bool) override { return {{openPath}, encodingIndex}; }
    Choice chooseToSave(QWidget *, int preset) override
    {
        savePresets.append(preset);
        return {{savePath}, preset};
    }
    QString chooseFileToOpen(QWidget *) override { return projectPath; }
    QString chooseFileToSave(QWidget *) override { return projectPath; }
    QString openPath;
    QString projectPath;
    QString savePath;
    QList<int> savePresets;  // the encoding each save dialog started at
    int encodingIndex = 4;  // UTF8
};

/// Records what the window asks the desktop to open.
class DesktopRecorder final : public DesktopServices
{
public:
    void openUrl(const QUrl &url) override { opened.append(url); }
    QList<QUrl> opened;
};

/// Presses button in the next message box the window shows; returns its text.
class BoxAnswer final
{
public:
    explicit BoxAnswer(QMessageBox::StandardButton button)
    {
        m_poll.setInterval(0);
        QObject::connect(&m_poll, &QTimer::timeout, [this, button] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                text = box->text();
                box->button(button)->click();
            }
        });
        m_poll.start();
    }
    QString text;

private:
    QTimer m_poll;
};

class TForm1Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FileChooser::setCurrent(&chooser);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { FileChooser::setCurrent(nullptr); }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QString memoText(int k) const { return window.session().list(k).text(); }
    QString sourceText() const { return window.session().source().text(); }

    QTemporaryDir dir;
    ChooserStandIn chooser;
    TForm1 window;
};

} // namespace

TEST_F(TForm1Test, OpensATextFileAndSendsWithButtonsAndKeys)
{
    chooser.openPath = writeFile(u"слова.txt"_s, "\xEF\xBB\xBFкот\nпёс\nёж\nуж\nлев\n");
    window.N7->trigger();
    EXPECT_EQ(sourceText(), u"кот\r\nпёс\r\nёж\r\nуж\r\nлев\r\n"_s);
    EXPECT_EQ(window.windowTitle(), u"Ручная сортировка списков - "_s + chooser.openPath);

    QTest::mouseClick(window.Button[0], Qt::LeftButton);
    EXPECT_EQ(memoText(1), u"кот\r\n"_s);
    EXPECT_EQ(window.GroupBox[0]->title(), u"Строк: 1"_s);

    window.Source->setFocus();  // the keys work while the user is in a pane
    QTest::keyClick(window.Source, Qt::Key_2, Qt::AltModifier);
    QTest::keyClick(window.Source, Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(memoText(2), u"пёс\r\nёж\r\n"_s);
    EXPECT_EQ(sourceText(), u"уж\r\nлев\r\n"_s);

    QTest::keyClick(&window, Qt::Key_0, Qt::AltModifier);  // list 10 is hidden: nothing
    EXPECT_EQ(memoText(10), QString());
    window.ListCountItem[8]->trigger();  // "10"
    EXPECT_TRUE(window.GroupBox[9]->isVisible());
    QTest::keyClick(&window, Qt::Key_0, Qt::AltModifier);
    EXPECT_EQ(memoText(10), u"уж\r\n"_s);

    QTest::mouseClick(window.BitBtn1, Qt::LeftButton);  // delete the top line
    EXPECT_EQ(sourceText(), QString());
    EXPECT_EQ(window.GroupBox11->title(), u"Исходный текст (0)"_s);
    QTest::mouseClick(window.BitBtn2, Qt::LeftButton);  // undo
    EXPECT_EQ(sourceText(), u"лев\r\n"_s);
}

TEST_F(TForm1Test, ASaveStartsAtTheEncodingTheTextWasOpenedWith)
{
    chooser.savePath = dir.filePath(u"out.txt"_s);
    window.MenuItem3->trigger();  // new text
    chooser.encodingIndex = AutoDetectEncoding;
    chooser.openPath = writeFile(u"cp.txt"_s, QByteArray::fromHex("eaeef20d0ab8e6"));
    window.N7->trigger();
    EXPECT_EQ(sourceText(), u"кот\r\nёж\r\n"_s);
    auto *label = window.findChild<QLabel *>(u"textEncodingLabel"_s);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), u"Кодировка: ANSI (определена автоматически)"_s);
    window.MenuItem3->trigger();
    chooser.openPath = writeFile(u"le.txt"_s, QByteArray::fromHex("fffe3a043e0442040a00"));
    window.N7->trigger();
    window.MenuItem3->trigger();
    EXPECT_EQ(chooser.savePresets,
              (QList<int>{int(TextEncoding::UTF8), int(TextEncoding::ANSI),
                          int(TextEncoding::Unicode)}));
    EXPECT_EQ(label->text(), u"Кодировка: Unicode"_s);  // the save's, chosen in the dialog
}

TEST_F(TForm1Test, RenamesAButtonWithEnterAndKeepsItWithEsc)
{
    auto renameWith = [this](const QString &typed, Qt::Key key) {
        QTimer::singleShot(0, &window, [typed, key] {
            auto *field = QApplication::activeModalWidget()->findChild<QLineEdit *>(u"Edit1"_s);
            ASSERT_NE(field, nullptr);
            field->selectAll();
            field->insert(typed);  // keyClicks knows Latin keys only
            QTest::keyClick(field, key);
        });
        window.RenameItem[2]->trigger();
    };
    renameWith(u"Глаголы & Ко"_s, Qt::Key_Return);
    EXPECT_EQ(window.session().buttonName(3), u"Глаголы & Ко"_s);
    EXPECT_EQ(window.Button[2]->text(), u"Глаголы && Ко"_s);  // no mnemonic
    renameWith(u"Лишнее"_s, Qt::Key_Escape);
    EXPECT_EQ(window.session().buttonName(3), u"Глаголы & Ко"_s);
    window.N49->trigger();
    EXPECT_EQ(window.Button[2]->text(), u"В список"_s);
}

TEST_F(TForm1Test, SavesAndReopensAProject)
{
    SortingSession &session = window.session();
    session.source().setText(u"осталось\r\n"_s);
    session.list(1).setText(u"одно\r\nдва"_s);
    session.list(9).setText(u"скрытый\r\n"_s);
    session.setButtonName(1, u"Имена"_s);
    window.ListCountItem[2]->trigger();  // "4"
    chooser.projectPath = dir.filePath(u"проект.db"_s);
    window.N34->trigger();
    EXPECT_EQ(window.windowTitle(), u"Ручная сортировка списков - "_s + chooser.projectPath);

    window.N77->trigger();  // new: texts go, names and count stay
    window.N49->trigger();
    window.ListCountItem[0]->trigger();
    EXPECT_EQ(sourceText(), QString());
    EXPECT_EQ(memoText(9), QString());

    window.N33->trigger();
    EXPECT_EQ(sourceText(), u"осталось\r\n"_s);
    EXPECT_EQ(memoText(1), u"одно\r\nдва"_s);
    EXPECT_EQ(memoText(9), u"скрытый\r\n"_s);
    EXPECT_EQ(window.Button[0]->text(), u"Имена"_s);
    EXPECT_TRUE(window.ListCountItem[2]->isChecked());
    const int w = window.ListArea->width() / 4;  // shown lists stand in equal columns
    EXPECT_EQ(window.GroupBox[3]->geometry(),
              QRect(3 + 3 * w, 3, w - 5, window.ListArea->height() - 10));
    EXPECT_TRUE(window.GroupBox[3]->isVisible());
    EXPECT_FALSE(window.GroupBox[4]->isVisible());
    EXPECT_EQ(session.heldSnapshots(), 1);
}

TEST_F(TForm1Test, OpensTheHelpBesideItselfAndOnline)
{
    DesktopRecorder desktop;
    DesktopServices::setCurrent(&desktop);
    QTest::keyClick(window.Source, Qt::Key_F1);
    window.N12->trigger();
    DesktopServices::setCurrent(nullptr);
    // Until the suite has a site, the online help is the help beside the program.
    const QUrl help = QUrl::fromLocalFile(suiteDataFile(u"Pelmor.html"_s));
    EXPECT_EQ(desktop.opened, (QList<QUrl>{help, help}));
}

TEST_F(TForm1Test, ListButtonsAndMenuActOnTheListThatHadTheFocus)
{
    window.session().list(2).setText(u"a\r\nb\r\nc\r\n"_s);
    window.Memo[1]->setFocus();
    window.session().list(2).setSelection(6, 0);  // on c
    QTest::mouseClick(window.BitBtn3, Qt::LeftButton);  // to the top
    EXPECT_EQ(memoText(2), u"c\r\na\r\nb\r\n"_s);
    EXPECT_EQ(window.Memo[1]->textCursor().selectedText(), u"c"_s);
    QTest::mouseClick(window.BitBtn5, Qt::LeftButton);  // down
    EXPECT_EQ(memoText(2), u"a\r\nc\r\nb\r\n"_s);
    EXPECT_TRUE(window.Memo[1]->hasFocus());

    window.session().list(3).setText(u"b\r\na\r\nb"_s);
    window.session().list(1).setText(u"z\r\ny\r\n"_s);
    window.Memo[2]->setFocus();
    window.MenuItem4->trigger();  // sort
    window.N37->trigger();  // repeated lines
    EXPECT_EQ(memoText(3), u"a\r\nb\r\n"_s);
    EXPECT_EQ(memoText(1), u"z\r\ny\r\n"_s);
    window.N30->trigger();
#ifdef Q_OS_WIN
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"a\r\nb\r\n"_s);
#else
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"a\nb\n"_s);
#endif
    EXPECT_EQ(window.Memo[2]->textCursor().selectedText().size(), 4);  // the whole text
}

TEST_F(TForm1Test, CtrlZIsTheSessionsUndoInEveryPane)
{
    EXPECT_TRUE(window.Source->hasFocus());  // the user starts by reading the source
    const QString text = u"один\r\nдва\r\n"_s;
    std::vector<QPlainTextEdit *> panes = {window.Source};
    for (int k = 1; k <= window.session().visibleListCount(); ++k)
        panes.push_back(window.Memo[k - 1]);
    for (QPlainTextEdit *pane : panes) {
        window.session().loadSource(QString(), text);
        QTest::keyClick(window.Source, Qt::Key_1, Qt::AltModifier);
        ASSERT_EQ(memoText(1), u"один\r\n"_s);
        pane->setFocus();
        QTest::keyClick(pane, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(sourceText(), text) << pane->objectName().toStdString();
        EXPECT_EQ(memoText(1), QString()) << pane->objectName().toStdString();
    }
}

TEST_F(TForm1Test, UndoShowsTheTopLineOfTheSource)
{
    QString text;
    for (int i = 1; i <= 60; ++i)
        text += QString::number(i) + u"\r\n"_s;
    window.session().loadSource(QString(), text);
    QTest::keyClick(window.Source, Qt::Key_1, Qt::AltModifier);
    window.N77->trigger();  // "Новый"
    QTest::keyClick(window.Source, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(sourceText(), text.mid(3));
    EXPECT_EQ(window.Source->verticalScrollBar()->value(), 0);
    EXPECT_EQ(window.Source->textCursor().position(), 0);
}

TEST_F(TForm1Test, ButtonCommandsHaveKeysAndHiddenListsNoMoves)
{
    EXPECT_EQ(window.BitBtn1->toolTip(), u"Удалить верхнюю строку (Alt+Del)"_s);
    EXPECT_EQ(window.BitBtn2->toolTip(), u"Отменить последнее действие (Ctrl+Z)"_s);
    EXPECT_EQ(window.BitBtn4->toolTip(), u"Выше (Alt+Up)"_s);
    window.session().loadSource(QString(), u"а\r\nб\r\n"_s);
    QTest::keyClick(window.Source, Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(sourceText(), u"б\r\n"_s);

    window.session().list(5).setText(u"x\r\ny\r\n"_s);
    window.Memo[4]->setFocus();
    window.session().list(5).setSelection(3, 0);
    QTest::keyClick(window.Memo[4], Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(memoText(5), u"y\r\nx\r\n"_s);
    window.ListCountItem[0]->trigger();  // two lists: list 5 is hidden but current
    EXPECT_FALSE(window.BitBtn3->isEnabled());
    EXPECT_FALSE(window.MoveItem[3]->isEnabled());
    window.MoveItem[3]->trigger();
    EXPECT_EQ(memoText(5), u"y\r\nx\r\n"_s);
    window.Memo[1]->setFocus();
    EXPECT_TRUE(window.BitBtn3->isEnabled());
}

TEST_F(TForm1Test, AProjectChosenAsTextIsOfferedAsAProject)
{
    chooser.projectPath = dir.filePath(u"проект.db"_s);
    window.session().loadSource(QString(), u"из проекта\r\n"_s);
    window.N34->trigger();
    window.session().loadSource(QString(), u"а\r\n"_s);
    QTest::keyClick(window.Source, Qt::Key_1, Qt::AltModifier);
    ASSERT_EQ(window.session().heldSnapshots(), 2);

    chooser.openPath = chooser.projectPath;
    {
        const BoxAnswer no(QMessageBox::No);
        window.N7->trigger();
        EXPECT_EQ(no.text, projectOpenedAsTextQuestion(chooser.projectPath));
    }
    EXPECT_EQ(sourceText(), QString());
    EXPECT_EQ(window.session().heldSnapshots(), 2);  // the history survives
    {
        const BoxAnswer yes(QMessageBox::Yes);
        window.N7->trigger();
    }
    EXPECT_EQ(sourceText(), u"из проекта\r\n"_s);
    EXPECT_EQ(memoText(1), QString());
}
