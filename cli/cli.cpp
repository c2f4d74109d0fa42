#include "cli/cli.h"

#include "cli/clicommands.h"
#include "common/errortext.h"
#include "cli/descriptoroutput.h"

#include <QFile>
#include <QIODevice>

namespace {

struct Command
{
    const char *name;
    int (*run)(const QStringList &args, const CliStreams &io);
    const char *summary;
};

// Each subcommand's own usage comes with `lexorum-cli NAME --help`.
const Command Commands[] = {
    {"lines", linesCommand,
     "lines OP [--encoding ENC] [--out-encoding ENC] FILE   sort, reverse, dedupe, "
     "delete-empty, lower, upper, capitalize"},
    {"replace", replaceCommand,
     "replace --find TEXT --with TEXT [--match-case] [--whole-word] [--encoding ENC] FILE"},
    {"convert", convertCommand, "convert --from ENC --to ENC IN OUT"},
    {"compare", compareCommand,
     "compare [--auto] [--no-auto-compare] [--case CASE] [--encoding ENC] --out DIR FILE..."},
    {"dict", dictCommand,
     "dict build|count|corpus|info ...   the dictionary builder; see dict --help"},
    {"related", relatedCommand,
     "related --dict DB [--black-list FILE] [--pos TAGS] [--rank links|strength] "
     "[--encoding ENC] [--progress] FILE"},
    {"linked", linkedCommand, "linked ...   the search by linked words, with the options of related"},
    {"forms", formsCommand,
     "forms --dict DB [--lemmas] [--encoding ENC] FILE   every form of each word, or "
     "its initial form"},
    {"ngrams", ngramsCommand, "ngrams --dict DB WORD   the word's pairs, then its triples"},
    {"serve", serveCommand,
     "serve --dict DB [--listen ADDR:PORT] [--threads N] [--max-body BYTES] [--max-connections N] "
     "[--max-memory BYTES]"},
};

QString usage()
{
    QString text = QStringLiteral(
        "Usage: lexorum-cli COMMAND [OPTIONS]\n"
        "Batch work on word lists, the way the Lexorum programs do it.\n\nCommands:\n");
    for (const Command &c : Commands)
        text += QStringLiteral("  ") + QString::fromUtf8(c.summary) + u'\n';
    text += QStringLiteral("\nENC is one of ansi, ascii, utf16le, utf16be, utf8 (default), utf7;\n"
                           "a file read may also take auto: a byte-order mark, else valid UTF-8,\n"
                           "else ansi.\n");
    return text;
}

} // namespace

void CliStreams::print(const QString &text) const
{
    out.write(text.toUtf8());
}

void CliStreams::write(const QByteArray &bytes) const
{
    out.write(bytes);
}

void CliStreams::flush() const
{
    if (auto *output = dynamic_cast<DescriptorOutput *>(&out))
        output->flushAll();
    else if (auto *file = qobject_cast<QFile *>(&out))
        file->flush();
}

void CliStreams::warn(const QString &line) const
{
    err.write((line + u'\n').toUtf8());
    if (auto *file = qobject_cast<QFile *>(&err))
        file->flush();
}

int CliStreams::fail(const QString &line) const
{
    warn(QStringLiteral("lexorum-cli: ") + line);
    return CliBadInput;
}

namespace {

// What standard output is, for the message: a file's path, else its Russian name.
QString standardOutputName()
{
    const QString target = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/1"));
    return target.startsWith(u'/') ? target : QStringLiteral("стандартный вывод");
}

int runCommand(const QStringList &args, const CliStreams &io);

} // namespace

int runCli(const QStringList &args, const CliStreams &io)
{
    const int status = runCommand(args, io);
    // Standard output fails as late as its last flush (a full disk, /dev/full): a command
    // that wrote nothing whole must not report success.
    auto *output = dynamic_cast<DescriptorOutput *>(&io.out);
    if (output && !output->flushAll())
        return io.fail(
            errnoMessage(output->errorNumber(), standardOutputName(), FileAction::Write));
    return status;
}

namespace {

int runCommand(const QStringList &args, const CliStreams &io)
{
    if (args.isEmpty())
        return io.fail(QStringLiteral("no command; see lexorum-cli --help"));
    const QString name = args.first();
    if (name == u"--help" || name == u"-h" || name == u"help") {
        io.print(usage());
        return 0;
    }
    for (const Command &c : Commands)
        if (name == QLatin1StringView(c.name))
            return c.run(args.mid(1), io);
    return io.fail(QStringLiteral("unknown command '%1'; see lexorum-cli --help").arg(name));
}

} // namespace
