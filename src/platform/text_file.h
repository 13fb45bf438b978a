#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <limits>

// All reading and writing of the program's text files goes through here.
//
// Bytes on disk: Windows-1252 with CR LF line ends, so files stay readable by the other
// programs that consume them. On reading, a line that is valid UTF-8 and has non-ASCII bytes is
// taken as UTF-8, any other line as Windows-1252; a UTF-8 byte-order mark at the very start of a
// file is dropped. The writer keeps to the same rules, so that every line reads back exactly: a
// line goes out in UTF-8 when Windows-1252 cannot express one of its characters, or when its
// Windows-1252 bytes would be taken for UTF-8; a file whose first bytes would look like a
// byte-order mark gets one in front.
namespace textfile {

inline constexpr char lineBreak[] = "\r\n";

// Makes a title or reason fit on one line: every CR and LF becomes a blank, so one entry stays
// one line of the file (the readers split at either).
QString oneLine(QString text);

// One line (no line breaks inside) to bytes and back.
QByteArray encodeLine(QStringView line);
QString decodeLine(QByteArrayView bytes);

// A text that may contain line breaks: each line is encoded on its own, the breaks stay as they
// are. atFileStart: the bytes begin a file, so a leading byte-order mark look-alike is guarded.
QByteArray encodeText(QStringView text, bool atFileStart = true);

// Splits bytes into decoded lines. CR LF, LF and a lone CR all end a line; a break at the very
// end does not start another (empty) line. A byte-order mark at the start is not part of the
// first line.
QStringList splitLines(QByteArrayView bytes);

struct ReadResult {
    bool ok = false;
    QStringList lines;
    QString error; // the system's message when !ok
    // Lines left out for being longer than the reader's bound.
    int skippedLines = 0;
};

// Whether the path leads (through links too) to something that is there and is no plain file:
// a folder, a named pipe, a device. Such a path is neither read nor appended to: opening a pipe
// waits for the other end, which may never come, and a device may never end.
bool isSpecialFile(const QString& path);

inline constexpr qint64 unboundedLine = std::numeric_limits<qint64>::max();

// A line longer than maxLineBytes is skipped (counted in skippedLines) without ever being held
// whole; the file itself is read in pieces.
ReadResult readLines(const QString& path, qint64 maxLineBytes = unboundedLine);

// Reads the file piece by piece and hands over each line as soon as it is complete, cut as
// splitLines cuts. A line longer than maxLineBytes comes as overlong, without its bytes, and is
// never held whole. progress is told the bytes read so far and the file's size after each piece;
// when it returns false the reading stops (not ok, no error). lines stays empty.
using LineSink = std::function<void(QByteArrayView line, bool overlong)>;
using ReadProgress = std::function<bool(qint64 read, qint64 size)>;
ReadResult scanLines(const QString& path, qint64 maxLineBytes, const LineSink& onLine,
                     const ReadProgress& progress = {});
// The last line of the file alone, read from at most its last maxBytes bytes, so that a look at
// a file of any size costs no more. lines is empty when the file has none, or when its last line
// is longer than maxBytes.
ReadResult readLastLine(const QString& path, qint64 maxBytes);

struct WriteError {
    QString text; // the system's message
    // The folder lets no new file be created, so the replacement could not be written beside the
    // file (the file itself may well be writable). Saving elsewhere is the way out.
    bool folderRefusesNewFiles = false;
};

// Replaces the file atomically with the lines, each followed by CR LF. The new content is on
// the disk before it takes the old file's place. On failure the previous file is left untouched
// and false is returned with the reason in *error.
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);
bool writeLines(const QString& path, const QStringList& lines, WriteError* error);

// Replaces the file atomically with exactly the encoded text (no break is added).
bool writeText(const QString& path, QStringView text, QString* error = nullptr);

// Replaces the file atomically with exactly these bytes, for files whose format belongs to other
// programs (a desktop entry is UTF-8 with LF line ends, not Windows-1252 with CR LF).
bool writeBytes(const QString& path, QByteArrayView bytes, QString* error = nullptr);
bool writeBytes(const QString& path, QByteArrayView bytes, WriteError* error);

// Appends the encoded text to the end of the file, creating it if needed. The file ends up with
// all of the text or none of it: what a failed write (a full disk) put there is cut off again,
// and what was in the file before is never touched.
bool appendText(const QString& path, QStringView text, QString* error = nullptr);

// Copies a file byte for byte to a path where no file exists yet (an existing one is never
// replaced). The copy is on the disk and read back equal to the source before true is returned;
// on any failure the half-made copy is removed again and the source stays as it was.
bool copyNewFile(const QString& from, const QString& to, QString* error = nullptr);

// Replaces the file `to` atomically with a byte-for-byte copy of `from` (read in pieces). On
// failure the previous `to` is left untouched.
bool replaceWithCopy(const QString& from, const QString& to, QString* error = nullptr);

// Whether a file that is there cannot be opened for writing: read-only, or held by another
// program. A missing path or a folder is no locked file.
bool isLocked(const QString& path);

// Whether two paths name the same file, also when one of them does not exist yet: "..", "./"
// and links are resolved as far as the folders exist. Only paths ending in the same file name
// are looked up on the disk (a link under another name is not followed).
bool isSameFile(const QString& a, const QString& b);

} // namespace textfile
