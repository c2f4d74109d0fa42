#include "compare/storepane.h"

#include "common/textlines.h"

#include <algorithm>

using Box = ComparisonResult::Box;

void StorePane::replaceStore(LineStore store)
{
    m_store = std::move(store);
    m_result.reset();
    m_anchor = m_caret = TextPoint{};
    m_done.clear();
    m_undone.clear();
    emit changed();
    emit caretMoved();
}

void StorePane::setText(const QString &text)
{
    replaceStore(LineStore::fromText(normalizeBreaks(text)));
}

void StorePane::setLines(const QString &text, std::vector<std::uint32_t> starts)
{
    replaceStore(LineStore::fromLines(text, std::move(starts)));
}

const LineStore &StorePane::wholeStore() const
{
    // The text stays the same, so what the comparison said of it still holds.
    m_store.makeWhole();
    return m_store;
}

TextPoint StorePane::pointAt(qsizetype offset) const
{
    const LineStore &store = wholeStore();
    offset = std::clamp<qsizetype>(offset, 0, store.textLength());
    const int row = store.rowAt(offset);
    return {row, int(offset - store.lineStart(row))};
}

qsizetype StorePane::offsetOf(TextPoint point) const
{
    return wholeStore().lineStart(point.row) + point.column;
}

int StorePane::selStart() const
{
    return int(offsetOf(std::min(m_anchor, m_caret)));
}

int StorePane::selLength() const
{
    return int(offsetOf(std::max(m_anchor, m_caret)) - offsetOf(std::min(m_anchor, m_caret)));
}

void StorePane::setSelection(int start, int length)
{
    const qsizetype size = wholeStore().textLength();
    const qsizetype from = std::clamp<qsizetype>(start, 0, size);
    m_anchor = pointAt(from);
    m_caret = pointAt(std::clamp<qsizetype>(from + length, from, size));
    emit caretMoved();
}

void StorePane::replaceRange(int start, int length, const QString &with)
{
    const QString inserted = normalizeBreaks(with);
    const qsizetype size = wholeStore().textLength();
    const qsizetype from = std::clamp<qsizetype>(start, 0, size);
    const qsizetype removed = std::clamp<qsizetype>(length, 0, size - from);
    if (removed > 0 || !inserted.isEmpty()) {
        m_undone.clear();
        // Characters typed one after another, or erased one after another with Backspace or
        // Delete (a line break is two units), are taken back together.
        const QString erased = m_store.text().mid(from, removed);
        const Edit::Kind kind = removed == 0 && inserted.size() == 1 ? Edit::Typed
                                : removed <= 2 && inserted.isEmpty() ? Edit::Erased
                                                                     : Edit::Other;
        Edit *last = m_done.empty() || m_done.back().kind != kind ? nullptr : &m_done.back();
        if (last && kind == Edit::Typed && last->start + last->inserted.size() == from) {
            last->inserted += inserted;
        } else if (last && kind == Edit::Erased && from + removed == last->start) {
            last->start = from;
            last->removed.prepend(erased);
        } else if (last && kind == Edit::Erased && from == last->start) {
            last->removed.append(erased);
        } else {
            if (m_done.size() == MaxEdits)
                m_done.erase(m_done.begin());
            m_done.push_back({from, erased, inserted, m_anchor, m_caret, kind});
        }
    }
    m_store.replace(from, removed, inserted);
    m_result.reset();
    m_anchor = m_caret = pointAt(from + inserted.size());
    emit changed();
    emit caretMoved();
}

bool StorePane::undo()
{
    if (m_done.empty())
        return false;
    Edit edit = std::move(m_done.back());
    m_done.pop_back();
    m_store.replace(edit.start, edit.inserted.size(), edit.removed);
    m_result.reset();
    m_anchor = edit.anchor;
    m_caret = edit.caret;
    m_undone.push_back(std::move(edit));
    emit changed();
    emit caretMoved();
    return true;
}

bool StorePane::redo()
{
    if (m_undone.empty())
        return false;
    Edit edit = std::move(m_undone.back());
    m_undone.pop_back();
    m_store.replace(edit.start, edit.removed.size(), edit.inserted);
    m_result.reset();
    m_anchor = m_caret = pointAt(edit.start + edit.inserted.size());
    m_done.push_back(std::move(edit));
    emit changed();
    emit caretMoved();
    return true;
}

