#include "compare/workspace.h"

#include "common/findreplace.h"
#include "common/pane.h"
#include "common/textlines.h"
#include "compare/storepane.h"

#include <algorithm>
#include <utility>

using namespace Qt::Literals::StringLiterals;

ComparisonWorkspace::ComparisonWorkspace(const WorkspacePanes &panes, QObject *parent)
    : QObject(parent)
{
    for (int i = 0; i < MaxLists; ++i) {
        m_panes[i] = panes.source[i];
        m_panes[MaxLists + i] = panes.unique[i];
        m_panes[2 * MaxLists + i] = panes.absent[i];
        m_panes[3 * MaxLists + i] = panes.shared[i];
    }
    m_panes[CommonSlot] = panes.common;
    m_panes[MergedSlot] = panes.merged;
    m_panes[ListWindowSlot] = panes.listWindow;
    for (Pane *p : m_panes)
        Q_ASSERT(p);
}

ComparisonWorkspace::~ComparisonWorkspace() = default;

int ComparisonWorkspace::slotOf(const BoxId &box) const
{
    switch (box.index) {
    case BoxId::Common:
        return CommonSlot;
    case BoxId::Merged:
        return MergedSlot;
    case BoxId::ListWindow:
        return ListWindowSlot;
    default:
        Q_ASSERT(box.index >= 1 && box.index <= MaxLists);
        return (int(box.kind) - 1) * MaxLists + box.index - 1;
    }
}

Pane &ComparisonWorkspace::pane(const BoxId &box) const
{
    return *m_panes[slotOf(box)];
}

QString ComparisonWorkspace::textAt(int slot) const
{
    return m_panes[slot]->text();
}

void ComparisonWorkspace::setTextAt(int slot, const QString &text)
{
    m_panes[slot]->setText(text);
}

int ComparisonWorkspace::linesAt(int slot) const
{
    return m_panes[slot]->lineCount();
}

bool ComparisonWorkspace::isEmptyAt(int slot) const
{
    return m_panes[slot]->textLength() == 0;
}

QString ComparisonWorkspace::boxText(const BoxId &box) const
{
    return textAt(slotOf(box));
}

void ComparisonWorkspace::setListCount(int count)
{
    m_listCount = std::clamp(count, 2, MaxLists);
    // N33Click: the slots beyond N are hidden and hold nothing.
    for (int i = m_listCount + 1; i <= MaxLists; ++i) {
        for (BoxKind kind : {BoxKind::Source, BoxKind::Unique, BoxKind::Absent, BoxKind::Shared})
            if (!isEmptyAt(slotOf({i, kind})))
                setTextAt(slotOf({i, kind}), QString());
        setName(i, QString());
    }
    emit listCountChanged(m_listCount);
    N34Click();
}

void ComparisonWorkspace::setName(int i, const QString &name)
{
    Q_ASSERT(i >= 1 && i <= MaxLists);
    if (m_names[i - 1] == name)
        return;
    m_names[i - 1] = name;
    emit nameChanged(i, name);
}

QString ComparisonWorkspace::displayName(int i) const
{
    return m_names[i - 1].isEmpty() ? u"Список %1"_s.arg(i) : m_names[i - 1];
}

void ComparisonWorkspace::focusBox(const BoxId &box)
{
    m_index = box.index;
    if (box.isSlot())
        m_kind = box.kind;
    Memo3Click();
}

void ComparisonWorkspace::Memo3Click()
{
    if (m_index > m_listCount)
        m_index = 1;
    if (m_index >= 1 && m_kind == BoxKind::Source)
        m_sourceSlot = m_index;
    N82Click();
}

BoxId ComparisonWorkspace::currentBox() const
{
    return BoxId{m_index, m_kind};
}

Pane &ComparisonWorkspace::current() const
{
    return pane(currentBox());
}

void ComparisonWorkspace::clearResults(int i)
{
    for (BoxKind kind : {BoxKind::Unique, BoxKind::Absent, BoxKind::Shared})
        if (!isEmptyAt(slotOf({i, kind})))
            setTextAt(slotOf({i, kind}), QString());
}

