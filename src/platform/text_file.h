#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// All reading and writing of the program's text files goes through here.
//
// Bytes on disk: Windows-1252 with CR LF line ends, so files stay readable by the other
// programs that consume them. A line holding a character Windows-1252 cannot express is
// written in UTF-8 instead of losing the character; on reading, a line that is valid UTF-8
// and has non-ASCII bytes is taken as UTF-8, any other line as Windows-1252.
namespace textfile {

inline constexpr char lineBreak[] = "\r\n";

// One line (no line breaks inside) to bytes and back.
QByteArray encodeLine(QStringView line);
QString decodeLine(QByteArrayView bytes);

// A text that may contain CR LF: each line is encoded on its own, the breaks stay CR LF.
QByteArray encodeText(QStringView text);

// Splits bytes into decoded lines. CR LF, LF and a lone CR all end a line; a break at the very
// end does not start another (empty) line.
QStringList splitLines(QByteArrayView bytes);

struct ReadResult {
    bool ok = false;
    QStringList lines;
    QString error; // the system's message when !ok
};

ReadResult readLines(const QString& path);

// Replaces the file atomically with the lines, each followed by CR LF. On failure the previous
// file is left untouched and false is returned with the system's message in *error.
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);

// Replaces the file atomically with exactly the encoded text (no break is added).
bool writeText(const QString& path, QStringView text, QString* error = nullptr);

// Replaces the file atomically with exactly these bytes, for files whose format belongs to other
// programs (a desktop entry is UTF-8 with LF line ends, not Windows-1252 with CR LF).
bool writeBytes(const QString& path, QByteArrayView bytes, QString* error = nullptr);

// Appends the encoded text to the end of the file, creating it if needed. Never truncates.
bool appendText(const QString& path, QStringView text, QString* error = nullptr);

} // namespace textfile
