#pragma once

#include "common/textfile.h"

#include <QStringList>

struct CliStreams;
class QCommandLineParser;

// One function per subcommand of lexorum-cli; args start after the subcommand name.
int linesCommand(const QStringList &args, const CliStreams &io);
int replaceCommand(const QStringList &args, const CliStreams &io);
int convertCommand(const QStringList &args, const CliStreams &io);
int compareCommand(const QStringList &args, const CliStreams &io);
int serveCommand(const QStringList &args, const CliStreams &io);
int dictCommand(const QStringList &args, const CliStreams &io);
int relatedCommand(const QStringList &args, const CliStreams &io);
int linkedCommand(const QStringList &args, const CliStreams &io);
int formsCommand(const QStringList &args, const CliStreams &io);
int ngramsCommand(const QStringList &args, const CliStreams &io);

/// Parses args into parser (whose options the caller added) and checks the count of
/// positional arguments; on failure writes the message and returns false.
bool parseCommand(QCommandLineParser &parser, const QStringList &args, int minPositional,
                  int maxPositional, const CliStreams &io, const QString &usage);
/// Reads an encoding option (default utf8); on an unknown name writes the message.
bool encodingOption(const QCommandLineParser &parser, const QString &option,
                    TextEncoding *encoding, const CliStreams &io);
/// Reads the encoding option of an input file: the names above or "auto" for
/// AutoDetectEncoding; default utf8.
bool inputEncodingOption(const QCommandLineParser &parser, const QString &option,
                         int *encodingChoice, const CliStreams &io);
/// Loads a list file as a window opens it, with an encoding or AutoDetectEncoding; on
/// failure, and for a detected file that looks binary, writes the message.
bool loadListFile(const QString &path, int encodingChoice, const CliStreams &io,
                  QStringList *lines);
