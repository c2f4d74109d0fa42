#include "cli/clicommands.h"

#include "cli/cli.h"
#include "dictionary/corpusextractor.h"
#include "dictionary/dictbuilder.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>

namespace {

QString dictHelp()
{
    return QStringLiteral(
        "Usage: lexorum-cli dict build --morph DIR [--corpus PATH]... --out FILE\n"
        "                              [--min-freq N] [--meta KEY=VALUE]...\n"
        "       lexorum-cli dict corpus --out DIR DEB_OR_FOLDER...\n"
        "       lexorum-cli dict info FILE\n"
        "\n"
        "build   writes an Orvella dictionary: every word form of the morphology (DIR is\n"
        "        the dicts/ folder of the OpenCorpora morphology as the npm package az\n"
        "        ships it) with its initial form and tags, and the word pairs and triples\n"
        "        counted in the corpus: UTF-8 text files, or folders read recursively, one\n"
        "        paragraph per line. Pairs and triples seen fewer than N times (default 1)\n"
        "        are left out. The file is replaced only when the build succeeds.\n"
        "corpus  turns Debian packages (.deb) or unpacked trees into plain UTF-8 text for\n"
        "        build: the Russian HTML pages, help pages, manual pages, message\n"
        "        catalogues and fortunes they hold, one paragraph per line.\n"
        "info    prints what a dictionary was built from and what it holds.\n"
        "\n"
        "The default dictionary, data/lexorum-ru.sqlite, is built by scripts/fetch-data from\n"
        "the OpenCorpora morphology and the Russian documentation of Debian packages. That\n"
        "corpus is mostly software documentation and aphorisms, so everyday themes come\n"
        "out thin. For better pairs, build from texts of your own subject:\n"
        "  lexorum-cli dict build --morph data/cache/az/package/dicts \\\n"
        "      --corpus data/corpus --corpus ~/texts --out ~/my-dictionary.sqlite\n"
        "and choose that file in Orvella's settings.\n");
}

int buildCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    const QCommandLineOption morph(QStringLiteral("morph"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption corpus(QStringLiteral("corpus"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption minFreq(QStringLiteral("min-freq"), QString(), QStringLiteral("N"));
    const QCommandLineOption meta(QStringLiteral("meta"), QString(), QStringLiteral("KEY=VALUE"));
    parser.addOptions({morph, corpus, out, minFreq, meta});
    const QString usage = QStringLiteral("dict build --morph DIR [--corpus PATH]... --out FILE "
                                         "[--min-freq N] [--meta KEY=VALUE]...");
    if (!parseCommand(parser, args, 0, 0, io, usage))
        return parser.isSet(QStringLiteral("help")) ? 0 : CliBadInput;
    if (!parser.isSet(morph) || !parser.isSet(out))
        return io.fail(QStringLiteral("dict build needs --morph DIR and --out FILE"));
    DictBuildOptions options;
    options.morphologyDir = parser.value(morph);
    options.corpusPaths = parser.values(corpus);
    options.outPath = parser.value(out);
    if (parser.isSet(minFreq)) {
        bool ok = false;
        options.minFreq = parser.value(minFreq).toInt(&ok);
        if (!ok || options.minFreq < 1)
            return io.fail(QStringLiteral("--min-freq takes a whole number of at least 1"));
    }
    for (const QString &entry : parser.values(meta)) {
        const qsizetype equals = entry.indexOf(u'=');
        if (equals <= 0)
            return io.fail(QStringLiteral("--meta takes KEY=VALUE, not '%1'").arg(entry));
        options.meta.append({entry.left(equals), entry.mid(equals + 1)});
    }
    QElapsedTimer clock;
    clock.start();
    const DictBuildReport report = buildDictionary(options, [&](const QString &stage) {
        io.warn(QStringLiteral("%1 s: %2").arg(double(clock.elapsed()) / 1000, 0, 'f', 1)
                    .arg(stage));
    });
    if (!report.ok())
        return io.fail(report.error);
    io.print(QStringLiteral("%1: %2 forms of %3 lexemes; %4 corpus tokens (%5 known); "
                            "%6 pairs, %7 triples; %8 s\n")
                 .arg(QDir::toNativeSeparators(options.outPath))
                 .arg(report.formRows)
                 .arg(report.lexemes)
                 .arg(report.corpusTokens)
                 .arg(report.knownTokens)
                 .arg(report.grams2Rows)
                 .arg(report.grams3Rows)
                 .arg(double(clock.elapsed()) / 1000, 0, 'f', 1));
    return 0;
}

int corpusCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("DIR"));
    parser.addOption(out);
    const QString usage = QStringLiteral("dict corpus --out DIR DEB_OR_FOLDER...");
    if (!parseCommand(parser, args, 1, 100000, io, usage))
        return parser.isSet(QStringLiteral("help")) ? 0 : CliBadInput;
    if (!parser.isSet(out))
        return io.fail(QStringLiteral("dict corpus needs --out DIR"));
    for (const QString &source : parser.positionalArguments()) {
        const CorpusExtraction result = extractCorpus(source, parser.value(out));
        if (!result.ok())
            return io.fail(result.error);
        io.print(QStringLiteral("%1: %2 files read, %3 paragraphs kept (%4 repeated "
                                "dropped)\n")
                     .arg(QDir::toNativeSeparators(result.outFile))
                     .arg(result.filesRead)
                     .arg(result.paragraphs)
                     .arg(result.repeatsDropped));
    }
    return 0;
}

int infoCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    if (!parseCommand(parser, args, 1, 1, io, QStringLiteral("dict info FILE")))
        return parser.isSet(QStringLiteral("help")) ? 0 : CliBadInput;
    QStringList lines;
    QString error;
    if (!readDictionaryInfo(parser.positionalArguments().first(), &lines, &error))
        return io.fail(error);
    io.print(lines.join(u'\n') + u'\n');
    return 0;
}

} // namespace

int dictCommand(const QStringList &args, const CliStreams &io)
{
    const QString sub = args.value(0);
    if (sub == u"build")
        return buildCommand(args.mid(1), io);
    if (sub == u"corpus")
        return corpusCommand(args.mid(1), io);
    if (sub == u"info")
        return infoCommand(args.mid(1), io);
    if (sub == u"--help" || sub == u"-h" || sub == u"help") {
        io.print(dictHelp());
        return 0;
    }
    return io.fail(QStringLiteral("dict needs build, corpus or info; see lexorum-cli dict --help"));
}
