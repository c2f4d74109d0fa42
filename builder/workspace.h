#pragma once

#include "builder/dictionary.h"
#include "builder/ngramview.h"
#include "builder/wordformview.h"
#include "builder/wordsearch.h"
#include "common/findreplace.h"
#include "common/textfile.h"
#include "common/undoring.h"

#include <QObject>
#include <QString>

#include <memory>

class Pane;
class SearchThread;

/// Orvella's workspace: the thesaurus, found-words and black-list panes with the
/// active pane and the current word, the ring of 20 undo snapshots, the dictionary
/// connection with the two searches, and the n-gram and word-form views. Panes are
/// numbered from 1 as MEMO_NUM counts them. Failures are reported by commandFailed.
class Workspace final : public QObject
{
    Q_OBJECT
public:
    static constexpr int PaneCount = 3;
    static constexpr int HistorySize = 20;
    enum class Search { RelatedWords, LinkedWords };

    /// The black list file is read from blackListPath by LoadBlackList1Click.
    Workspace(Pane &thesaurus, Pane &found, Pane &blackList, const QString &blackListPath,
              QObject *parent = nullptr);
    /// Abandons a running search and waits for its thread.
    ~Workspace() override;

    Pane &pane(int k) const;
    int activePane() const { return MEMO_NUM; }
    QString currentWord() const { return CUR_WORD; }
    int undoCount() const { return m_history.held(); }

    // Pane events.
    /// A pane received the input focus.
    void enterPane(int k);
    /// A click in pane k: its current line becomes the current word and the shown views
    /// are refreshed.
    void clickPane(int k);

    // Moves and edits; each ends with a snapshot.
    /// The current line of the found words (or of the black list) goes to the end of the
    /// thesaurus; nothing from the thesaurus itself, nothing for an empty line.
    void moveToThesaurus();
    /// The current line of the found words (or of the thesaurus) goes to the black list.
    void moveToBlackList();
    /// All found words go to the end of the thesaurus, on a line of their own.
    void moveAllToThesaurus();
    void moveAllToBlackList();
    /// The thesaurus selection, or without one its current line, is deleted.
    void deleteInThesaurus();
    void clearThesaurus();
    /// The black list's own pop-up commands: clear it, or move its current line to the
    /// thesaurus whatever pane is active; each ends with a snapshot.
    void clearBlackList();
    void moveBlackListLineToThesaurus();
    enum class ListOperation { Sort, Reverse, DeleteRepeated, DeleteEmpty, Lower, Upper, Capitalize };
    void applyToThesaurus(ListOperation operation);
    /// Selects the whole thesaurus and returns its text for the clipboard.
    QString copyThesaurus();

    // Files.
    /// "Новый": empty thesaurus and found words, the standard black list; no snapshot.
    void newThesaurus();
    /// "Открыть" has read text with the encoding at encodingIndex: it becomes the
    /// thesaurus, as "Новый" does the rest; the save dialog starts at that encoding.
    /// The open dialog keeps its own choice (setOpenEncoding), detection at first.
    void openThesaurus(const QString &text, int encodingIndex);
    int openEncoding() const { return m_openEncoding; }
    int saveEncoding() const { return m_saveEncoding; }
    void setOpenEncoding(int index) { m_openEncoding = index; }
    void setSaveEncoding(int index) { m_saveEncoding = index; }
    /// Loads the standard black list into its pane; a missing or unreadable file, or
    /// one that is not UTF-8 text, is reported and the pane keeps its text. No snapshot.
    bool LoadBlackList1Click();

    // Undo.
    /// Stores the three pane texts unless they equal the newest snapshot.
    void Savetohistory1Click();
    /// Undo. Panes changed since the newest snapshot (a file opened, text typed) go back
    /// to it; otherwise the newest is dropped and the one before restored, which needs
    /// two held.
    void Undo1Click();

    // Find and replace on the active pane.
    FindOutcome find(const FindOptions &options);
    FindOutcome findForReplace(const FindOptions &options);
    FindOutcome replaceOnce(const FindOptions &options);
    FindOutcome replaceAll(const FindOptions &options);

