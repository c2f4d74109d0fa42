#include "compare/linestore.h"

#include "compare/comparison.h"

#include <algorithm>
#include <limits>

LineStore LineStore::fromText(const QString &text)
{
    Q_ASSERT(quint64(text.size()) < std::numeric_limits<std::uint32_t>::max());
    LineStore store;
    store.m_buffer = text;
    store.findLines(0, text.size());
    return store;
}

LineStore LineStore::fromLines(const QString &text, std::vector<std::uint32_t> starts)
{
    LineStore store;
    store.m_buffer = text;
    store.m_starts = std::move(starts);
    return store;
}

LineStore LineStore::picked(const QString &buffer, std::vector<std::uint32_t> starts)
{
    LineStore store;
    store.m_buffer = buffer;
    store.m_starts = std::move(starts);
    store.m_whole = false;
    return store;
}

LineStore LineStore::absentOf(const std::shared_ptr<const ComparisonResult> &result, int i)
{
    LineStore store;
    store.m_buffer = result->mergedText();
    store.m_whole = false;
    store.m_result = result;
    store.m_list = i;
    const qsizetype items = result->itemCount();
    for (qsizetype item = 0; item < items; ++item)
        if (!result->listHolds(i, item)) {
            if (store.m_lineCount % SampleLines == 0)
                store.m_starts.push_back(std::uint32_t(item));
            ++store.m_lineCount;
        }
    return store;
}

bool LineStore::absentTakes(qsizetype item) const
{
    return !m_result->listHolds(m_list, item);
}

qsizetype LineStore::absentItem(int k) const
{
    qsizetype item = m_starts[std::size_t(k / SampleLines)];
    for (int left = k % SampleLines;; ++item)
        if (absentTakes(item) && left-- == 0)
            return item;
}

QStringView LineStore::itemLine(qsizetype item) const
{
    return m_result->itemView(item);
}

qsizetype LineStore::lineEnd(qsizetype start) const
{
    const QChar *data = m_buffer.constData();
    const qsizetype size = m_buffer.size();
    qsizetype p = start;
    while (p < size && data[p] != u'\r' && data[p] != u'\n')
        ++p;
    return p;
}

QStringView LineStore::line(int k) const
{
    if (m_result)
        return itemLine(absentItem(k));
    const qsizetype start = m_starts[std::size_t(k)];
    // In a whole store the next line starts right after this one's CR LF.
    if (m_whole && std::size_t(k) + 1 < m_starts.size()) {
        const qsizetype next = m_starts[std::size_t(k) + 1];
        return QStringView(m_buffer).sliced(start, next - 2 - start);
    }
    return QStringView(m_buffer).sliced(start, lineEnd(start) - start);
}

QString LineStore::text() const
{
    if (m_whole)
        return m_buffer;
    QString text;
    text.reserve(textLength());
    forEachLine([&](QStringView l) {
        text.append(l);
        text.append(u"\r\n");
    });
    return text;
}

qsizetype LineStore::textLength() const
{
    if (m_whole)
        return m_buffer.size();
    if (m_length < 0) {
        m_length = 0;
        forEachLine([&](QStringView l) { m_length += l.size() + 2; });
    }
    return m_length;
}

int LineStore::rowCount() const
{
    if (lineCount() == 0)
        return 1;
    if (!m_whole)
        return lineCount() + 1;
    return m_buffer.endsWith(u'\n') ? lineCount() + 1 : lineCount();
}

qsizetype LineStore::lineStart(int k) const
{
    Q_ASSERT(m_whole);
    return k < lineCount() ? qsizetype(m_starts[std::size_t(k)]) : m_buffer.size();
}

int LineStore::rowAt(qsizetype offset) const
{
    Q_ASSERT(m_whole);
    if (m_starts.empty())
        return 0;
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), std::uint32_t(
                                            std::clamp<qsizetype>(offset, 0, m_buffer.size())));
    const int k = std::max(int(after - m_starts.begin()) - 1, 0);
    // Past the last line's break is the row after it; between CR and LF is still the line.
    if (k == lineCount() - 1 && offset >= lineEnd(m_starts.back()) + 2)
        return lineCount();
    return k;
}

void LineStore::findLines(qsizetype from, qsizetype to)
{
    // A line starts at from (when inside the text) and after every break up to to; a break
    // at the very end opens no line.
    const QChar *data = m_buffer.constData();
    const qsizetype size = m_buffer.size();
    if (from < size)
        m_starts.push_back(std::uint32_t(from));
    for (qsizetype p = from; p < to; ++p)
        if (data[p] == u'\n' && p + 1 < size && p + 1 < to)
            m_starts.push_back(std::uint32_t(p + 1));
}

void LineStore::replace(qsizetype start, qsizetype length, const QString &with)
{
    makeWhole();
    m_length = -1;
    start = std::clamp<qsizetype>(start, 0, m_buffer.size());
    length = std::clamp<qsizetype>(length, 0, m_buffer.size() - start);
    const qsizetype oldEnd = start + length;
    const qsizetype delta = with.size() - length;
    // The line holding start keeps its start; lines starting two units or more past the
    // replaced stretch keep their breaks before them and only move.
    const int first = m_starts.empty() ? 0 : std::min(rowAt(start), lineCount() - 1);
    const auto kept = std::lower_bound(m_starts.begin(), m_starts.end(),
                                       std::uint32_t(std::min<qsizetype>(
                                           oldEnd + 2, std::numeric_limits<std::uint32_t>::max())));
    std::vector<std::uint32_t> after(kept, m_starts.end());
    const qsizetype from = m_starts.empty() ? 0 : qsizetype(m_starts[std::size_t(first)]);
    m_starts.resize(std::size_t(m_starts.empty() ? 0 : first));
    m_buffer.replace(start, length, with);
    Q_ASSERT(quint64(m_buffer.size()) < std::numeric_limits<std::uint32_t>::max());
    const qsizetype to = after.empty() ? m_buffer.size() : qsizetype(after.front()) + delta;
    findLines(from, to);
    for (const std::uint32_t s : after)
        m_starts.push_back(std::uint32_t(qsizetype(s) + delta));
}

void LineStore::makeWhole()
{
    if (m_whole)
        return;
    *this = fromText(text());
}
