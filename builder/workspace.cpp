#include "builder/workspace.h"

#include "builder/bylinkedwords.h"
#include "builder/worker.h"
#include "common/linelist.h"
#include "common/pane.h"
#include "common/textfile.h"
#include "common/textlines.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Break = u"\r\n"_s;

// Offset and length of line i with its break; length 0 past the last line.
std::pair<int, int> lineRange(const QString &text, int i)
{
    const int begin = lineStartOffset(text, i);
    const qsizetype end = text.indexOf(Break, begin);
    return {begin, int(end < 0 ? text.size() - begin : end + 2 - begin)};
}

// Adds a line after the last, on a line of its own, without rewriting the pane.
void appendLine(Pane &pane, const QString &line)
{
    const QString text = pane.text();
    const bool glue = text.isEmpty() || text.endsWith(Break);
    pane.replaceRange(int(text.size()), 0, (glue ? QString() : Break) + line + Break);
}

void deleteLine(Pane &pane, int i)
{
    const auto [begin, length] = lineRange(pane.text(), i);
    pane.replaceRange(begin, length, QString());
}

} // namespace

QString blackListMissingMessage()
{
    return u"Файл 'black_list.dat' не найден!"_s;
}

QString fileNotFoundMessage()
{
    return u"Указанный файл не найден!"_s;
}

Workspace::Workspace(Pane &thesaurus, Pane &found, Pane &blackList, const QString &blackListPath,
                     QObject *parent)
    : QObject(parent),
      m_thesaurus(thesaurus),
      m_found(found),
      m_blackList(blackList),
      m_blackListPath(blackListPath),
      m_history(HistorySize, PaneCount, UndoRing::EmptyStart::Stored)
{
    m_worker = std::make_unique<Worker>(m_dictionary, m_thesaurus, m_blackList, PartWord);
    m_byLinkedWords =
        std::make_unique<ByLinkedWords>(m_dictionary, m_thesaurus, m_blackList, PartWord);
    for (SearchThread *t : {m_worker.get(), m_byLinkedWords.get()}) {
        connect(t, &SearchThread::searchStarted, this, &Workspace::searchStarted);
        connect(t, &SearchThread::stageShown, this, &Workspace::searchStageChanged);
        connect(t, &SearchThread::progressShown, this, &Workspace::searchProgressChanged);
        connect(t, &SearchThread::searchFinished, this, &Workspace::finishSearch);
        connect(t, &SearchThread::searchFailed, this, &Workspace::failSearch);
    }
}

Workspace::~Workspace()
{
    // A run caught in one of its calls still gets it served while its thread is waited
    // for; nothing of it may reach this half-destroyed workspace.
    for (SearchThread *t : {m_worker.get(), m_byLinkedWords.get()}) {
        t->abandon();
        disconnect(t, nullptr, this, nullptr);
    }
    m_worker.reset();
    m_byLinkedWords.reset();
}

Pane &Workspace::pane(int k) const
{
    Q_ASSERT(k >= 1 && k <= PaneCount);
    return k == 1 ? m_thesaurus : k == 2 ? m_found : m_blackList;
}

void Workspace::enterPane(int k)
{
    Q_ASSERT(k >= 1 && k <= PaneCount);
    MEMO_NUM = k;
}

void Workspace::clickPane(int k)
{
    CUR_WORD = pane(k).currentLineText();
    Showbigramms1Click();
}

void Workspace::moveCurrentLine(int from, int to)
{
    Pane &source = pane(from);
    if (source.lineCount() == 0)
        return;
    const int line = source.currentLine();
    const QString word = source.currentLineText();
    if (word.isEmpty())
        return;
    appendLine(pane(to), word);
    deleteLine(source, line);
    Savetohistory1Click();
    emit countsChanged();
}

void Workspace::moveToThesaurus()
{
    if (MEMO_NUM != 1)
        moveCurrentLine(MEMO_NUM, 1);
}

void Workspace::moveToBlackList()
{
    if (MEMO_NUM != 3)
        moveCurrentLine(MEMO_NUM, 3);
}

void Workspace::moveAllFound(int to)
{
    Pane &target = pane(to);
    const QString words = m_found.text();
    const QString text = target.text();
    // Joined as they stand, the first word would stick to the target's last line.
    const bool glue = text.isEmpty() || text.endsWith(Break) || words.isEmpty();
    target.replaceRange(int(text.size()), 0, (glue ? QString() : Break) + words);
    m_found.setText(QString());
    Savetohistory1Click();
}

void Workspace::moveAllToThesaurus()
{
    moveAllFound(1);
}

void Workspace::moveAllToBlackList()
{
    moveAllFound(3);
}

void Workspace::deleteInThesaurus()
{
    if (m_thesaurus.selLength() > 0)
        m_thesaurus.replaceRange(m_thesaurus.selStart(), m_thesaurus.selLength(), QString());
    else if (m_thesaurus.lineCount() > 0)
        deleteLine(m_thesaurus, m_thesaurus.currentLine());
    Savetohistory1Click();
}