void ComparisonWorkspace::refreshAfterEdit()
{
    N34Click();
    N82Click();
}

void ComparisonWorkspace::openFiles(QList<LoadedList> files)
{
    if (files.isEmpty())
        return;
    const int count = int(std::min<qsizetype>(files.size(), MaxLists));
    setListCount(count);
    if (count == m_listCount && m_options.compare && m_options.sort
        && m_options.deleteRepeatingLines) {
        files.resize(count);
        openComparing(std::move(files));
        return;
    }
    const bool compare = m_options.compare;
    m_options.compare = false;
    for (int f = 1; f <= count; ++f) {
        focusBox({f, BoxKind::Source});
        // The actions read the file's text as the box would hold it, breaks and all, so the
        // box takes only their outcome.
        const QString text = std::exchange(files[f - 1].text, QString());
        setTextAt(slotOf({f, BoxKind::Source}), applyAutoActionsToText(text, m_options));
        clearResults(f);
        setName(f, files[f - 1].fileName);
    }
    m_options.compare = compare;
    if (compare)
        BitBtn1Click();
    else
        N34Click();
    N82Click();
}

void ComparisonWorkspace::openComparing(QList<LoadedList> files)
{
    // Sorting a list and dropping its repeats gives the merged lines that it holds, and
    // comparing such lists gives the same items held by the same lists: one comparison of
    // the cleaned lists does for a sort of each list and the comparison after them.
    // The lists are cleaned two at a time; each file's text goes once its list is clean.
    QStringList cleaned(files.size());
    QString *out = cleaned.data();
    LoadedList *in = files.data();
    forEachOnTwoThreads(int(files.size()), [&](int f) {
        out[f] = cleanListText(std::exchange(in[f].text, QString()), m_options);
    });
    ComparisonResult compared = CompareLists(cleaned);
    if (compared.itemCount() > 0 && compared.itemView(0).isEmpty()) {
        // An empty line that the settings keep: the removal of repeats drops it at the start
        // of a list, which the merged lines do not show, so each list is sorted on its own.
        compared = ComparisonResult();
        AutoActionOptions rest = m_options;
        rest.trim = rest.deleteEmptyLines = rest.changeCase = false;
        for (int f = 1; f <= int(files.size()); ++f) {
            focusBox({f, BoxKind::Source});
            setTextAt(slotOf({f, BoxKind::Source}),
                      applyAutoActionsToText(std::exchange(cleaned[f - 1], QString()), rest));
            setName(f, files[f - 1].fileName);
        }
        BitBtn1Click();
        N82Click();
        return;
    }
    cleaned.clear();
    std::vector<std::vector<std::uint32_t>> starts;
    const auto result = std::make_shared<const ComparisonResult>(
        CompareDistinctLists(std::move(compared), &starts));
    for (int f = 1; f <= int(files.size()); ++f) {
        focusBox({f, BoxKind::Source});
        const int slot = slotOf({f, BoxKind::Source});
        if (auto *store = dynamic_cast<StorePane *>(m_panes[slot]))
            store->setLines(result->listText(f), std::move(starts[std::size_t(f - 1)]));
        else
            setTextAt(slot, result->listText(f));
        setName(f, files[f - 1].fileName);
    }
    showComparison(result);
    N82Click();
}

void ComparisonWorkspace::openIntoCurrent(const LoadedList &file)
{
    Memo3Click();
    const BoxId box = currentBox();
    setTextAt(slotOf(box), file.text);
    // The result boxes and the name belong to the slot's source; a file opened into another
    // box says nothing about them.
    const bool intoSource = box.isSlot() && box.kind == BoxKind::Source;
    if (intoSource)
        clearResults(box.index);
    N35Click();
    N34Click();
    if (intoSource)
        setName(box.index, file.fileName);
    N82Click();
}

QString ComparisonWorkspace::textToSave()
{
    Memo3Click();
    return textAt(slotOf(currentBox()));
}

