#pragma once

#include <QMainWindow>

#include <array>
#include <memory>

class EditorPane;
class FindReplaceDialog;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class TAboutBox;
class DictionaryBuild;
class TForm2;
class TForm5;
class TForm6;
class TForm7;
class Workspace;

/// Where the main window finds its files; the program's are where settings.h says.
struct OrvellaFiles
{
    QString settings;   // "Orvella.ini"
    QString blackList;  // "black_list.dat"
    QString defaultDictionary = {};  // used while the settings name no dictionary
    QString dictionaryBuilder = {};  // lexorum-build-dictionary; offered when there is one
    static OrvellaFiles beside();
};

/// Orvella's main window, "Построитель тематических списков": the thesaurus, the found
/// words and the black list over the workspace, the menus, the button row, the status
/// bar and the timers. It reads the settings when built and writes them when destroyed.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(const OrvellaFiles &files = OrvellaFiles::beside(),
                    QWidget *parent = nullptr);
    ~TForm1() override;
    Workspace &workspace() const { return *m_workspace; }

    // Controls, named as the suite's help refers to them.
    QPlainTextEdit *Memo1;
    QPlainTextEdit *Memo2;
    QPlainTextEdit *Memo3;
    QLineEdit *Edit1;
    QGroupBox *GroupBox1;
    QGroupBox *GroupBox2;
    QGroupBox *GroupBox3;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    QPushButton *BitBtn3;
    QPushButton *BitBtn4;
    QPushButton *BitBtn5;
    QProgressBar *ProgressBar1;
    std::array<QLabel *, 4> StatusBar1;
    QTimer *Timer1;
    QTimer *Timer2;
    QMenu *PopupMenu1;
    QMenu *PopupMenu2;
    FindReplaceDialog *FindDialog1;
    FindReplaceDialog *ReplaceDialog1;
    TForm2 *Form2;
    TForm5 *Form5;
    TForm6 *Form6;
    TForm7 *Form7;
    TAboutBox *AboutBox;

    /// The dictionary check: when the dictionary is missing, offers to build the default
    /// one (where the suite has its builder), else shows the database window.
    void Timer1Timer();
    void Timer2Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenus();
    QAction *addCommand(QMenu *menu, const QString &caption, const QKeySequence &shortcut,
                        void (TForm1::*handler)());
    void addThesaurusCommands(QMenu *menu);
    int paneOf(QObject *watched) const;
    void showMessage(const QString &message);
    void showSearchStarted();
    void showSearchEnded();
    void buildDictionary();

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void N6Click();
    void N8Click();
    void N9Click();
    void N10Click();
    void N7Click();
    void N14Click();
    void N21Click();
    void N22Click();
    void N28Click();
    void N29Click();
    void N37Click();
    void N38Click();
    void N40Click();
    void N41Click();
    void N42Click();
    void N43Click();
    void N44Click();
    void N45Click();
    void N47Click();
    void N4Click();
    void N50Click();
    void N52Click();
    void N54Click();
    void N59Click();
    void N61Click();
    void N63Click();
    void N65Click();
    void N77Click();
    void LoadBlackList1Click();
    void ClearBlackList1Click();
    void AddToTesaurus1Click();

    OrvellaFiles m_files;
    std::unique_ptr<EditorPane> m_thesaurus;
    std::unique_ptr<EditorPane> m_found;
    std::unique_ptr<EditorPane> m_blackList;
    std::unique_ptr<Workspace> m_workspace;
    DictionaryBuild *m_dictionaryBuild;
    std::array<QPushButton *, 5> m_buttons;
};
