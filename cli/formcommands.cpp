// `lexorum-cli forms|ngrams`: Orvella's word-form and n-gram views on the command line.

#include "cli/clicommands.h"

#include "builder/dictionary.h"
#include "builder/ngramview.h"
#include "builder/wordformview.h"
#include "cli/cli.h"
#include "common/textlines.h"

#include <QCommandLineParser>

using namespace Qt::Literals::StringLiterals;

namespace {

int parsedOrStatus(const QCommandLineParser &parser)
{
    return parser.isSet(u"help"_s) ? 0 : CliBadInput;
}

// The grid's data rows without the number column, words and count parted by tabs.
QString gridText(const NgramGrid &grid)
{
    QStringList lines;
    for (const QStringList &row : grid.rows)
        if (!row.value(1).isEmpty())  // the one empty row of a grid with nothing found
            lines.append(row.mid(1).join(u'\t'));
    return joinLines(lines);
}

} // namespace

int formsCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    parser.addOption({u"dict"_s, QString(), u"DB"_s});
    parser.addOption({u"lemmas"_s, QString()});
    parser.addOption({u"encoding"_s, QString(), u"ENC"_s});
    const QString usage = u"forms --dict DB [--lemmas] [--encoding ENC] FILE"_s;
    if (!parseCommand(parser, args, 1, 1, io, usage))
        return parsedOrStatus(parser);
    if (!parser.isSet(u"dict"_s))
        return io.fail(u"usage: lexorum-cli "_s + usage);
    int encoding;
    QStringList words;
    if (!inputEncodingOption(parser, u"encoding"_s, &encoding, io)
        || !loadListFile(parser.positionalArguments().at(0), encoding, io, &words))
        return CliBadInput;
    Dictionary dictionary;
    if (!dictionary.ConnectDictionary(parser.value(u"dict"_s)))
        return io.fail(dictionary.error());
    // "Все слова в исходную форму" and "Сгенерировать все словоформы" of the thesaurus.
    const FormLines result = parser.isSet(u"lemmas"_s) ? initialForms(dictionary, words)
                                                        : allWordForms(dictionary, words);
    if (!result.ok())
        return io.fail(result.error);
    io.print(joinLines(result.lines));
    return 0;
}

int ngramsCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    parser.addOption({u"dict"_s, QString(), u"DB"_s});
    const QString usage = u"ngrams --dict DB WORD"_s;
    if (!parseCommand(parser, args, 1, 1, io, usage))
        return parsedOrStatus(parser);
    if (!parser.isSet(u"dict"_s))
        return io.fail(u"usage: lexorum-cli "_s + usage);
    Dictionary dictionary;
    if (!dictionary.ConnectDictionary(parser.value(u"dict"_s)))
        return io.fail(dictionary.error());
    NgramView view;
    const QString error = view.refresh(dictionary, parser.positionalArguments().at(0));
    if (!error.isEmpty())
        return io.fail(error);
    // The pairs with the word first, then those with it second; a blank line; the triples.
    io.print(gridText(view.grid(0)) + gridText(view.grid(1)) + u"\r\n"_s
             + gridText(view.grid(2)));
    return 0;
}
