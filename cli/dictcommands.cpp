#include "cli/clicommands.h"

#include "cli/cli.h"
#include "cli/interruptcleanup.h"
#include "dictionary/corpusextractor.h"
#include "dictionary/dictbuilder.h"
#include "dictionary/ngramcounter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <string>

#include <poll.h>
#include <unistd.h>

namespace {

QString dictHelp()
{
    return QStringLiteral(
        "Usage: lexorum-cli dict build --morph DIR [--corpus PATH]... [--counts FILE]...\n"
        "                              --out FILE [--min-freq N] [--memory SIZE]\n"
        "                              [--progress machine] [--meta KEY=VALUE]...\n"
        "       lexorum-cli dict count --out FILE [--memory SIZE] [--progress machine]\n"
        "                              PATH...\n"
        "       lexorum-cli dict corpus --out DIR DEB_OR_FOLDER...\n"
        "       lexorum-cli dict info FILE\n"
        "\n"
        "build   writes an Orvella dictionary: every word form of the morphology (DIR is\n"
        "        the dicts/ folder of the OpenCorpora morphology as the npm package az\n"
        "        ships it) with its initial form and tags, and the word pairs and triples\n"
        "        counted in the corpus, and in the counts files of dict count. A corpus\n"
        "        PATH is a file or a folder read recursively: plain text in UTF-8, UTF-16\n"
        "        or Windows-1251 (told apart by itself), HTML, FB2 (.fb2, .fb2.zip), EPUB,\n"
        "        zip archives of those, Wikipedia dumps (*-pages-articles*.xml.bz2),\n"
        "        each also as .gz, .bz2 or .xz. A file that cannot be read is named and\n"
        "        skipped. Pairs and triples seen fewer than N times are left out (by\n"
        "        default 1 below 10 million tokens, 2 from there on). The counts stay\n"
        "        within SIZE of memory (512M, 4G; by default a quarter of the memory,\n"
        "        at most 4G) by spilling sorted runs beside the output file. The file is\n"
        "        replaced only when the build succeeds.\n"
        "count   counts a share of a corpus into FILE for build --counts, so that a large\n"
        "        corpus can be counted in independent jobs and merged by one build.\n"
        "corpus  turns Debian packages (.deb) or unpacked trees into plain UTF-8 text for\n"
        "        build: the Russian HTML pages, help pages, manual pages, message\n"
        "        catalogues and fortunes they hold, one paragraph per line.\n"
        "info    prints what a dictionary was built from and what it holds.\n"
        "\n"
        "--progress machine prints the progress on standard output, one line each:\n"
        "stage KEY (count, match, choose, forms, grams, index), tokens N, skipped\n"
        "MESSAGE, and at the end done FILE; a line \"cancel\" on standard input stops\n"
        "the build, and no file is left.\n"
        "\n"
        "The default dictionary, data/lexorum-ru.sqlite, is built by scripts/fetch-data from\n"
        "the OpenCorpora morphology and the Russian documentation of Debian packages. That\n"
        "corpus is mostly software documentation and aphorisms, so everyday themes come\n"
        "out thin. For better pairs, build from texts of your own subject:\n"
        "  lexorum-cli dict build --morph data/cache/az/package/dicts \\\n"
        "      --corpus data/corpus --corpus ~/texts --out ~/my-dictionary.sqlite\n"
        "and choose that file in Orvella's settings.\n");
}

// "512M", "4G", "65536K" or plain bytes; 0 when the text is none of these.
std::size_t parseSize(const QString &text)
{
    static const QString Units = QStringLiteral("KMG");
    QString digits = text.trimmed().toUpper();
    int shift = 0;
    if (!digits.isEmpty() && Units.contains(digits.back())) {
        shift = 10 * (int(Units.indexOf(digits.back())) + 1);
        digits.chop(1);
    }
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    if (!ok || value == 0 || value > (qulonglong(1) << (60 - shift)))
        return 0;
    return std::size_t(value) << shift;
}

// Whether a line "cancel" has come on standard input. Asked by the build itself at each
// of its checks, without waiting: a cancel written before a check is always seen there.
bool cancelRequested()
{
    static bool cancelled = false;
    static std::string pending;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    while (!cancelled && poll(&input, 1, 0) > 0 && (input.revents & POLLIN)) {
        char buffer[256];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0)
            break;
        pending.append(buffer, std::size_t(got));
        cancelled = pending.find("cancel") != std::string::npos;
        if (pending.size() > 64)
            pending.erase(0, pending.size() - 8);
    }
    return cancelled;
}