void ComparisonWorkspace::saved()
{
    N34Click();
}

QString ComparisonWorkspace::copyText()
{
    Memo3Click();
    Pane &box = current();
    const QString text = textAt(slotOf(currentBox()));
    box.setSelection(0, box.textLength());
    refreshAfterEdit();
    return text;
}

QString ComparisonWorkspace::cutText()
{
    const QString text = copyText();
    setTextAt(slotOf(currentBox()), QString());
    refreshAfterEdit();
    return text;
}

void ComparisonWorkspace::paste(const QString &text)
{
    Memo3Click();
    setTextAt(slotOf(currentBox()), text);
    refreshAfterEdit();
}

void ComparisonWorkspace::clear()
{
    Memo3Click();
    const BoxId box = currentBox();
    setTextAt(slotOf(box), QString());
    if (box.isSlot() && box.kind == BoxKind::Source)
        clearResults(box.index);
    refreshAfterEdit();
}

void ComparisonWorkspace::process(ProcessingCommand command)
{
    Memo3Click();
    const int slot = slotOf(currentBox());
    setTextAt(slot, applyProcessing(command, textAt(slot)));
    refreshAfterEdit();
}

QString ComparisonWorkspace::caretLine(bool *onLine) const
{
    const Pane &box = current();
    *onLine = box.currentLine() < box.lineCount();
    return *onLine ? box.currentLineText() : QString();
}

QString cutForShow(const QString &line)
{
    return line.size() <= ShownLineUnits ? line : line.left(ShownLineUnits) + u'…';
}

std::vector<BoxId> ComparisonWorkspace::boxesInUse() const
{
    std::vector<BoxId> boxes{{BoxId::Merged, BoxKind::Source}, {BoxId::Common, BoxKind::Source}};
    for (int i = 1; i <= m_listCount; ++i)
        for (BoxKind kind : {BoxKind::Source, BoxKind::Unique, BoxKind::Absent, BoxKind::Shared})
            boxes.push_back({i, kind});
    return boxes;
}

void ComparisonWorkspace::deleteRecord()
{
    Memo3Click();
    bool onLine = false;
    const QString line = caretLine(&onLine);
    if (!onLine)
        return;
    current().deleteLines(line);
    refreshAfterEdit();
}

void ComparisonWorkspace::deleteEverywhere()
{
    Memo3Click();
    bool onLine = false;
    const QString line = caretLine(&onLine);
    if (!onLine)
        return;
    for (const BoxId &box : boxesInUse()) {
        Pane &p = pane(box);
        if (p.holdsLine(line))
            p.deleteLines(line);
    }
    refreshAfterEdit();
}

QString ComparisonWorkspace::startReplaceEverywhere()
{
    Memo3Click();
    bool onLine = false;
    m_replaceFrom = caretLine(&onLine);
    return m_replaceFrom;
}

QString ComparisonWorkspace::replaceEverywhere(const QString &from, const QString &to)
{
    m_replaceFrom = from;
    m_replaceTo = to;
    int replaced = 0;
    for (const BoxId &box : boxesInUse()) {
        Pane &p = pane(box);
        if (p.holdsLine(from))
            replaced += p.replaceLines(from, to);
    }
    refreshAfterEdit();
    return u"Выполнено замен: %1"_s.arg(replaced);
}

FindOutcome ComparisonWorkspace::find(const FindOptions &options)
{
    Memo3Click();
    return FindDialog1Find(options, current());
}

FindOutcome ComparisonWorkspace::findFromReplace(const FindOptions &options)
{
    Memo3Click();
    return ReplaceDialog1Find(options, current());
}

FindOutcome ComparisonWorkspace::replaceOnce(const FindOptions &options)
{
    Memo3Click();
    return ReplaceDialog1Replace(options, current());
}

FindOutcome ComparisonWorkspace::replaceAll(const FindOptions &options)
{
    Memo3Click();
    FindOutcome outcome = ReplaceDialog1ReplaceAll(options, current());
    refreshAfterEdit();
    return outcome;
}

