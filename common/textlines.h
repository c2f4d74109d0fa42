#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>

// The line-list model, ordinal order, case mapping and the part-of-speech test
// that every tool of the suite shares.

/// Cuts a text into lines at CR LF, lone LF and lone CR. A final break opens no
/// further line; an empty text has no lines; CR LF alone is one empty line.
QStringList splitLines(const QString &text);
/// Each line followed by CR LF; an empty list gives the empty text.
QString joinLines(const QStringList &lines);
/// The number of lines splitLines would give, without building them.
int lineCount(const QString &text);
/// The text with every lone LF and lone CR turned into CR LF, as a pane holds it.
QString normalizeBreaks(const QString &text);

/// Ordinal order: UTF-16 code unit by code unit, a proper prefix first.
bool ordinalLess(const QString &a, const QString &b);

/// Simple Unicode case mapping, one character to one, so the length never changes.
QString toUpperSimple(const QString &text);
QString toLowerSimple(const QString &text);
/// The same on a text given away: mapped in place when nothing else shares it.
QString toUpperSimple(QString &&text);
QString toLowerSimple(QString &&text);

/// Sorts ascending in ordinal order.
void qSortI(QStringList &items);

/// Field n (from 0) of s cut at every occurrence of d; empty when s has fewer fields.
QString getFieldFromString(int n, const QString &s, const QString &d);

/// The 17 part-of-speech tags in flag order.
inline constexpr int PartOfSpeechCount = 17;
const std::array<QString, PartOfSpeechCount> &partOfSpeechTags();
/// Index of an exact tag in partOfSpeechTags(), or -1.
int partOfSpeechIndex(const QString &tag);

/// One flag per tag; a set flag lets that part of speech through. The flags are
/// written by the filter window and read by a running search without a lock.
struct part_word
{
    std::array<std::atomic<bool>, PartOfSpeechCount> flags;
    part_word() { setAll(true); }
    part_word(const part_word &other) { *this = other; }
    part_word &operator=(const part_word &other)
    {
        for (int i = 0; i < PartOfSpeechCount; ++i)
            flags[i].store(other.flags[i].load(std::memory_order_relaxed),
                           std::memory_order_relaxed);
        return *this;
    }
    bool allows(int i) const { return flags[i].load(std::memory_order_relaxed); }
    void set(int i, bool on) { flags[i].store(on, std::memory_order_relaxed); }
    void setAll(bool on)
    {
        for (auto &f : flags)
            f.store(on, std::memory_order_relaxed);
    }
};

/// The program-wide filter that the searches read; all flags set at start.
extern part_word PartWord;

/// True when a form with these tags may be proposed: its first comma field must
/// equal one of the 17 tags exactly, and that tag's flag must be set.
bool checkPartWord(const QString &props, const part_word &filter);