void Workspace::clearThesaurus()
{
    m_thesaurus.setText(QString());
    Savetohistory1Click();
}

void Workspace::clearBlackList()
{
    m_blackList.setText(QString());
    Savetohistory1Click();
}

void Workspace::moveBlackListLineToThesaurus()
{
    moveCurrentLine(3, 1);
}

void Workspace::setPaneText(Pane &pane, const QString &text)
{
    // An unchanged text keeps the caret where the user left it.
    if (pane.text() != text)
        pane.setText(text);
}

void Workspace::applyToThesaurus(ListOperation operation)
{
    const QString text = m_thesaurus.text();
    const QStringList lines = splitLines(text);
    QString result;
    switch (operation) {
    case ListOperation::Sort: result = joinLines(SortList(lines)); break;
    case ListOperation::Reverse: result = joinLines(ReverseList(lines)); break;
    case ListOperation::DeleteRepeated: result = joinLines(DeleteRepeatedLines(lines)); break;
    case ListOperation::DeleteEmpty: result = joinLines(DeleteEmptyLines(lines)); break;
    case ListOperation::Lower: result = LowerCaseText(text); break;
    case ListOperation::Upper: result = UpperCaseText(text); break;
    case ListOperation::Capitalize: result = joinLines(CapitalizeLines(lines)); break;
    }
    setPaneText(m_thesaurus, result);
    Savetohistory1Click();
}

QString Workspace::copyThesaurus()
{
    m_thesaurus.setSelection(0, m_thesaurus.textLength());
    return m_thesaurus.text();
}

void Workspace::newThesaurus()
{
    m_thesaurus.setText(QString());
    m_found.setText(QString());
    LoadBlackList1Click();
    emit countsChanged();
}

void Workspace::openThesaurus(const QString &text, int encodingIndex)
{
    m_saveEncoding = encodingIndex;
    m_thesaurus.setText(text);
    m_found.setText(QString());
    LoadBlackList1Click();
    emit countsChanged();
}

bool Workspace::LoadBlackList1Click()
{
    if (!QFileInfo(m_blackListPath).isFile()) {
        emit commandFailed(blackListMissingMessage());
        return false;
    }
    const TextFileRead read = LoadTextFile(m_blackListPath, TextEncoding::UTF8);
    if (!read.ok()) {
        emit commandFailed(read.error);
        return false;
    }
    // Every word would be filtered against garbage: refuse the file instead.
    const QString name = QDir::toNativeSeparators(m_blackListPath);
    if (read.undecodable > 0) {
        emit commandFailed(u"Файл %1 — не текст в кодировке UTF-8: недопустимых "
                           "последовательностей байтов — %2. Чёрный список не загружен."_s
                               .arg(name)
                               .arg(read.undecodable));
        return false;
    }
    if (read.text.contains(QChar(0))) {
        emit commandFailed(
            u"Файл %1 — не текст: в нём есть нулевые байты. Чёрный список не загружен."_s.arg(
                name));
        return false;
    }
    m_blackList.setText(read.paneText());
    return true;
}

QStringList Workspace::paneTexts() const
{
    return {m_thesaurus.text(), m_found.text(), m_blackList.text()};
}

void Workspace::Savetohistory1Click()
{
    const QStringList texts = paneTexts();
    if (!m_history.record(texts))
        return;
    m_newest = texts;
    emit countsChanged();
}

void Workspace::Undo1Click()
{
    // Stepping back past a change that made no snapshot would lose that step too.
    std::optional<QStringList> texts;
    if (m_history.held() > 0 && paneTexts() != m_newest)
        texts = m_newest;
    else
        texts = m_history.undo();
    if (!texts)
        return;
    m_newest = *texts;
    for (int k = 1; k <= PaneCount; ++k)
        setPaneText(pane(k), texts->at(k - 1));
    emit countsChanged();
}

FindOutcome Workspace::find(const FindOptions &options)
{
    return FindDialog1Find(options, pane(MEMO_NUM));
}

FindOutcome Workspace::findForReplace(const FindOptions &options)
{
    return ReplaceDialog1Find(options, pane(MEMO_NUM));
}

FindOutcome Workspace::replaceOnce(const FindOptions &options)
{
    return ReplaceDialog1Replace(options, pane(MEMO_NUM));
}

FindOutcome Workspace::replaceAll(const FindOptions &options)
{
    return ReplaceDialog1ReplaceAll(options, pane(MEMO_NUM));
}

QString Workspace::paneCaption(int k) const
{
    static const QString Captions[PaneCount] = {u"Тезаурус"_s, u"Найденные слова"_s,
                                                u"Чёрный список"_s};
    return Captions[k - 1] + u" ("_s + QString::number(pane(k).lineCount()) + u')';
}

QString Workspace::undoCaption() const
{
    return u"Список отмен: "_s + QString::number(m_history.held());
}

