#include "sorter/sortingsession.h"

#include "common/linelist.h"
#include "common/pane.h"
#include "common/textlines.h"
#include "sorter/listtext.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString ProgramCaption = u"Ручная сортировка списков"_s;

/// Rewrites only the part of the pane between the common head and tail of the
/// two texts, so a long pane keeps its scroll position and is not laid out anew.
void replaceChangedPart(Pane &pane, const QString &before, const QString &after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    // Never split a CR LF pair: the editor keeps it as one break.
    if (head > 0 && before[head - 1] == u'\r')
        --head;
    if (tail > 0 && before[before.size() - tail] == u'\n')
        --tail;
    pane.replaceRange(int(head), int(before.size() - head - tail),
                      after.mid(head, after.size() - head - tail));
}

} // namespace

SortingSession::SortingSession(Pane &source, const std::array<Pane *, ListCount> &lists,
                               QObject *parent)
    : QObject(parent),
      m_source(source),
      m_lists(lists),
      m_history(HistorySlots, ListCount + 1, UndoRing::EmptyStart::ComparedWithEmpty)
{
    m_buttonNames.fill(standardButtonName());
}

Pane &SortingSession::list(int k) const
{
    Q_ASSERT(k >= 1 && k <= ListCount);
    return *m_lists[k - 1];
}

QStringList SortingSession::texts() const
{
    QStringList all{m_source.text()};
    for (const Pane *pane : m_lists)
        all.append(pane->text());
    return all;
}

void SortingSession::SendToList(int k)
{
    Pane &target = list(k);
    // Only the ends of the two texts change, so a long source is edited in place
    // rather than rewritten on every press.
    const QString source = m_source.text();
    if (source.isEmpty())
        return;
    const int start = m_source.selStart();
    const int length = m_source.selLength();
    if (length > 0) {
        // A selection goes over verbatim, breaks and all: the user marked exactly these.
        target.replaceRange(target.textLength(), 0, source.mid(start, length));
        m_source.replaceRange(start, length, QString());
    } else {
        const qsizetype brk = source.indexOf(u"\r\n");
        const QString line = brk < 0 ? source : source.left(brk);
        const QString listText = target.text();
        target.replaceRange(int(listText.size()), 0, appendedPart(listText, line));
        m_source.replaceRange(0, brk < 0 ? int(source.size()) : int(brk) + 2, QString());
    }
    emit lineCountChanged(k);
    RecordSnapshot();
}

void SortingSession::DeleteTopLine()
{
    const QString source = m_source.text();
    if (!source.isEmpty()) {
        if (m_source.selLength() > 0) {
            m_source.replaceRange(m_source.selStart(), m_source.selLength(), QString());
        } else {
            const qsizetype brk = source.indexOf(u"\r\n");
            m_source.replaceRange(0, brk < 0 ? int(source.size()) : int(brk) + 2, QString());
        }
        RecordSnapshot();
    }
    emit lineCountChanged(0);
}

void SortingSession::MoveLine(Move where)
{
    Pane &pane = list(m_currentList);
    pane.focus();
    const QString text = pane.text();
    const int count = lineCount(text);
    if (count < 2)
        return;
    const int line = lineAtOffset(text, pane.selStart());
    // The caret after the final break stands on no line: there is nothing to move.
    if (line >= count)
        return;
    int to = line;
    switch (where) {
    case Move::Top:
        to = 0;
        break;
    case Move::Up:
        if (line == 0)
            return;
        to = line - 1;
        break;
    case Move::Down:
        if (line >= count - 1)
            return;
        to = line + 1;
        break;
    case Move::Bottom:
        to = count - 1;
        break;
    }
    const QString moved = moveLine(text, line, to);
    replaceChangedPart(pane, text, moved);
    pane.setSelection(lineStartOffset(moved, to), int(lineText(moved, to).size()));
}

void SortingSession::ClearAllLists()
{
    for (Pane *pane : m_lists)
        if (pane->textLength() > 0)
            pane->setText(QString());
    RecordSnapshot();
}

void SortingSession::NewSession()
{
    m_source.setText(QString());
    ClearAllLists();
}

void SortingSession::RecordSnapshot()
{
    m_history.record(texts());
}

