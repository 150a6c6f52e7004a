#include "language_file.h"

#include <QFile>
#include <QStringDecoder>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Bytes the file reader keeps beyond kMaxLineBytes: room for a byte-order mark, and one more so
// that parse() sees the line is over its limit.
constexpr int kSlack = 4;

// Windows-1252 at 0x80..0x9F; the five bytes it leaves undefined map to the C1 controls.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString s = decoder(bytes);
    Q_UNUSED(s);
    return !decoder.hasError();
}

/// A line cut at kMaxLineBytes may end inside a UTF-8 sequence: drops that incomplete sequence.
QByteArray withoutPartialSequence(const QByteArray &bytes)
{
    // The lead byte of the last sequence: at most three continuation bytes (10xxxxxx) follow it.
    qsizetype lead = bytes.size() - 1;
    while (lead > 0 && bytes.size() - lead <= 3 && (uchar(bytes[lead]) & 0xC0) == 0x80)
        --lead;
    if (lead < 0)
        return bytes;
    const auto b = uchar(bytes[lead]);
    const qsizetype length = (b & 0xE0) == 0xC0   ? 2
                             : (b & 0xF0) == 0xE0 ? 3
                             : (b & 0xF8) == 0xF0 ? 4
                                                  : 1;
    return bytes.size() - lead < length ? bytes.left(lead) : bytes;
}

bool hasHighByte(const QByteArray &bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

} // namespace

LanguageFile::LanguageFile(const QString &path, int lines)
{
    lines = qBound(0, lines, kMaxLines);
    // Opened without waiting: a pipe or a device named like the file must not hold the screen.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st
    {};
    QFile file;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return;
    }
    // The wanted lines, each cut a few bytes past its limit (a BOM, and enough for parse() to
    // tell that the line is over it), each followed by '\n' when the file had its line end.
    QByteArray bytes;
    qint64 kept = 0; // bytes kept of the line being read
    int found = 0;   // line ends seen
    bool afterCr = false;
    qint64 total = 0;
    bool done = lines == 0;
    char chunk[64 * 1024];
    while (!done && total < kMaxReadBytes) {
        const qint64 n = file.read(chunk, qMin<qint64>(sizeof chunk, kMaxReadBytes - total));
        if (n <= 0)
            break;
        total += n;
        for (qint64 i = 0; i < n && !done; ++i) {
            const char c = chunk[i];
            if (afterCr) {
                afterCr = false;
                if (c == '\n')
                    continue;
            }
            if (c == '\n' || c == '\r') {
                bytes.append('\n');
                kept = 0;
                afterCr = c == '\r';
                done = ++found == lines;
            } else if (kept < kMaxLineBytes + kSlack) {
                bytes.append(c);
                // The last wanted line at its limit: nothing after it is needed.
                done = ++kept == kMaxLineBytes + kSlack && found == lines - 1;
            }
        }
    }
    parse(bytes, lines);
}

LanguageFile LanguageFile::fromBytes(const QByteArray &bytes, int lines)
{
    LanguageFile f;
    f.parse(bytes.left(kMaxReadBytes), lines);
    return f;
}

void LanguageFile::parse(const QByteArray &bytes, int lines)
{
    lines = qBound(0, lines, kMaxLines);
    QByteArray body = bytes;
    bool bom = false;
    if (body.startsWith("\xEF\xBB\xBF")) {
        body.remove(0, 3);
        bom = true;
    }

    QList<QByteArray> raw;
    QList<QByteArray> asUtf8; // the same lines, a cut one without a partial UTF-8 sequence
    qsizetype pos = 0;
    while (raw.size() < lines && pos < body.size()) {
        qsizetype end = pos;
        while (end < body.size() && body[end] != '\r' && body[end] != '\n')
            ++end;
        raw.append(body.mid(pos, qMin<qsizetype>(end - pos, kMaxLineBytes)));
        asUtf8.append(end - pos > kMaxLineBytes ? withoutPartialSequence(raw.last()) : raw.last());
        if (end < body.size() && body[end] == '\r' && end + 1 < body.size()
            && body[end + 1] == '\n')
            pos = end + 2;
        else
            pos = end + 1;
    }

    // Joined with their line ends: a sequence split by a line end is not valid UTF-8.
    const QByteArray all = asUtf8.join('\n');
    const bool utf8 = bom || (hasHighByte(all) && isValidUtf8(all));
    m_lines.clear();
    for (qsizetype i = 0; i < raw.size(); ++i)
        m_lines.append(decode(utf8 ? asUtf8[i] : raw[i], utf8));
}

QString LanguageFile::decode(const QByteArray &bytes, bool utf8)
{
    if (utf8)
        return QString::fromUtf8(bytes);
    QString s;
    s.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        s.append(b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b));
    }
    return s;
}

QString LanguageFile::line(int n) const
{
    return n >= 1 && n <= m_lines.size() ? m_lines[n - 1] : QString();
}

QString LanguageFile::buffered(int first, int n) const
{
    const int last = qMin(n, int(m_lines.size()));
    return last >= qMax(first, 1) ? m_lines[last - 1] : QString();
}
