#pragma once

#include "common/textfile.h"
#include "compare/workspace.h"

#include <QMainWindow>

#include <array>
#include <memory>

class BoxFrame;
class LineBoxView;
class FindReplaceDialog;
class InitialFormClient;
class QAction;
class QActionGroup;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

/// The main window "Сравнение списков": ten list columns and the merged and common boxes
/// over a ComparisonWorkspace, with its menus, tool bar, pop-up menu and status bar.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
public:
    /// Reads the settings from settingsPath now and writes them there when closed.
    explicit TForm1(const QString &settingsPath, QWidget *parent = nullptr);
    ~TForm1() override;

    ComparisonWorkspace &workspace() const { return *m_workspace; }
    /// Opens files as "Файл" / "Открыть" does, without the dialog (UTF-8).
    void openPaths(const QStringList &paths);
    InitialFormClient &initialFormClient() const { return *m_client; }

    LineBoxView *editor(const BoxId &box) const;
    QLineEdit *nameField(int i) const { return m_names[i - 1]; }
    BoxFrame *frame(const BoxId &box) const;
    TForm2 *wordStatistics() const { return m_form2; }
    TForm3 *listStatistics() const { return m_form3; }
    TForm4 *listWindow() const { return m_form4; }
    QAction *action(const QString &objectName) const;
    QMenu *popupMenu() const { return m_popup; }
    QString statusText(int panel) const;

    /// A box of this program reports focus, clicks and edits through here.
    void watchEditor(LineBoxView *editor, const BoxId &box);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createBoxes();
    void createActions();
    void createMenus();
    void createToolBar();
    void layOut(int listCount);
    void showCounts(const CountRefreshTexts &texts);
    void applyHighlighting();
    void showOptions();
    void setOptions(const AutoActionOptions &options);
    QAction *addAction(const QString &name, const QString &text, void (TForm1::*slot)(),
                       const QKeySequence &shortcut = {});

    // Commands, named after what they do; each calls the workspace.
    void openFilesClick();
    void openIntoBoxClick();
    void saveClick();
    void copyClick();
    void cutClick();
    void pasteClick();
    void clearClick();
    void findClick();
    void replaceClick();
    void deleteRecordClick();
    void deleteEverywhereClick();
    void replaceEverywhereClick();
    void initialFormsClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void listWindowClick();
    void helpClick();
    void onlineHelpClick();
    void aboutClick();
    void setInputBlocked(bool blocked);
    void openDropped(const BoxId &box, const QStringList &paths);

    QString m_settingsPath;
    std::array<LineBoxView *, 10> Source{}, Uniq{}, Absent{}, Shared{};
    LineBoxView *Memo1 = nullptr;  // common
    LineBoxView *Memo2 = nullptr;  // merged
    std::array<QLineEdit *, 10> m_names{};
    std::array<BoxFrame *, 10> m_nameFrames{}, m_sourceFrames{}, m_uniqueFrames{},
        m_absentFrames{}, m_sharedFrames{};
    BoxFrame *m_commonFrame = nullptr;
    BoxFrame *m_mergedFrame = nullptr;
    QGridLayout *m_grid = nullptr;
    QHash<QObject *, BoxId> m_boxes;  // editors and their viewports
    std::unique_ptr<ComparisonWorkspace> m_workspace;
    std::unique_ptr<InitialFormClient> m_client;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QLabel *m_listsPanel = nullptr;
    QLabel *m_linePanel = nullptr;
    QMenu *m_popup = nullptr;
    QActionGroup *m_listCountGroup = nullptr;
    std::array<QAction *, 11> m_listCountActions{};
    QActionGroup *m_caseGroup = nullptr;
    QMenu *m_caseMenu = nullptr;
    QAction *m_trimOption = nullptr, *m_emptyOption = nullptr, *m_upperOption = nullptr,
            *m_lowerOption = nullptr, *m_capitalizeOption = nullptr, *m_keepCaseOption = nullptr,
            *m_sortOption = nullptr, *m_repeatsOption = nullptr, *m_compareOption = nullptr;
    QList<QKeySequence> m_shortcuts;
    FindReplaceDialog *m_findDialog = nullptr;
    FindReplaceDialog *m_replaceDialog = nullptr;
    TForm2 *m_form2 = nullptr;
    TForm3 *m_form3 = nullptr;
    TForm4 *m_form4 = nullptr;
    TForm5 *m_form5 = nullptr;
    int m_openEncoding = AutoDetectEncoding;
    int m_saveEncoding = int(TextEncoding::UTF8);  // the encoding of the text last opened
    bool m_settingsWritten = false;
};
