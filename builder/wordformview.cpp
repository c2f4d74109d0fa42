#include "builder/wordformview.h"

#include "builder/dictionary.h"
#include "common/textlines.h"

using namespace Qt::Literals::StringLiterals;

LexemeLookup lexemesOf(Dictionary &dictionary, const QString &word)
{
    const DictionaryRows rows = dictionary.initialFormIds(toLowerSimple(word));
    if (!rows.ok())
        return {QStringList(), rows.error};
    LexemeLookup result;
    for (const QStringList &row : rows.rows)
        if (!result.ids.contains(row.value(0)))
            result.ids.append(row.value(0));
    return result;
}

FormIdLookup mostFrequentInitialFormId(Dictionary &dictionary, const QString &word)
{
    const LexemeLookup lexemes = lexemesOf(dictionary, word);
    return {lexemes.ids.value(0), lexemes.error};
}

FormIdLookup firstInitialFormId(Dictionary &dictionary, const QString &word)
{
    const DictionaryRows rows = dictionary.initialFormIds(word);
    if (!rows.ok())
        return {QString(), rows.error};
    return {rows.rows.isEmpty() ? QString() : rows.rows.first().value(0), QString()};
}

FormLines allWordForms(Dictionary &dictionary, const QStringList &lines)
{
    FormLines result;
    for (const QString &line : lines) {
        const FormIdLookup id = mostFrequentInitialFormId(dictionary, line);
        if (!id.ok())
            return {QStringList(), id.error};
        if (!id.found())
            continue;
        const DictionaryRows forms = dictionary.wordForms(id.id);
        if (!forms.ok())
            return {QStringList(), forms.error};
        for (const QStringList &row : forms.rows)
            result.lines.append(row.value(0));
    }
    return result;
}

FormLines initialForms(Dictionary &dictionary, const QStringList &lines)
{
    FormLines result;
    for (const QString &line : lines) {
        const FormIdLookup id = firstInitialFormId(dictionary, line);
        if (!id.ok())
            return {QStringList(), id.error};
        if (!id.found()) {
            result.lines.append(line);
            continue;
        }
        const DictionaryRows words = dictionary.wordsOfId(id.id);
        if (!words.ok())
            return {QStringList(), words.error};
        // An initial-form id without its own row leaves no word for the line.
        if (!words.rows.isEmpty())
            result.lines.append(words.rows.first().value(0));
    }
    return result;
}

InitialForm initialFormOf(Dictionary &dictionary, const QString &word)
{
    const FormIdLookup id = firstInitialFormId(dictionary, word);
    if (!id.ok())
        return {QString(), id.error};
    if (!id.found())
        return {};
    const DictionaryRows words = dictionary.wordsOfId(id.id);
    if (!words.ok())
        return {QString(), words.error};
    return {words.rows.isEmpty() ? QString() : words.rows.first().value(0), QString()};
}

QString WordFormView::statusText() const
{
    return u"Словоформ: "_s + QString::number(m_count);
}

QString WordFormView::refresh(Dictionary &dictionary, const QString &word)
{
    const LexemeLookup lexemes = lexemesOf(dictionary, word);
    if (!lexemes.ok())
        return lexemes.error;
    QStringList forms;
    for (const QString &id : lexemes.ids) {
        const DictionaryRows rows = dictionary.wordForms(id);
        if (!rows.ok())
            return rows.error;
        for (const QStringList &row : rows.rows)
            forms.append(row.value(0));
    }
    m_text = joinLines(forms);
    m_count = int(forms.size());
    return QString();
}