void ComparisonWorkspace::BitBtn1Click()
{
    // The engine cuts the texts into lines itself.
    QStringList sources;
    for (int i = 1; i <= m_listCount; ++i)
        sources.append(boxText({i, BoxKind::Source}));
    const auto result = std::make_shared<const ComparisonResult>(CompareLists(sources));
    sources.clear();
    showComparison(result);
}

void ComparisonWorkspace::showComparison(const std::shared_ptr<const ComparisonResult> &result)
{
    // Boxes that keep their lines apart take the results without a copy and leave the
    // lookups of a click to the comparison.
    using Box = ComparisonResult::Box;
    auto put = [&](int slot, Box box, int i) {
        if (auto *store = dynamic_cast<StorePane *>(m_panes[slot]))
            store->setResult(result, box, i);
        else
            setTextAt(slot, result->text(box, i));
    };
    put(MergedSlot, Box::Merged, 0);
    put(CommonSlot, Box::Common, 0);
    for (int i = 1; i <= m_listCount; ++i) {
        put(slotOf({i, BoxKind::Unique}), Box::Unique, i);
        put(slotOf({i, BoxKind::Shared}), Box::Shared, i);
        if (auto *store = dynamic_cast<StorePane *>(m_panes[slotOf({i, BoxKind::Source})]))
            store->setCompared(result, i);
    }
    for (int i = 1; i <= m_listCount; ++i)
        put(slotOf({i, BoxKind::Absent}), Box::Absent, i);
    N34Click();
}

void ComparisonWorkspace::N35Click()
{
    const int slot = slotOf(currentBox());
    setTextAt(slot, applyAutoActionsToText(textAt(slot), m_options));
    if (m_options.compare)
        BitBtn1Click();
}

void ComparisonWorkspace::N34Click()
{
    BoxLineCounts counts;
    for (int i = 1; i <= MaxLists; ++i) {
        counts.source[i - 1] = linesAt(slotOf({i, BoxKind::Source}));
        counts.unique[i - 1] = linesAt(slotOf({i, BoxKind::Unique}));
        counts.absent[i - 1] = linesAt(slotOf({i, BoxKind::Absent}));
        counts.shared[i - 1] = linesAt(slotOf({i, BoxKind::Shared}));
    }
    counts.common = linesAt(CommonSlot);
    counts.merged = linesAt(MergedSlot);
    emit countsRefreshed(countRefreshTexts(counts, m_listCount));
}

void ComparisonWorkspace::setListWindowShown(bool shown)
{
    m_listWindowShown = shown;
    N82Click();
}

void ComparisonWorkspace::N82Click()
{
    if (!m_listWindowShown)
        return;
    const int slot = slotOf(currentBox());
    if (slot != ListWindowSlot)
        m_panes[ListWindowSlot]->setTextOf(*m_panes[slot]);
    emit listWindowCountChanged(u"Записей: %1"_s.arg(linesAt(ListWindowSlot)));
}

Highlighting ComparisonWorkspace::N93Click()
{
    bool onLine = false;
    const QString line = caretLine(&onLine);
    Highlighting result;
    result.status = u" Текущая строка: "_s + cutForShow(line);
    const BoxId currentId = currentBox();
    for (const BoxId &box : boxesInUse()) {
        BoxShade shade = onLine && pane(box).holdsLine(line) ? BoxShade::Holding
                                                             : BoxShade::Lacking;
        if (box == currentId)
            shade = BoxShade::Current;
        result.shades.emplace_back(box, shade);
    }
    if (currentId.index == BoxId::ListWindow)
        result.shades.emplace_back(currentId, BoxShade::Current);
    return result;
}

QString ComparisonWorkspace::initialFormsRequestText()
{
    Memo3Click();
    return textAt(slotOf(currentBox()));
}

void ComparisonWorkspace::applyInitialForms(const QString &text)
{
    setTextAt(slotOf(currentBox()), text);
    refreshAfterEdit();
}
