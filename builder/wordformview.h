#pragma once

#include <QString>
#include <QStringList>

class Dictionary;

/// An initial-form id looked up for the views; id is empty when the word has none.
struct FormIdLookup
{
    QString id;
    QString error;  // the database's message; empty on success
    bool ok() const { return error.isEmpty(); }
    bool found() const { return !id.isEmpty(); }
};
/// The initial-form ids of a word's lexemes, most frequent first; empty when the
/// dictionary lacks the word.
struct LexemeLookup
{
    QStringList ids;
    QString error;  // the database's message; empty on success
    bool ok() const { return error.isEmpty(); }
};
/// The views and the expansion look the word up in lower case. The dictionary numbers
/// a word's rows lexeme by lexeme in descending corpus frequency, so the order of the
/// lowest row of each lexeme is its rank.
LexemeLookup lexemesOf(Dictionary &dictionary, const QString &word);
/// The reading of a word the views and the expansion show: its most frequent lexeme,
/// the one of its lowest row.
FormIdLookup mostFrequentInitialFormId(Dictionary &dictionary, const QString &word);
/// Adding an initial form and reducing to initial forms look the word up as it stands
/// and take the first row's id.
FormIdLookup firstInitialFormId(Dictionary &dictionary, const QString &word);

/// Lines computed from the dictionary, or the error that stopped the computation.
struct FormLines
{
    QStringList lines;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
/// "Сгенерировать все словоформы": every form of each line's most frequent lexeme,
/// block by block in line order; a line the dictionary lacks contributes nothing.
FormLines allWordForms(Dictionary &dictionary, const QStringList &lines);
/// "Все слова в исходную форму": each line replaced by its initial form; a line the
/// dictionary lacks stays as it is, in its place.
FormLines initialForms(Dictionary &dictionary, const QStringList &lines);
/// The initial form of word to add to the thesaurus; empty when there is none.
struct InitialForm
{
    QString word;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
InitialForm initialFormOf(Dictionary &dictionary, const QString &word);

/// What the word-form window shows: every form of each lexeme the current word belongs
/// to, the most frequent lexeme's block first, each block in the database's text order.
class WordFormView final
{
public:
    /// The forms, one per line.
    QString text() const { return m_text; }
    int formCount() const { return m_count; }
    /// "Словоформ: " and the number of forms.
    QString statusText() const;
    /// Lists the forms of word; a word the dictionary lacks empties the list. A
    /// database error changes nothing and returns its message.
    QString refresh(Dictionary &dictionary, const QString &word);

private:
    QString m_text;
    int m_count = 0;
};