// The options build and count share: --out, --memory and --progress.
struct SharedOptions
{
    QCommandLineOption out{QStringLiteral("out"), QString(), QStringLiteral("FILE")};
    QCommandLineOption memory{QStringLiteral("memory"), QString(), QStringLiteral("SIZE")};
    QCommandLineOption progress{QStringLiteral("progress"), QString(), QStringLiteral("machine")};
};

// Reads the shared options into options; an error message, or empty.
QString readSharedOptions(const QCommandLineParser &parser, const SharedOptions &shared,
                          DictBuildOptions *options, bool *machine)
{
    options->outPath = parser.value(shared.out);
    if (parser.isSet(shared.memory)) {
        options->memoryBytes = parseSize(parser.value(shared.memory));
        if (options->memoryBytes < (std::size_t(1) << 20))
            return QStringLiteral("--memory takes a size of at least 1M, such as 512M or 4G");
    }
    *machine = parser.isSet(shared.progress);
    if (*machine && parser.value(shared.progress) != u"machine")
        return QStringLiteral("--progress takes machine");
    return {};
}

// How a build or count reports: machine lines on standard output, or stages on standard
// error with the seconds since the start.
DictBuildHooks hooksFor(bool machine, const CliStreams &io, const QElapsedTimer &clock)
{
    DictBuildHooks hooks;
    const auto line = [&io](const QString &text) {
        io.print(text + u'\n');
        io.flush();
    };
    if (machine) {
        hooks.stage = [line](const QString &key, const QString &) {
            line(QStringLiteral("stage ") + key);
        };
        hooks.tokens = [line](std::uint64_t tokens) {
            line(QStringLiteral("tokens %1").arg(tokens));
        };
        hooks.skipped = [line](const QString &message) {
            line(QStringLiteral("skipped ") + message);
        };
        hooks.cancelled = &cancelRequested;
    } else {
        hooks.stage = [&io, &clock](const QString &, const QString &text) {
            io.warn(QStringLiteral("%1 s: %2").arg(double(clock.elapsed()) / 1000, 0, 'f', 1)
                        .arg(text));
        };
        hooks.skipped = [&io](const QString &message) {
            io.warn(QStringLiteral("skipped: ") + message);
        };
    }
    return hooks;
}

// A signal removes the temporaries a build or count writes beside out: the spilled runs of its
// counts and, for a build, the dictionary before its rename. Each is also added once created;
// the patterns catch one that a signal finds created but not yet added.
void cleanUpTemporariesOf(const QString &out, bool dictionary)
{
    const QFileInfo target(out);
    InterruptCleanup::addPattern(target.absolutePath(), NgramCounter::runPrefix(),
                                 NgramCounter::runSuffix());
    if (dictionary)
        InterruptCleanup::addPattern(target.absolutePath(), target.fileName() + u'.',
                                     QStringLiteral(".part"));
}

int buildCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    const SharedOptions shared;
    const QCommandLineOption morph(QStringLiteral("morph"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption corpus(QStringLiteral("corpus"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption counts(QStringLiteral("counts"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption minFreq(QStringLiteral("min-freq"), QString(), QStringLiteral("N"));
    const QCommandLineOption meta(QStringLiteral("meta"), QString(), QStringLiteral("KEY=VALUE"));
    parser.addOptions({morph, corpus, counts, shared.out, minFreq, shared.memory,
                       shared.progress, meta});
    const QString usage = QStringLiteral("dict build --morph DIR [--corpus PATH]... "
                                         "[--counts FILE]... --out FILE [--min-freq N] "
                                         "[--memory SIZE] [--progress machine] "
                                         "[--meta KEY=VALUE]...");
    if (!parseCommand(parser, args, 0, 0, io, usage))
        return parser.isSet(QStringLiteral("help")) ? 0 : CliBadInput;
    if (!parser.isSet(morph) || !parser.isSet(shared.out))
        return io.fail(QStringLiteral("dict build needs --morph DIR and --out FILE"));
    DictBuildOptions options;
    bool machine = false;
    const QString wrong = readSharedOptions(parser, shared, &options, &machine);
    if (!wrong.isEmpty())
        return io.fail(wrong);
    options.morphologyDir = parser.value(morph);
    options.corpusPaths = parser.values(corpus);
    options.countsPaths = parser.values(counts);
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
    const InterruptCleanup cleanup;
    cleanUpTemporariesOf(options.outPath, true);
    QElapsedTimer clock;
    clock.start();
    DictBuildHooks hooks = hooksFor(machine, io, clock);
    hooks.temporaryCreated = [](const QString &path) { InterruptCleanup::add(path); };
    const DictBuildReport report = buildDictionary(options, hooks);
    if (!report.ok())
        return io.fail(report.error);
    const QString summary =
        QStringLiteral("%1: %2 forms of %3 lexemes; %4 corpus tokens (%5 known); "
                       "%6 pairs, %7 triples (seen at least %8 times); %9 s")
            .arg(QDir::toNativeSeparators(options.outPath))
            .arg(report.formRows)
            .arg(report.lexemes)
            .arg(report.corpusTokens)
            .arg(report.knownTokens)
            .arg(report.grams2Rows)
            .arg(report.grams3Rows)
            .arg(report.minFreq)
            .arg(double(clock.elapsed()) / 1000, 0, 'f', 1);
    if (machine)
        io.print(QStringLiteral("done %1\n").arg(QDir::toNativeSeparators(options.outPath)));
    else
        io.print(summary + u'\n');
    return 0;
}

int countCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    const SharedOptions shared;
    parser.addOptions({shared.out, shared.memory, shared.progress});
    const QString usage = QStringLiteral("dict count --out FILE [--memory SIZE] "
                                         "[--progress machine] PATH...");
    if (!parseCommand(parser, args, 1, 1000000, io, usage))
        return parser.isSet(QStringLiteral("help")) ? 0 : CliBadInput;
    if (!parser.isSet(shared.out))
        return io.fail(QStringLiteral("dict count needs --out FILE"));
    DictBuildOptions options;
    bool machine = false;
    const QString wrong = readSharedOptions(parser, shared, &options, &machine);
    if (!wrong.isEmpty())
        return io.fail(wrong);
    options.corpusPaths = parser.positionalArguments();
    const InterruptCleanup cleanup;
    cleanUpTemporariesOf(options.outPath, false);
    QElapsedTimer clock;
    clock.start();
    DictBuildHooks hooks = hooksFor(machine, io, clock);
    hooks.temporaryCreated = [](const QString &path) { InterruptCleanup::add(path); };
    const DictBuildReport report = countCorpus(options, hooks);
    if (!report.ok())
        return io.fail(report.error);
    if (machine)
        io.print(QStringLiteral("done %1\n").arg(QDir::toNativeSeparators(options.outPath)));
    else
        io.print(QStringLiteral("%1: %2 tokens counted (%3 files skipped); %4 s\n")
                     .arg(QDir::toNativeSeparators(options.outPath))
                     .arg(report.corpusTokens)
                     .arg(report.skippedFiles)
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
    if (sub == u"count")
        return countCommand(args.mid(1), io);
    if (sub == u"corpus")
        return corpusCommand(args.mid(1), io);
    if (sub == u"info")
        return infoCommand(args.mid(1), io);
    if (sub == u"--help" || sub == u"-h" || sub == u"help") {
        io.print(dictHelp());
        return 0;
    }
    return io.fail(QStringLiteral("dict needs build, count, corpus or info; see lexorum-cli dict --help"));
}
