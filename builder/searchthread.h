#pragma once

#include "builder/wordsearch.h"

#include <QThread>

#include <atomic>

class Dictionary;
class Pane;

/// A thread that runs one search over the program's dictionary connection and hands
/// its reports to the UI thread through calls that block the run until they return.
/// The object lives on the UI thread; build it idle, start it with startSearch().
/// Signals come on the UI thread, in this order: searchStarted, then stageShown and
/// progressShown as the run goes, then searchFinished or searchFailed.
class SearchThread : public QThread
{
    Q_OBJECT
public:
    /// Waits for a run as waitForRun() does.
    ~SearchThread() override;

    /// Starts a run. A run of this object still going on is waited for first (its
    /// result shows first). False, with nothing started, while the connection is
    /// closed or held by another run, or when called from this thread's own reports.
    bool startSearch();
    /// Returns once no run goes on, carrying out the run's calls meanwhile (a plain
    /// wait() would deadlock). User input stays queued; timers keep firing.
    void waitForRun();
    /// For closing the program: the run stops at its next item and reports nothing more.
    void abandon();
    bool isSearching() const { return m_searching; }
    /// The order of the proposals of the runs started from now on.
    void setRankBy(RankBy rankBy) { m_rankBy = rankBy; }

signals:
    void searchStarted();                        // show the bar at 0, hide the buttons
    void stageShown(const QString &stage);
    void progressShown(int progress);
    void searchFinished(const QString &foundText);  // the found-words pane's new text
    void searchFailed(const QString &message);      // the database's error; back to idle

protected:
    using Search = SearchResult (*)(Dictionary &dictionary, const SearchInput &input,
                                    const SearchReports &reports);
    /// The search is a plain function, not a virtual one: the destructor waits for a
    /// run after the derived class is gone.
    SearchThread(Search search, Dictionary &dictionary, const Pane &thesaurus,
                 const Pane &blackList, const part_word &filter, QObject *parent);
    void run() override;

private:
    // The calls the run has the UI thread carry out.
    void PrepareWords();
    void ShowStage();
    void ShowProgress();
    void ShowFinish();
    void ShowFailure();
    void synchronize(void (SearchThread::*call)());

    Search m_search;
    Dictionary &m_dictionary;
    const Pane &m_thesaurus;
    const Pane &m_blackList;
    const part_word &m_filter;
    RankBy m_rankBy = RankBy::Links;
    SearchInput m_input;
    SearchResult m_result;
    QString Stage;
    int Progress = 0;
    bool m_searching = false;       // UI thread: from startSearch to the end of the run
    bool m_inCall = false;          // UI thread: inside one of the run's calls
    std::atomic<bool> m_ended = true;
    std::atomic<bool> m_abandoned = false;
};
