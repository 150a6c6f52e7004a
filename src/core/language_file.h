#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// The positional caption file: line n always feeds the same caption.
///
/// Each screen reads it at its load. A missing file reads as no lines; a short file has the lines
/// it has; lines after the twentieth are never read, nor anything once the last wanted line is at
/// its length limit, nor anything past kMaxReadBytes. Line ends are CR LF, a lone LF or a lone CR.
/// The text is Windows-1252, unless it is valid UTF-8 with a byte-order mark or a non-ASCII byte.
class LanguageFile
{
public:
    static constexpr int kMaxLines = 20;
    /// A longer line is cut here: no caption needs more, and a runaway line must not stall a
    /// screen.
    static constexpr int kMaxLineBytes = 4096;
    /// No more of a file is ever read: a language file is a few kilobytes, and a file without
    /// line ends (a disk image, a device) must not keep a screen from opening.
    static constexpr qint64 kMaxReadBytes = 16 * 1024 * 1024;

    LanguageFile() = default;
    /// Reads the first `lines` lines of the file at `path` (at most kMaxLines).
    explicit LanguageFile(const QString &path, int lines = kMaxLines);

    /// Reads from bytes already in memory, as from a file.
    static LanguageFile fromBytes(const QByteArray &bytes, int lines = kMaxLines);

    /// How many of the requested lines the file had.
    int lineCount() const { return int(m_lines.size()); }

    /// The caption for line n (1-based) when it has a text of its own: the line, or empty when the
    /// file is shorter.
    QString line(int n) const;

    /// The caption for line n when one text buffer was refilled by the reads of lines first .. n:
    /// the last of those lines that the file had, or empty if it had none of them.
    QString buffered(int first, int n) const;

    /// Decodes one line's bytes; `utf8` chooses UTF-8 over Windows-1252.
    static QString decode(const QByteArray &bytes, bool utf8);

private:
    void parse(const QByteArray &bytes, int lines);

    QStringList m_lines;
};
