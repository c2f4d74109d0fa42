#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// The six encodings of the file dialogs, in their order (the value is the index).
enum class TextEncoding { ANSI = 0, ASCII, Unicode, BigEndianUnicode, UTF8, UTF7 };
inline constexpr int TextEncodingCount = 6;

/// The open dialogs' first choice and lexorum-cli's "auto": the encoding is found in the
/// bytes by detectTextEncoding. Stands beside the TextEncoding values wherever a choice
/// is kept as an int.
inline constexpr int AutoDetectEncoding = -1;

/// Names as the dialogs list them: "ANSI", "ASCII", "Unicode", ...
QStringList textEncodingNames();
/// The caption of AutoDetectEncoding in the open dialogs: "Автоопределение".
QString autoDetectName();
/// Command-line names: ansi, ascii, utf16le, utf16be, utf8, utf7; false for others.
bool textEncodingFromName(const QString &name, TextEncoding *encoding);
QByteArray byteOrderMark(TextEncoding encoding);

/// The encoding of a text file with no word from the user: a byte-order mark decides;
/// else bytes that are valid UTF-8 and not all ASCII are UTF8; else ANSI. An empty file
/// is UTF8, as new text is.
TextEncoding detectTextEncoding(QByteArrayView bytes);
/// True when decoded text holds a NUL or is more than a quarter control characters
/// other than tab, line and page breaks: probably no text file.
bool looksBinary(QStringView text);

struct Decoded
{
    QString text;
    int undecodable = 0;  // byte sequences the encoding could not read
};
/// Decodes bytes; skips the encoding's own byte-order mark only.
Decoded decodeText(const QByteArray &bytes, TextEncoding encoding);

struct Encoded
{
    QByteArray bytes;
    int unencodable = 0;  // characters written as a substitute
};
/// Encodes text without a byte-order mark; UTF-7 is flushed at the end.
Encoded encodeText(const QString &text, TextEncoding encoding);
/// Characters of text the encoding cannot hold.
int unencodableCount(const QString &text, TextEncoding encoding);

struct TextFileRead
{
    QString text;         // the decoded file as it stands
    QString error;        // a Russian sentence naming the file; empty on success
    int undecodable = 0;  // bytes the encoding could not read; the text still loads
    TextEncoding encoding = TextEncoding::UTF8;  // the encoding the text was read with
    bool detected = false;  // the encoding was found in the bytes, not chosen
    bool binary = false;    // detected only: the text looks like no text (looksBinary)
    bool ok() const { return error.isEmpty(); }
    QStringList lines() const;
    /// The text a pane shows after opening: every line followed by CR LF.
    QString paneText() const;
};
TextFileRead LoadTextFile(const QString &path, TextEncoding encoding);
/// LoadTextFile with a choice kept as an int: AutoDetectEncoding reads the file with the
/// encoding detectTextEncoding finds in it, any other value is a TextEncoding.
TextFileRead loadTextFileAs(const QString &path, int encodingChoice);

struct TextFileWrite
{
    QString error;        // a Russian sentence naming the file; empty on success
    int unencodable = 0;  // characters written as a substitute
    bool ok() const { return error.isEmpty(); }
};
/// Writes the byte-order mark, then every line followed by CR LF, atomically:
/// a failed write leaves the old file as it was.
TextFileWrite SaveTextFile(const QString &path, TextEncoding encoding, const QStringList &lines);
/// The same for a pane text, written as the lines it holds.
TextFileWrite SavePaneText(const QString &path, TextEncoding encoding, const QString &text);
/// Writes raw bytes atomically; returns the Russian sentence of a failure, empty on success. A
/// symbolic link is followed and kept; a device or a FIFO is written in place, as it cannot be
/// replaced.
QString writeFileAtomically(const QString &path, const QByteArray &bytes);
