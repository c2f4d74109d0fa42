#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class Dictionary;

/// One grid of the n-gram window: its group caption, its column headers (the number
/// column first) and its data rows, each with its number in column 0.
struct NgramGrid
{
    QString caption;
    QStringList headers;
    QList<QStringList> rows;
};

/// What the n-gram window shows for the current word: the pairs in which its initial
/// form stands first, those in which it stands second, and the triples with it in the
/// middle, each row in the order the dictionary returns it.
class NgramView final
{
public:
    static constexpr int GridCount = 3;
    /// Before the first refresh: captions without a count and four empty rows each.
    NgramView();
    const NgramGrid &grid(int k) const { return m_grids[k]; }  // k from 0
    /// Fills the grids for word's most frequent lexeme (looked up in lower case).
    /// A grid with nothing found keeps one empty row; a word the dictionary lacks
    /// empties all three. A database error changes nothing and returns its message.
    QString refresh(Dictionary &dictionary, const QString &word);
    /// Width of each pair group box in a window this wide; the triples take the rest.
    static int pairGroupWidth(int windowWidth) { return windowWidth / 7 * 2 + 12; }

private:
    std::array<NgramGrid, GridCount> m_grids;
};
