#include "builder/searchthread.h"

#include "builder/dictionary.h"
#include "common/pane.h"

#include <QEventLoop>

SearchThread::SearchThread(Search search, Dictionary &dictionary, const Pane &thesaurus,
                           const Pane &blackList, const part_word &filter, QObject *parent)
    : QThread(parent),
      m_search(search),
      m_dictionary(dictionary),
      m_thesaurus(thesaurus),
      m_blackList(blackList),
      m_filter(filter)
{
}

SearchThread::~SearchThread()
{
    waitForRun();
}

bool SearchThread::startSearch()
{
    if (m_inCall)
        return false;
    waitForRun();
    if (!m_dictionary.isOpen() || !m_dictionary.claim())
        return false;
    m_searching = true;
    m_ended = false;
    m_abandoned = false;
    start();
    return true;
}

void SearchThread::waitForRun()
{
    // From inside one of the run's own calls the run cannot end: it waits for that call.
    if (m_inCall)
        return;
    QEventLoop loop;
    connect(this, &QThread::finished, &loop, &QEventLoop::quit);
    // m_ended is set just before run() returns, so a run not ended yet is still to
    // emit finished, which now reaches the loop.
    if (!m_ended)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    wait();
    // An abandoned run ends without its finishing call.
    m_searching = false;
}

void SearchThread::abandon()
{
    m_abandoned = true;
}

void SearchThread::run()
{
    synchronize(&SearchThread::PrepareWords);
    SearchReports reports;
    reports.stage = [this](const QString &stage) {
        Stage = stage;
        synchronize(&SearchThread::ShowStage);
    };
    reports.progress = [this](int progress) {
        Progress = progress;
        synchronize(&SearchThread::ShowProgress);
    };
    reports.stopRequested = [this] { return m_abandoned.load(); };
    m_result = m_search(m_dictionary, m_input, reports);
    // The result needs no more of the connection: the finish may refresh the views.
    m_dictionary.release();
    synchronize(m_result.error.isEmpty() ? &SearchThread::ShowFinish
                                         : &SearchThread::ShowFailure);
    m_ended = true;
}

void SearchThread::synchronize(void (SearchThread::*call)())
{
    if (m_abandoned)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, call] {
            m_inCall = true;
            (this->*call)();
            m_inCall = false;
        },
        Qt::BlockingQueuedConnection);
}

void SearchThread::PrepareWords()
{
    m_input = SearchInput{m_thesaurus.text(), m_blackList.text(), &m_filter, m_rankBy};
    Progress = 0;
    emit searchStarted();
}

void SearchThread::ShowStage()
{
    emit stageShown(Stage);
}

void SearchThread::ShowProgress()
{
    emit progressShown(Progress);
}

void SearchThread::ShowFinish()
{
    m_searching = false;
    emit searchFinished(m_result.foundText());
}

void SearchThread::ShowFailure()
{
    m_searching = false;
    emit searchFailed(m_result.error);
}
