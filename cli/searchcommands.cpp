// `lexorum-cli related|linked`: Orvella's two dictionary searches on list files.

#include "cli/clicommands.h"

#include "builder/dictionary.h"
#include "builder/linkedwordssearch.h"
#include "builder/relatedwordssearch.h"
#include "cli/cli.h"

#include <QCommandLineParser>

using namespace Qt::Literals::StringLiterals;

namespace {

/// Reads --pos: all 17 tags when absent, none for the empty text.
bool partOfSpeechOption(const QCommandLineParser &parser, part_word *filter,
                        const CliStreams &io)
{
    filter->setAll(true);
    if (!parser.isSet(u"pos"_s))
        return true;
    filter->setAll(false);
    for (const QString &tag : parser.value(u"pos"_s).split(u',', Qt::SkipEmptyParts)) {
        const int flag = partOfSpeechIndex(tag);
        if (flag < 0) {
            QStringList known;
            for (const QString &t : partOfSpeechTags())
                known.append(t);
            io.fail(u"unknown part of speech '%1' (%2)"_s.arg(tag, known.join(u',')));
            return false;
        }
        filter->set(flag, true);
    }
    return true;
}

template <typename Search>
int searchCommand(const QString &name, const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    parser.addOption({u"dict"_s, QString(), u"DB"_s});
    parser.addOption({u"black-list"_s, QString(), u"FILE"_s});
    parser.addOption({u"pos"_s, QString(), u"TAGS"_s});
    parser.addOption({u"encoding"_s, QString(), u"ENC"_s});
    parser.addOption({u"progress"_s, QString()});
    parser.addOption({u"rank"_s, QString(), u"ORDER"_s});
    const QString usage = name
                          + u" --dict DB [--black-list FILE] [--pos NOUN,ADJF,...] "
                            "[--rank links|strength] [--encoding ENC] [--progress] "
                            "THESAURUS_FILE"_s;
    if (!parseCommand(parser, args, 1, 1, io, usage))
        return parser.isSet(u"help"_s) ? 0 : CliBadInput;
    if (!parser.isSet(u"dict"_s))
        return io.fail(u"usage: lexorum-cli "_s + usage);
    int encoding;
    part_word filter;
    if (!inputEncodingOption(parser, u"encoding"_s, &encoding, io)
        || !partOfSpeechOption(parser, &filter, io))
        return CliBadInput;
    RankBy rankBy = RankBy::Links;
    if (parser.isSet(u"rank"_s) && !rankByFromName(parser.value(u"rank"_s), &rankBy))
        return io.fail(u"unknown order '%1' (links,strength)"_s.arg(parser.value(u"rank"_s)));
    QStringList thesaurus;
    QStringList blackList;
    if (!loadListFile(parser.positionalArguments().at(0), encoding, io, &thesaurus))
        return CliBadInput;
    if (parser.isSet(u"black-list"_s)
        && !loadListFile(parser.value(u"black-list"_s), encoding, io, &blackList))
        return CliBadInput;

    Dictionary dictionary;
    if (!dictionary.ConnectDictionary(parser.value(u"dict"_s)))
        return io.fail(dictionary.error());
    SearchReports reports;
    if (parser.isSet(u"progress"_s)) {
        reports.stage = [&io](const QString &stage) { io.warn(u"stage: "_s + stage); };
        reports.progress = [&io](int progress) {
            io.warn(u"progress: "_s + QString::number(progress));
        };
    }
    // The texts are what the panes would hold after opening the files.
    const SearchInput input{joinLines(thesaurus), joinLines(blackList), &filter, rankBy};
    dictionary.claim();
    const SearchResult result = Search(dictionary).run(input, reports);
    dictionary.release();
    if (!result.ok())
        return io.fail(result.error);
    io.print(result.foundText());
    return 0;
}

} // namespace

int relatedCommand(const QStringList &args, const CliStreams &io)
{
    return searchCommand<RelatedWordsSearch>(u"related"_s, args, io);
}

int linkedCommand(const QStringList &args, const CliStreams &io)
{
    return searchCommand<LinkedWordsSearch>(u"linked"_s, args, io);
}
