#include "cli/clicommands.h"

#include "common/textlines.h"
#include "compare/autoactions.h"
#include "compare/comparison.h"
#include "compare/statistics.h"
#include "cli/cli.h"
#include "cli/interruptcleanup.h"
#include "common/errortext.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

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

// Renames the finished folder to the target; into a target that exists, file by file, each
// replacing its namesake in one step.
QString moveResults(const QString &from, const QString &to)
{
    std::error_code failure;
    if (!QFileInfo::exists(to)) {
        std::filesystem::rename(QFile::encodeName(from).toStdString(),
                                QFile::encodeName(to).toStdString(), failure);
    } else {
        for (const QString &name : QDir(from).entryList(QDir::Files)) {
            std::filesystem::rename(QFile::encodeName(from + u'/' + name).toStdString(),
                                    QFile::encodeName(to + u'/' + name).toStdString(), failure);
            if (failure)
                break;
        }
    }
    if (!failure)
        return QString();
    return errnoMessage(failure.value(), to, FileAction::Write);
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

    // The results are written into a folder beside the target and moved in at the end, so the
    // target holds a whole set of results or none; an interruption removes the folder.
    const QFileInfo target(parser.value(QStringLiteral("out")));
    if (target.exists() && !target.isDir())
        return io.fail(QStringLiteral("%1 is not a folder")
                           .arg(QDir::toNativeSeparators(target.filePath())));
    if (!QDir().mkpath(target.absolutePath()))
        return io.fail(QStringLiteral("cannot create the folder %1")
                           .arg(QDir::toNativeSeparators(target.absolutePath())));
    const InterruptCleanup cleanup;
    // The pattern catches the folder should a signal come between its making and its adding.
    InterruptCleanup::addPattern(target.absolutePath(), target.fileName() + u'.',
                                 QStringLiteral(".part"));
    QTemporaryDir part(target.absoluteFilePath() + QStringLiteral(".XXXXXX.part"));
    if (!part.isValid())
        return io.fail(QStringLiteral("cannot create the folder %1: %2")
                           .arg(QDir::toNativeSeparators(part.path()), part.errorString()));
    InterruptCleanup::add(part.path());
    QFile::setPermissions(part.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                           | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                           | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                           | QFileDevice::ExeOther);
    const QDir directory(part.path());
    // One result at a time: ten big lists have absent results many times their own size.
    QString error;
    auto write = [&](const QString &name, const QStringList &lines) {
        if (error.isEmpty())
            error = writeFileAtomically(directory.filePath(name), joinLines(lines).toUtf8());
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
    // The sentence names the file as the user asked for it, not its temporary folder.
    if (!error.isEmpty())
        return io.fail(error.replace(QDir::toNativeSeparators(part.path()),
                                     QDir::toNativeSeparators(target.absoluteFilePath())));
    const bool whole = !target.exists();
    error = moveResults(part.path(), target.absoluteFilePath());
    InterruptCleanup::forget(part.path());
    if (error.isEmpty() && whole)
        part.setAutoRemove(false);
    return error.isEmpty() ? 0 : io.fail(error);
}
