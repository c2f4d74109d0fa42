#pragma once

#include "common/textfile.h"
#include "sorter/sortingsession.h"

#include <QMainWindow>

#include <array>
#include <memory>

class EditorPane;
class QAction;
class QActionGroup;
class QGroupBox;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QSplitter;
class QTimer;
class TForm2;

/// Pelmor's main window: the source, ten lists with their send buttons, the
/// menus. Every command calls the SortingSession or the project store.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int ListCount = SortingSession::ListCount;

    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;
    SortingSession &session() const { return *m_session; }
    /// Opens a file named on the command line: a project, or else a text file
    /// into the source.
    void openAtStart(const QString &path);

    QGroupBox *GroupBox11;
    QPlainTextEdit *Source;
    QPushButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4, *BitBtn5, *BitBtn6, *BitBtn7;
    QSplitter *Splitter1;
    QWidget *ListArea;
    std::array<QGroupBox *, ListCount> GroupBox{};  // GroupBox1 .. GroupBox10
    std::array<QPushButton *, ListCount> Button{};  // Button1 .. Button10
    std::array<QPlainTextEdit *, ListCount> Memo{};  // Memo1 .. Memo10
    // "Переименовать кнопку" of each button: N4, MenuItem1, MenuItem2, MenuItem6 .. MenuItem12.
    std::array<QAction *, ListCount> RenameItem{};
    // "Списки" → "2" .. "10": N11, N31, N41 .. N101.
    std::array<QAction *, ListCount - 1> ListCountItem{};
    QAction *N77, *N7, *N33, *N34, *N9, *N49, *N6, *N17, *N18, *N20, *N22, *N36, *N10, *N12, *N14;
    QAction *MenuItem3, *N30, *MenuItem4, *N37, *MenuItem5, *N24, *N26, *N27;
    // The buttons' commands with their keys, in the menus "Исходный текст" and "Списки".
    QAction *DeleteTopLineItem, *UndoItem;
    std::array<QAction *, 4> MoveItem{};  // top, up, down, bottom
    QMenu *PopupMenu1;  // the source pane's
    QMenu *PopupMenu2;  // shared by the ten list panes
    QTimer *Timer1;
    TForm2 *Form2;
    std::array<QShortcut *, ListCount> SendKey{};  // Alt+1 .. Alt+0

private:
    void createControls();
    void createMenus();
    QGroupBox *createListFrame(int k);
    QPushButton *createBitBtn(const char *name, const QString &caption, const QString &iconName,
                              int fallbackIcon);
    std::array<Pane *, ListCount> listPanes() const;

    void N7Click();
    void openProject(const QString &path);
    void undo();
    void showMoveCommands();
    void N33Click();
    void N34Click();
    void N6Click();
    void N10Click();
    void N12Click();
    void N14Click();
    void MenuItem3Click();
    void N30Click();
    void renameButton(int k);
    void Redrawlists1Click();
    void Timer1Timer();
    void showLineCount(int k);
    void showButtonName(int k);
    void showListCount(int count);
    void showWindowCaption();

    std::unique_ptr<EditorPane> m_sourcePane;
    std::array<std::unique_ptr<EditorPane>, ListCount> m_listPanes;
    std::unique_ptr<SortingSession> m_session;
    QActionGroup *m_listCountGroup = nullptr;
    int m_openEncoding = AutoDetectEncoding;
    int m_saveEncoding = int(TextEncoding::UTF8);  // the encoding of the text last opened
};