    // What the count refresh shows.
    /// "Тезаурус (n)", "Найденные слова (n)", "Чёрный список (n)".
    QString paneCaption(int k) const;
    /// "Список отмен: " and the number of snapshots held.
    QString undoCaption() const;
    /// The current line of the found words, for the large word display.
    QString wordDisplay() const;

    // The dictionary.
    QString dataBase() const { return DataBase; }
    void setDataBase(const QString &path) { DataBase = path; }
    /// Takes path as the dictionary when the file is one the searches can read;
    /// otherwise keeps the old path and returns what is wrong, in Russian.
    QString acceptDataBase(const QString &path);
    /// True when no file is at the dictionary path (an empty path included).
    bool dictionaryMissing() const;
    Dictionary &dictionary() { return m_dictionary; }

    // The searches.
    /// Starts a search. A run of the same search is waited for first, and so is a run
    /// of the other, so that only one run holds the connection. False when the
    /// connection cannot be opened (reported).
    bool startSearch(Search search);
    bool isSearching() const;
    /// "Порядок предложений": how the searches started from now on order their words.
    RankBy rankBy() const { return m_rankBy; }
    void setRankBy(RankBy rankBy);
    /// Waits for a running search, carrying out its calls meanwhile.
    void waitForSearches();

    // The views.
    void setNgramViewShown(bool shown) { m_ngramShown = shown; }
    void setWordFormViewShown(bool shown) { m_wordFormShown = shown; }
    const NgramView &ngramView() const { return m_ngramView; }
    const WordFormView &wordFormView() const { return m_wordFormView; }
    /// Refreshes the shown views for the current word. While a search holds the
    /// connection the refresh waits for the search's end.
    void Showbigramms1Click();
    /// Appends the initial form of the current word to the thesaurus; no snapshot.
    void Addinitialformtotesaurus1Click();
    /// A double-clicked cell of the n-gram window: its text becomes the current word,
    /// whose initial form is added.
    void addInitialFormOf(const QString &word);
    /// A double-clicked form replaces the current line of the active pane; no snapshot.
    void replaceActiveLine(const QString &form);
    /// Replaces the thesaurus by every form of its words; snapshot.
    void generateWordForms();
    /// Replaces each thesaurus word by its initial form; no snapshot.
    void reduceToInitialForms();

signals:
    void commandFailed(const QString &message);
    /// Pane texts or the ring changed: the captions may be refreshed at once.
    void countsChanged();
    void searchStarted();
    void searchStageChanged(const QString &stage);
    void searchProgressChanged(int progress);
    /// The run is over, with or without a result: the window goes back to idle.
    void searchEnded();
    void viewsRefreshed();

private:
    void moveCurrentLine(int from, int to);
    void moveAllFound(int to);
    void setPaneText(Pane &pane, const QString &text);
    QStringList paneTexts() const;
    void finishSearch(const QString &foundText);
    void failSearch(const QString &message);
    void refreshAfterSearch();
    /// Connects and waits for a running search; false when the connection failed.
    bool dictionaryReady();
    SearchThread &thread(Search search) const;

    Pane &m_thesaurus;
    Pane &m_found;
    Pane &m_blackList;
    QString m_blackListPath;
    int MEMO_NUM = 1;
    QString CUR_WORD;
    QString DataBase;
    UndoRing m_history;
    QStringList m_newest;  // the texts of the newest snapshot held
    int m_openEncoding = AutoDetectEncoding;
    int m_saveEncoding = int(TextEncoding::UTF8);  // new text is saved as UTF-8
    Dictionary m_dictionary;
    RankBy m_rankBy = RankBy::Links;
    std::unique_ptr<SearchThread> m_worker;
    std::unique_ptr<SearchThread> m_byLinkedWords;
    NgramView m_ngramView;
    WordFormView m_wordFormView;
    bool m_ngramShown = false;
    bool m_wordFormShown = false;
    bool m_refreshPending = false;
};

/// "Файл 'black_list.dat' не найден!"
QString blackListMissingMessage();
/// "Указанный файл не найден!"
QString fileNotFoundMessage();
