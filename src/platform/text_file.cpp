#include "text_file.h"

#include "file_sync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace textfile {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, so every byte reads back as itself.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int cp1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < cp1252High.size(); ++i) {
        if (cp1252High[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

bool isValidUtf8WithNonAscii(QByteArrayView bytes) {
    bool nonAscii = false;
    for (char ch : bytes) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
            nonAscii = true;
            break;
        }
    }
    // Rejects what the UTF-8 decoder flags (overlong forms, surrogates, beyond U+10FFFF),
    // without building the text.
    return nonAscii && bytes.isValidUtf8();
}

constexpr char byteOrderMark[] = "\xEF\xBB\xBF";

bool startsWithByteOrderMark(QByteArrayView bytes) {
    return bytes.startsWith(QByteArrayView(byteOrderMark));
}

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

QString errorText(const QFileDevice& file) {
    return file.errorString();
}

// A write cut short by a full disk sets no message in Qt 6.4 ("Unknown error"); the system's
// own reason from the failed call is what the user needs.
QString writeErrorText(const QFileDevice& file, int systemError) {
    const QString text = file.errorString();
    if (systemError != 0 && text == QFile().errorString())
        return qt_error_string(systemError);
    return text;
}

// The next CR or LF, found with memchr (a file of hundreds of megabytes without a break is
// searched in moments, even in a debug build). Each position found is kept until it is passed,
// so a file with only one of the two is not searched to its end for the other at every line.
class BreakFinder {
public:
    BreakFinder(const char* bytes, qsizetype size) : m_bytes(bytes), m_size(size) {}
    qsizetype next(qsizetype from) {
        if (m_cr < from)
            m_cr = find('\r', from);
        if (m_lf < from)
            m_lf = find('\n', from);
        return std::min(m_cr, m_lf);
    }

private:
    qsizetype find(char c, qsizetype from) const {
        if (from >= m_size)
            return m_size;
        const void* at = std::memchr(m_bytes + from, c, static_cast<std::size_t>(m_size - from));
        return at ? static_cast<const char*>(at) - m_bytes : m_size;
    }
    const char* m_bytes;
    qsizetype m_size;
    qsizetype m_cr = -1;
    qsizetype m_lf = -1;
};

