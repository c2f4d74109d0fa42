#include "cli/clicommands.h"

#include "common/linelist.h"
#include "common/textlines.h"
#include "cli/cli.h"

#include <QCommandLineParser>
#include <QDir>

#include <functional>

bool parseCommand(QCommandLineParser &parser, const QStringList &args, int minPositional,
                  int maxPositional, const CliStreams &io, const QString &usage)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("lexorum-cli")} + args)) {
        io.fail(parser.errorText());
        return false;
    }
    if (parser.isSet(help)) {
        io.print(QStringLiteral("Usage: lexorum-cli ") + usage + u'\n');
        return false;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < minPositional || count > maxPositional) {
        io.fail(QStringLiteral("usage: lexorum-cli ") + usage);
        return false;
    }
    return true;
}

bool encodingOption(const QCommandLineParser &parser, const QString &option,
                    TextEncoding *encoding, const CliStreams &io)
{
    *encoding = TextEncoding::UTF8;
    if (!parser.isSet(option))
        return true;
    const QString name = parser.value(option);
    if (textEncodingFromName(name, encoding))
        return true;
    io.fail(QStringLiteral("unknown encoding '%1' (ansi, ascii, utf16le, utf16be, utf8, utf7)")
                .arg(name));
    return false;
}

bool inputEncodingOption(const QCommandLineParser &parser, const QString &option,
                         int *encodingChoice, const CliStreams &io)
{
    if (parser.value(option) == u"auto") {
        *encodingChoice = AutoDetectEncoding;
        return true;
    }
    TextEncoding encoding;
    if (!encodingOption(parser, option, &encoding, io))
        return false;
    *encodingChoice = int(encoding);
    return true;
}

bool loadListFile(const QString &path, int encodingChoice, const CliStreams &io,
                  QStringList *lines)
{
    const TextFileRead read = loadTextFileAs(path, encodingChoice);
    if (!read.ok()) {
        io.fail(read.error);
        return false;
    }
    if (read.binary) {
        io.fail(QStringLiteral("Файл «%1», вероятно, не текстовый: в нём есть нулевые байты или "
                               "много управляющих знаков. Чтобы прочитать его всё же, укажите "
                               "кодировку (--encoding).")
                    .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (read.undecodable > 0)
        io.warn(QStringLiteral("lexorum-cli: %1: %2 byte sequences are not valid in this "
                               "encoding and were replaced")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(read.undecodable));
    *lines = read.lines();
    return true;
}

namespace {

// A help request is answered in parseCommand and ends the command successfully.
int parsedOrStatus(const QCommandLineParser &parser)
{
    return parser.isSet(QStringLiteral("help")) ? 0 : CliBadInput;
}

QString lineOperationNames()
{
    return QStringLiteral("sort, reverse, dedupe, delete-empty, lower, upper, capitalize");
}

bool lineOperation(const QString &name, std::function<QStringList(const QStringList &)> *op)
{
    if (name == u"sort")
        *op = SortList;
    else if (name == u"reverse")
        *op = ReverseList;
    else if (name == u"dedupe")
        *op = DeleteRepeatedLines;
    else if (name == u"delete-empty")
        *op = DeleteEmptyLines;
    else if (name == u"lower")
        *op = [](const QStringList &l) { return splitLines(LowerCaseText(joinLines(l))); };
    else if (name == u"upper")
        *op = [](const QStringList &l) { return splitLines(UpperCaseText(joinLines(l))); };
    else if (name == u"capitalize")
        *op = CapitalizeLines;
    else
        return false;
    return true;
}

} // namespace

int linesCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("encoding"), QString(), QStringLiteral("ENC")});
    parser.addOption({QStringLiteral("out-encoding"), QString(), QStringLiteral("ENC")});
    const QString usage = QStringLiteral("lines OP [--encoding ENC] [--out-encoding ENC] FILE "
                                         "(OP: ") + lineOperationNames() + u')';
    if (!parseCommand(parser, args, 2, 2, io, usage))
        return parsedOrStatus(parser);
    std::function<QStringList(const QStringList &)> op;
    if (!lineOperation(parser.positionalArguments().at(0), &op))
        return io.fail(QStringLiteral("unknown operation '%1' (%2)")
                           .arg(parser.positionalArguments().at(0), lineOperationNames()));
    int in;
    TextEncoding out;
    if (!inputEncodingOption(parser, QStringLiteral("encoding"), &in, io)
        || !encodingOption(parser, QStringLiteral("out-encoding"), &out, io))
        return CliBadInput;
    QStringList lines;
    if (!loadListFile(parser.positionalArguments().at(1), in, io, &lines))
        return CliBadInput;
    const Encoded encoded = encodeText(joinLines(op(lines)), out);
    if (encoded.unencodable > 0)
        io.warn(QStringLiteral("lexorum-cli: %1 characters cannot be written in this encoding "
                               "and were replaced")
                    .arg(encoded.unencodable));
    io.write(encoded.bytes);
    return 0;
}

int replaceCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("find"), QString(), QStringLiteral("TEXT")});
    parser.addOption({QStringLiteral("with"), QString(), QStringLiteral("TEXT")});
    parser.addOption({QStringLiteral("match-case"), QString()});
    parser.addOption({QStringLiteral("whole-word"), QString()});
    parser.addOption({QStringLiteral("encoding"), QString(), QStringLiteral("ENC")});
    const QString usage = QStringLiteral(
        "replace --find TEXT --with TEXT [--match-case] [--whole-word] [--encoding ENC] FILE");
    if (!parseCommand(parser, args, 1, 1, io, usage))
        return parsedOrStatus(parser);
    if (!parser.isSet(QStringLiteral("find")) || !parser.isSet(QStringLiteral("with")))
        return io.fail(QStringLiteral("usage: lexorum-cli ") + usage);
    int encoding;
    if (!inputEncodingOption(parser, QStringLiteral("encoding"), &encoding, io))
        return CliBadInput;
    QStringList lines;
    if (!loadListFile(parser.positionalArguments().at(0), encoding, io, &lines))
        return CliBadInput;
    const Replaced r = ReplaceAll(joinLines(lines), parser.value(QStringLiteral("find")),
                                  parser.value(QStringLiteral("with")),
                                  parser.isSet(QStringLiteral("match-case")),
                                  parser.isSet(QStringLiteral("whole-word")));
    io.print(r.text);
    io.warn(QStringLiteral("Произведено замен: ") + QString::number(r.count));
    return 0;
}

int convertCommand(const QStringList &args, const CliStreams &io)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("from"), QString(), QStringLiteral("ENC")});
    parser.addOption({QStringLiteral("to"), QString(), QStringLiteral("ENC")});
    const QString usage = QStringLiteral("convert --from ENC --to ENC IN OUT");
    if (!parseCommand(parser, args, 2, 2, io, usage))
        return parsedOrStatus(parser);
    if (!parser.isSet(QStringLiteral("from")) || !parser.isSet(QStringLiteral("to")))
        return io.fail(QStringLiteral("usage: lexorum-cli ") + usage);
    int from;
    TextEncoding to;
    if (!inputEncodingOption(parser, QStringLiteral("from"), &from, io)
        || !encodingOption(parser, QStringLiteral("to"), &to, io))
        return CliBadInput;
    QStringList lines;
    if (!loadListFile(parser.positionalArguments().at(0), from, io, &lines))
        return CliBadInput;
    const TextFileWrite written = SaveTextFile(parser.positionalArguments().at(1), to, lines);
    if (!written.ok())
        return io.fail(written.error);
    if (written.unencodable > 0)
        io.warn(QStringLiteral("lexorum-cli: %1 characters cannot be written in this encoding "
                               "and were written as '?'")
                    .arg(written.unencodable));
    return 0;
}