QString Workspace::wordDisplay() const
{
    return m_found.lineCount() == 0 ? QString() : m_found.currentLineText();
}

QString Workspace::acceptDataBase(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return fileNotFoundMessage();
    // The check the first search would make, now, while the user still has the dialog.
    const QString problem = dictionaryFileProblem(path);
    if (problem.isEmpty())
        DataBase = path;
    return problem;
}

bool Workspace::dictionaryMissing() const
{
    return !QFileInfo(DataBase).isFile();
}

SearchThread &Workspace::thread(Search search) const
{
    return search == Search::RelatedWords ? *m_worker : *m_byLinkedWords;
}

void Workspace::setRankBy(RankBy rankBy)
{
    m_rankBy = rankBy;
    for (SearchThread *t : {m_worker.get(), m_byLinkedWords.get()})
        t->setRankBy(rankBy);
}

bool Workspace::isSearching() const
{
    return m_worker->isSearching() || m_byLinkedWords->isSearching();
}

void Workspace::waitForSearches()
{
    for (SearchThread *t : {m_worker.get(), m_byLinkedWords.get()})
        if (t->isSearching())
            t->waitForRun();
}

bool Workspace::startSearch(Search search)
{
    if (!m_dictionary.ConnectDictionary(DataBase)) {
        emit commandFailed(m_dictionary.error());
        return false;
    }
    SearchThread &other =
        thread(search == Search::RelatedWords ? Search::LinkedWords : Search::RelatedWords);
    if (other.isSearching())
        other.waitForRun();
    if (!thread(search).startSearch()) {
        emit commandFailed(dictionaryBusyMessage());
        return false;
    }
    return true;
}

void Workspace::finishSearch(const QString &foundText)
{
    m_found.setText(foundText);
    emit searchEnded();
    Savetohistory1Click();
    MEMO_NUM = 2;
    m_found.focus();
    emit countsChanged();
    refreshAfterSearch();
}

void Workspace::failSearch(const QString &message)
{
    emit searchEnded();
    emit commandFailed(message);
    refreshAfterSearch();
}

// The run has given the connection back before it reports its end.
void Workspace::refreshAfterSearch()
{
    if (m_refreshPending && !isSearching())
        Showbigramms1Click();
}

bool Workspace::dictionaryReady()
{
    if (!m_dictionary.ConnectDictionary(DataBase)) {
        emit commandFailed(m_dictionary.error());
        return false;
    }
    waitForSearches();
    return true;
}

void Workspace::Showbigramms1Click()
{
    // Without a view to fill there is nothing to ask the dictionary: a click in a pane
    // must not report a missing dictionary.
    if (!m_ngramShown && !m_wordFormShown)
        return;
    if (isSearching() || m_dictionary.isBusy()) {
        m_refreshPending = true;
        return;
    }
    m_refreshPending = false;
    if (!m_dictionary.ConnectDictionary(DataBase)) {
        emit commandFailed(m_dictionary.error());
        return;
    }
    QString error;
    if (m_ngramShown)
        error = m_ngramView.refresh(m_dictionary, CUR_WORD);
    if (error.isEmpty() && m_wordFormShown)
        error = m_wordFormView.refresh(m_dictionary, CUR_WORD);
    emit viewsRefreshed();
    if (!error.isEmpty())
        emit commandFailed(error);
}

void Workspace::Addinitialformtotesaurus1Click()
{
    if (!dictionaryReady())
        return;
    const InitialForm form = initialFormOf(m_dictionary, CUR_WORD);
    if (!form.ok()) {
        emit commandFailed(form.error);
        return;
    }
    if (!form.word.isEmpty())
        appendLine(m_thesaurus, form.word);
}

void Workspace::addInitialFormOf(const QString &word)
{
    CUR_WORD = word;
    Addinitialformtotesaurus1Click();
}

void Workspace::replaceActiveLine(const QString &form)
{
    Pane &target = pane(MEMO_NUM);
    const QString text = target.text();
    const int line = target.currentLine();
    if (line >= lineCount(text)) {
        appendLine(target, form);
        return;
    }
    const auto [begin, length] = lineRange(text, line);
    const bool broken = text.mid(begin, length).endsWith(Break);
    target.replaceRange(begin, length, broken ? form + Break : form);
    target.setSelection(begin, 0);
}

void Workspace::generateWordForms()
{
    if (!dictionaryReady())
        return;
    const FormLines forms = allWordForms(m_dictionary, splitLines(m_thesaurus.text()));
    if (!forms.ok()) {
        emit commandFailed(forms.error);
        return;
    }
    m_thesaurus.setText(joinLines(forms.lines));
    Savetohistory1Click();
}

void Workspace::reduceToInitialForms()
{
    if (!dictionaryReady())
        return;
    const FormLines forms = initialForms(m_dictionary, splitLines(m_thesaurus.text()));
    if (!forms.ok()) {
        emit commandFailed(forms.error);
        return;
    }
    m_thesaurus.setText(joinLines(forms.lines));
}