QString notPlainFileText() {
    return QStringLiteral("not a plain file (a folder, a named pipe or a device)");
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

QString oneLine(QString text) {
    for (QChar& c : text) {
        if (isLineBreak(c))
            c = QLatin1Char(' ');
    }
    return text;
}

QByteArray encodeLine(QStringView line) {
    QByteArray out;
    out.reserve(line.size());
    for (QChar qc : line) {
        const int b = cp1252Byte(qc.unicode());
        if (b < 0)
            return line.toUtf8();
        out.append(static_cast<char>(b));
    }
    // "Maß²" is 4D 61 DF B2 in Windows-1252, and DF B2 is also a valid UTF-8 sequence: the reader
    // would see U+07F2. The UTF-8 form of such a line is unambiguous.
    if (isValidUtf8WithNonAscii(out))
        return line.toUtf8();
    return out;
}

QString decodeLine(QByteArrayView bytes) {
    // Most lines are plain ASCII, read the same by every rule; the settings file alone is read
    // line by line once per key at start-up.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char ch) { return static_cast<unsigned char>(ch) < 0x80; }))
        return QString::fromLatin1(bytes);
    if (isValidUtf8WithNonAscii(bytes)) {
        // QString::fromUtf8 would drop a leading U+FEFF, which may well be the line's own text;
        // the byte-order mark of a file is taken off before its lines are cut.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(bytes);
    }
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* to = out.data();
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *to++ = QChar(b >= 0x80 && b < 0xA0 ? cp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

QByteArray encodeText(QStringView text, bool atFileStart) {
    QByteArray out;
    out.reserve(text.size() + 8);
    // Lines are cut where the reader cuts them, so each is encoded by the rule it is read by.
    qsizetype from = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isLineBreak(text[i]))
            continue;
        out.append(encodeLine(text.sliced(from, i - from)));
        if (i < text.size())
            out.append(static_cast<char>(text[i].unicode()));
        from = i + 1;
    }
    // The reader drops a byte-order mark at the start of a file (editors put one there). A first
    // line that begins with those bytes itself keeps them behind a mark of its own.
    if (atFileStart && startsWithByteOrderMark(out))
        out.prepend(byteOrderMark);
    return out;
}

QStringList splitLines(QByteArrayView bytes) {
    QStringList lines;
    if (startsWithByteOrderMark(bytes))
        bytes = bytes.sliced(3);
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.append(decodeLine(bytes.sliced(start, i - start)));
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
                ++i;
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append(decodeLine(bytes.sliced(start)));
    return lines;
}

bool isSpecialFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

ReadResult readLines(const QString& path, qint64 maxLineBytes) {
    QStringList lines;
    int skipped = 0;
    ReadResult result = scanLines(path, maxLineBytes, [&](QByteArrayView line, bool overlong) {
        if (overlong)
            ++skipped;
        else
            lines.append(decodeLine(line));
    });
    if (result.ok) {
        result.lines = std::move(lines);
        result.skippedLines = skipped;
    }
    return result;
}

ReadResult scanLines(const QString& path, qint64 maxLineBytes, const LineSink& onLine,
                     const ReadProgress& progress) {
    ReadResult result;
    if (isSpecialFile(path)) {
        result.error = notPlainFileText();
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = errorText(file);
        return result;
    }
    const qint64 size = file.size();
    constexpr qint64 pieceSize = 1 << 20;
    QByteArray pending;    // the lines not yet handed over, the last one unfinished
    qsizetype scanned = 0; // bytes of pending already known to hold no line break
    // Bytes of pending's first line that were let go of, since it had grown past the bound.
    qint64 dropped = 0;
    bool atStart = true;
    qint64 consumed = 0;
    const auto lineEnds = [&](QByteArrayView line) {
        if (dropped + line.size() > maxLineBytes)
            onLine({}, true);
        else
            onLine(line, false);
        dropped = 0;
    };
    for (;;) {
        const QByteArray piece = file.read(pieceSize);
        if (file.error() != QFileDevice::NoError) {
            result.error = errorText(file);
            return result;
        }
        const bool atEnd = piece.isEmpty();
        pending += piece;
        consumed += piece.size();
        if (atStart && (pending.size() >= 3 || atEnd)) {
            atStart = false;
            if (startsWithByteOrderMark(pending))
                pending.remove(0, 3);
        }
        if (atStart)
            continue;
        qsizetype start = 0;
        const qsizetype n = pending.size();
        qsizetype i = scanned;
        BreakFinder breaks(pending.constData(), n);
        for (; (i = breaks.next(i)) < n; ++i) {
            const char c = pending[i];
            // A CR at the end of a piece may be the first half of a CR LF.
            if (c == '\r' && i + 1 == n && !atEnd)
                break;
            lineEnds(QByteArrayView(pending).sliced(start, i - start));
            if (c == '\r' && i + 1 < n && pending[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        if (atEnd) {
            if (start < n || dropped > 0)
                lineEnds(QByteArrayView(pending).sliced(start));
            break;
        }
        // What is left is the start of a line. Past the bound it is let go of, all but a CR
        // that may begin the line break.
        const qsizetype kept = pending.endsWith('\r') ? 1 : 0;
        if (dropped + (n - kept - start) > maxLineBytes) {
            dropped += n - kept - start;
            pending = pending.right(kept);
            scanned = 0;
        } else {
            pending.remove(0, start);
            scanned = i - start;
        }
        if (progress && !progress(consumed, size))
            return result;
    }
    result.ok = true;
    return result;
}

ReadResult readLastLine(const QString& path, qint64 maxBytes) {
    ReadResult result;
    if (isSpecialFile(path)) {
        result.error = notPlainFileText();
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = errorText(file);
        return result;
    }
    const qint64 size = file.size();
    const qint64 from = std::max<qint64>(0, size - maxBytes);
    if (from > 0 && !file.seek(from)) {
        result.error = errorText(file);
        return result;
    }
    QByteArray bytes = file.read(size - from);
    if (file.error() != QFileDevice::NoError) {
        result.error = errorText(file);
        return result;
    }
    result.ok = true;
    if (from > 0) {
        // The first line read may be cut short: only what follows a line break is whole.
        const auto firstBreak =
            std::find_if(bytes.cbegin(), bytes.cend(), [](char c) { return c == '\r' || c == '\n'; });
        if (firstBreak == bytes.cend())
            return result;
        bytes.remove(0, firstBreak - bytes.cbegin() + 1);
    }
    const QStringList lines = splitLines(bytes);
    if (!lines.isEmpty())
        result.lines.append(lines.last());
    return result;
}

bool writeText(const QString& path, QStringView text, QString* error) {
    return writeBytes(path, encodeText(text), error);
}

bool writeBytes(const QString& path, QByteArrayView bytes, QString* error) {
    WriteError failure;
    const bool ok = writeBytes(path, bytes, &failure);
    if (!ok)
        setError(error, failure.text);
    return ok;
}

namespace {

// Replaces the file at path atomically with what fill writes into the new file. fill returns
// false when a write fails (errno set by the call) or, with *reason set, when its source fails.
bool replaceFile(const QString& path, const std::function<bool(QSaveFile&, QString* reason)>& fill,
                 WriteError* error) {
    WriteError failure;
    const auto fail = [&](const QString& text) {
        failure.text = text;
        if (error)
            *error = failure;
        return false;
    };
    QSaveFile file(path);
    // The previous file must survive a failed write, so never fall back to writing in place: a
    // crash in the middle would leave a file cut short.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        // QSaveFile has already refused a target that is itself not writable or a folder; what is
        // left to fail is the new file beside the target.
        const QFileInfo folder(QFileInfo(path).absolutePath());
        failure.folderRefusesNewFiles =
            file.error() == QFileDevice::OpenError && folder.isDir() && !folder.isWritable();
        return fail(errorText(file));
    }
    // The reason is taken before cancelWriting(), which replaces it with its own.
    errno = 0;
    QString sourceReason;
    if (!fill(file, &sourceReason)) {
        const QString reason = sourceReason.isEmpty() ? writeErrorText(file, errno) : sourceReason;
        file.cancelWriting();
        return fail(reason);
    }
    // A text shorter than the write buffer only reaches the disk here; QSaveFile::commit() (Qt
    // 6.4) does not notice when that flush fails and would rename a truncated file into place.
    if (!file.flush()) {
        const QString reason = writeErrorText(file, errno);
        file.cancelWriting();
        return fail(reason);
    }
    // Nor does commit() wait for the data to reach the disk before the rename.
    QString syncError;
    if (!syncToDisk(file, &syncError)) {
        file.cancelWriting();
        return fail(syncError);
    }
    if (!file.commit())
        return fail(errorText(file));
    return true;
}

} // namespace

bool writeBytes(const QString& path, QByteArrayView bytes, WriteError* error) {
    return replaceFile(
        path,
        [bytes](QSaveFile& file, QString*) { return file.write(bytes.data(), bytes.size()) == bytes.size(); },
        error);
}

bool replaceWithCopy(const QString& from, const QString& to, QString* error) {
    if (isSpecialFile(from)) {
        setError(error, notPlainFileText());
        return false;
    }
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        setError(error, errorText(source));
        return false;
    }
    WriteError failure;
    // In pieces: the file may be far larger than what is worth holding at once.
    const bool ok = replaceFile(
        to,
        [&source](QSaveFile& file, QString* reason) {
            QByteArray piece;
            while (!(piece = source.read(qint64{1} << 20)).isEmpty()) {
                if (file.write(piece) != piece.size())
                    return false;
            }
            if (source.error() != QFileDevice::NoError)
                *reason = errorText(source);
            return reason->isEmpty();
        },
        &failure);
    if (!ok)
        setError(error, failure.text);
    return ok;
}

bool isLocked(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return true;
    file.close();
    return false;
}

bool writeLines(const QString& path, const QStringList& lines, QString* error) {
    WriteError failure;
    const bool ok = writeLines(path, lines, &failure);
    if (!ok)
        setError(error, failure.text);
    return ok;
}

bool writeLines(const QString& path, const QStringList& lines, WriteError* error) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String(lineBreak);
    }
    return writeBytes(path, encodeText(text), error);
}