void SortingSession::Undo()
{
    if (const std::optional<QStringList> before = m_history.undo())
        restore(*before);
}

void SortingSession::ResetHistory()
{
    m_history.reset();
}

void SortingSession::restore(const QStringList &saved)
{
    // Only the changed part of each pane is rewritten: undoing a send puts one
    // line back instead of laying out a long source anew.
    const QStringList now = texts();
    for (int i = 0; i <= ListCount; ++i) {
        Pane &pane = i == 0 ? m_source : list(i);
        if (now[i] == saved[i])
            continue;
        // Undo sets texts, not selections; the rewrite alone would leave the caret at
        // the end of the restored part, far from the top line that the next send takes.
        const int start = pane.selStart();
        const int length = pane.selLength();
        replaceChangedPart(pane, now[i], saved[i]);
        if (start + length <= saved[i].size())
            pane.setSelection(start, length);
        else
            pane.setSelection(0, 0);
    }
}

void SortingSession::apply(Pane &pane, TextOperation operation)
{
    const QString text = pane.text();
    switch (operation) {
    case TextOperation::UpperCase:
        pane.setText(UpperCaseText(text));
        break;
    case TextOperation::LowerCase:
        pane.setText(LowerCaseText(text));
        break;
    case TextOperation::DeleteEmptyLines:
        pane.setText(deleteEmptyLinesKeepingBreaks(text));
        break;
    case TextOperation::SortLines:
        pane.setText(sortLines(text));
        break;
    case TextOperation::DeleteRepeatedLines:
        pane.setText(deleteNeighbourRepeats(text));
        break;
    case TextOperation::Clear:
        pane.setText(QString());
        break;
    }
    RecordSnapshot();
}

void SortingSession::applyToSource(TextOperation operation)
{
    apply(m_source, operation);
}

void SortingSession::applyToCurrentList(TextOperation operation)
{
    apply(list(m_currentList), operation);
}

void SortingSession::loadSource(const QString &path, const QString &text)
{
    m_source.setText(text);
    setDocumentPath(path);
    ResetHistory();
    RecordSnapshot();
}

QString SortingSession::buttonName(int k) const
{
    Q_ASSERT(k >= 1 && k <= ListCount);
    return m_buttonNames[k - 1];
}

void SortingSession::setButtonName(int k, const QString &name)
{
    Q_ASSERT(k >= 1 && k <= ListCount);
    m_buttonNames[k - 1] = name;
    emit buttonNameChanged(k);
}

void SortingSession::setStandardButtonNames()
{
    for (int k = 1; k <= ListCount; ++k)
        setButtonName(k, standardButtonName());
}

QString SortingSession::standardButtonName()
{
    return u"В список"_s;
}

void SortingSession::setVisibleListCount(int count)
{
    if (count < MinVisibleLists || count > ListCount)
        return;
    m_visibleListCount = count;
    emit visibleListCountChanged(count);
}

bool SortingSession::isListShown(int k) const
{
    return k <= std::max(m_visibleListCount, MinVisibleLists);
}

void SortingSession::setCurrentList(int k)
{
    Q_ASSERT(k >= 1 && k <= ListCount);
    m_currentList = k;
}

QString SortingSession::selectAllOfCurrentList()
{
    Pane &pane = list(m_currentList);
    const QString text = pane.text();
    pane.setSelection(0, int(text.size()));
    return text;
}

QString SortingSession::lineCountCaption(int k) const
{
    if (k == 0)
        return u"Исходный текст (%1)"_s.arg(m_source.lineCount());
    return u"Строк: %1"_s.arg(list(k).lineCount());
}

QString SortingSession::initialCaption(int k)
{
    return k == 0 ? u"Исходный текст"_s : QString();
}

QString SortingSession::windowCaption() const
{
    if (m_documentPath.isEmpty())
        return ProgramCaption;
    return ProgramCaption + u" - "_s + m_documentPath;
}

void SortingSession::setDocumentPath(const QString &path)
{
    m_documentPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    emit windowCaptionChanged();
}

QRect listFrameRect(int index, int count, const QSize &area)
{
    const int width = area.width() / std::max(count, 1);
    return QRect(3 + index * width, 3, width - 5, area.height() - 10);
}