QString StorePane::currentLineText() const
{
    const int row = currentLine();
    return row < m_store.lineCount() ? m_store.line(row).toString() : QString();
}

bool StorePane::holdsLine(const QString &line) const
{
    if (m_result && m_isSource) {
        const qsizetype item = m_result->findItem(line);
        return item >= 0 && m_result->listHolds(m_list, item);
    }
    if (m_result)
        return m_result->boxHolds(m_box, m_list, line);
    if (m_store.isWhole())
        return textHoldsLine(m_store.text(), line);
    bool holds = false;
    m_store.forEachLine([&](QStringView l) { holds = holds || l == line; });
    return holds;
}

int StorePane::deleteLines(const QString &line)
{
    int dropped = 0;
    LineStore kept = m_store.filtered([&](int, QStringView l) {
        const bool equal = l == line;
        dropped += equal;
        return !equal;
    });
    if (dropped > 0)
        replaceStore(std::move(kept));
    return dropped;
}

int StorePane::replaceLines(const QString &from, const QString &to)
{
    QString text;
    int replaced = 0;
    m_store.forEachLine([&](QStringView l) {
        if (l == from) {
            text.append(to);
            ++replaced;
        } else {
            text.append(l);
        }
        text.append(u"\r\n");
    });
    if (replaced > 0)
        setText(text);
    return replaced;
}

void StorePane::setTextOf(const Pane &other)
{
    const auto *store = dynamic_cast<const StorePane *>(&other);
    if (!store) {
        setText(other.text());
        return;
    }
    replaceStore(store->m_store);
    m_result = store->m_result;
    m_box = store->m_box;
    m_list = store->m_list;
    m_isSource = store->m_isSource;
}

void StorePane::setResult(const std::shared_ptr<const ComparisonResult> &result, Box box, int i)
{
    std::vector<std::uint32_t> starts =
        box == Box::Absent ? std::vector<std::uint32_t>() : result->lineStarts(box, i);
    if (box == Box::Merged)
        replaceStore(LineStore::fromText(result->mergedText()));
    else if (box == Box::Absent)
        replaceStore(LineStore::absentOf(result, i));
    else if (starts.empty() && result->lineCount(box, i) > 0)
        replaceStore(LineStore::fromText(result->text(box, i)));
    else
        replaceStore(LineStore::picked(result->lineSource(box, i), std::move(starts)));
    m_result = result;
    m_box = box;
    m_list = i;
    m_isSource = false;
}

void StorePane::setCompared(const std::shared_ptr<const ComparisonResult> &result, int i)
{
    m_result = result;
    m_list = i;
    m_isSource = true;
}

TextPoint StorePane::clamped(TextPoint point) const
{
    point.row = std::clamp(point.row, 0, m_store.rowCount() - 1);
    const int length = point.row < m_store.lineCount() ? int(m_store.line(point.row).size()) : 0;
    point.column = std::clamp(point.column, 0, length);
    return point;
}

void StorePane::moveCaret(TextPoint point, bool keepAnchor)
{
    m_caret = clamped(point);
    if (!keepAnchor)
        m_anchor = m_caret;
    emit caretMoved();
}

void StorePane::typeText(const QString &text)
{
    const qsizetype from = offsetOf(std::min(m_anchor, m_caret));
    replaceRange(int(from), int(offsetOf(std::max(m_anchor, m_caret)) - from), text);
}

void StorePane::deleteCharacter(bool back)
{
    if (hasSelection()) {
        typeText(QString());
        return;
    }
    const qsizetype at = offsetOf(m_caret);
    const QString text = wholeStore().text();
    if (back && at > 0) {
        // A break goes as a whole.
        const int width = at >= 2 && text[at - 1] == u'\n' && text[at - 2] == u'\r' ? 2 : 1;
        replaceRange(int(at - width), width, QString());
    } else if (!back && at < text.size()) {
        const int width = text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1;
        replaceRange(int(at), width, QString());
    }
}