bool appendText(const QString& path, QStringView text, QString* error) {
    if (isSpecialFile(path)) {
        setError(error, notPlainFileText());
        return false;
    }
    QFile file(path);
    // Unbuffered: the bytes go to the system at the write below, so its failure and the
    // system's reason for it are seen there.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        setError(error, errorText(file));
        return false;
    }
    const qint64 before = file.size();
    // An empty file is begun by this text, and read from its start like any other file.
    const QByteArray bytes = encodeText(text, before == 0);
    errno = 0;
    const qint64 written = file.write(bytes);
    if (written == bytes.size())
        return true;
    const QString reason = writeErrorText(file, errno);
    // A full disk takes part of the text: that piece would stay in the file for good, and the
    // next entry would be joined to it. The file goes back to what it was.
    if (file.size() != before)
        file.resize(before);
    setError(error, reason);
    return false;
}

namespace {

bool readAll(const QString& path, QByteArray* bytes, QString* error) {
    if (isSpecialFile(path)) {
        setError(error, notPlainFileText());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = errorText(file);
        return false;
    }
    *bytes = file.readAll();
    const bool ok = file.error() == QFileDevice::NoError;
    if (!ok && error)
        *error = errorText(file);
    return ok;
}

} // namespace

bool copyNewFile(const QString& from, const QString& to, QString* error) {
    QByteArray source;
    if (!readAll(from, &source, error))
        return false;
    QFile copy(to);
    // NewOnly: a file that appeared meanwhile is not overwritten.
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (error)
            *error = errorText(copy);
        return false;
    }
    QString failure;
    bool ok = copy.write(source) == source.size() && copy.flush();
    if (!ok)
        failure = errorText(copy);
    if (ok)
        ok = syncToDisk(copy, &failure);
    copy.close();
    if (ok && copy.error() != QFileDevice::NoError) {
        ok = false;
        failure = errorText(copy);
    }
    // Read back what the disk holds, and look again at the source: a copy that differs, or a
    // source that grew meanwhile, is no safe copy.
    QByteArray written;
    QByteArray sourceAgain;
    if (ok && !(readAll(to, &written, &failure) && readAll(from, &sourceAgain, &failure)))
        ok = false;
    if (ok && (written != source || sourceAgain != source)) {
        ok = false;
        failure = written != source ? QStringLiteral("the copy differs from the original")
                                    : QStringLiteral("the original changed while it was copied");
    }
    if (!ok) {
        QFile::remove(to);
        if (error)
            *error = failure;
    }
    return ok;
}

namespace {

QString fileKey(const QString& path) {
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

} // namespace

bool isSameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    // Names first, without touching the disk: the paths compared on every plan save may lie in
    // a remote folder that is slow to answer or gone.
    if (QFileInfo(a).fileName().compare(QFileInfo(b).fileName(), Qt::CaseInsensitive) != 0)
        return false;
    return fileKey(a) == fileKey(b);
}

} // namespace textfile
