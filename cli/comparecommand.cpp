#include "cli/clicommands.h"

#include "common/textlines.h"
#include "compare/autoactions.h"
#include "compare/comparison.h"
#include "compare/statistics.h"
#include "cli/cli.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

bool caseChoiceFromName(const QString &name, CaseChoice *choice)
{
    if (name == u"upper")
        *choice = CaseChoice::Upper;
    else if (name == u"lower")
        *choice = CaseChoice::Lower;
    else if (name == u"capitalize")
        *choice = CaseChoice::Capitalize;
    else if (name == u"none")
        *choice = CaseChoice::None;
    else
        return false;
    return true;
}

} // namespace

int compareCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("auto"), QString()});
    parser.addOption({QStringLiteral("no-auto-compare"), QString()});
    parser.addOption({QStringLiteral("case"), QString(), QStringLiteral("CASE")});
    parser.addOption({QStringLiteral("encoding"), QString(), QStringLiteral("ENC")});
    parser.addOption({QStringLiteral("out"), QString(), QStringLiteral("DIR")});
    const QString usage = QStringLiteral(
        "compare [--auto] [--no-auto-compare] [--case upper|lower|capitalize|none] "
        "[--encoding ENC] --out DIR FILE...   (2 to 10 files)");
    if (!parseCommand(parser, args, 2, ComparisonResult::MaxLists, io, usage))
        return parser.isSet(QStringLiteral("help")) ? 0 : CliBadInput;
    if (!parser.isSet(QStringLiteral("out")) || parser.value(QStringLiteral("out")).isEmpty())
        return io.fail(QStringLiteral("usage: lexorum-cli ") + usage);
    AutoActionOptions options;
    // The lists are compared in any case; the option only keeps the automatic actions from
    // comparing, which changes nothing in what is written.
    options.compare = !parser.isSet(QStringLiteral("no-auto-compare"));
    if (parser.isSet(QStringLiteral("case"))
        && !caseChoiceFromName(parser.value(QStringLiteral("case")), &options.caseChoice))
        return io.fail(QStringLiteral("unknown case '%1' (upper, lower, capitalize, none)")
                           .arg(parser.value(QStringLiteral("case"))));
    int encoding;
    if (!inputEncodingOption(parser, QStringLiteral("encoding"), &encoding, io))
        return CliBadInput;

    const QStringList paths = parser.positionalArguments();
    QList<QStringList> sources;
    QStringList names;
    for (const QString &path : paths) {
        QStringList lines;
        if (!loadListFile(path, encoding, io, &lines))
            return CliBadInput;
        sources.append(parser.isSet(QStringLiteral("auto")) ? applyAutoActions(lines, options)
                                                            : lines);
        names.append(QFileInfo(path).fileName());
    }

    const QString directory = parser.value(QStringLiteral("out"));
    if (!QDir().mkpath(directory))
        return io.fail(QStringLiteral("cannot create the folder %1")
                           .arg(QDir::toNativeSeparators(directory)));
    // One result at a time: ten big lists have absent results many times their own size.
    QString error;
    auto write = [&](const QString &name, const QStringList &lines) {
        if (error.isEmpty())
            error = writeFileAtomically(QDir(directory).filePath(name), joinLines(lines).toUtf8());
        return int(lines.size());
    };
    const ComparisonResult result = CompareLists(sources);
    const QStringList merged = result.merged();
    const int mergedCount = write(QStringLiteral("merged.txt"), merged);
    const int commonCount = write(QStringLiteral("common.txt"), result.common());
    QList<ListBoxCounts> counts;
    for (int i = 1; i <= result.listCount(); ++i) {
        ListBoxCounts &list = counts.emplace_back();
        list.name = names.at(i - 1);
        list.source = int(sources.at(i - 1).size());
        list.unique = write(QStringLiteral("unique-%1.txt").arg(i), result.unique(i));
        list.shared = write(QStringLiteral("shared-%1.txt").arg(i), result.shared(i));
        list.absent = write(QStringLiteral("absent-%1.txt").arg(i), result.absent(i));
    }
    write(QStringLiteral("words.tsv"), buildWordStatistics(merged, sources, names).renderLines());
    write(QStringLiteral("lists.tsv"),
          buildListStatistics(counts, commonCount, mergedCount).renderLines());
    return error.isEmpty() ? 0 : io.fail(error);
}
