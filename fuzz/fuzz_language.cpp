// libFuzzer target: the language file reader, from memory and from a file on disk.
//
// The first input byte chooses how many lines are asked for (-2 .. 25); the rest is the file.
// Besides crashes and sanitizer reports, it checks what every reader of the file relies on: at
// most the lines asked for (and never more than kMaxLines), none longer than kMaxLineBytes, no
// line break inside a line, buffered() always one of the lines, and the file reader agreeing with
// the in-memory one line for line.
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "language_file.h"

namespace {

QTemporaryDir *g_dir = nullptr;

[[noreturn]] void fail(const char *what, int n)
{
    std::fprintf(stderr, "language file: %s (line %d)\n", what, n);
    std::abort();
}

void checkShape(const LanguageFile &f, int asked)
{
    const int limit = qBound(0, asked, LanguageFile::kMaxLines);
    if (f.lineCount() < 0 || f.lineCount() > limit)
        fail("more lines than asked for", f.lineCount());
    for (int n = -1; n <= LanguageFile::kMaxLines + 2; ++n) {
        const QString line = f.line(n);
        if (n < 1 || n > f.lineCount()) {
            if (!line.isEmpty())
                fail("text for a line the file does not have", n);
            continue;
        }
        if (line.size() > LanguageFile::kMaxLineBytes)
            fail("line longer than the limit", n);
        if (line.contains(u'\n') || line.contains(u'\r'))
            fail("line break inside a line", n);
    }
    for (int first = 0; first <= LanguageFile::kMaxLines + 1; first += 3) {
        for (int n = first; n <= LanguageFile::kMaxLines + 1; ++n) {
            const QString b = f.buffered(first, n);
            const int last = qMin(n, f.lineCount());
            const QString expected = last >= qMax(first, 1) ? f.line(last) : QString();
            if (b != expected)
                fail("buffered() is not the last line read", n);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "fuzz_language";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("TRABEL_FUZZ_VERBOSE"))
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    g_dir = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int asked = int(data[0] % 28) - 2;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const LanguageFile memory = LanguageFile::fromBytes(bytes, asked);
    if (!memory.opened())
        fail("bytes in memory did not open", 0);
    checkShape(memory, asked);

    const QString path = g_dir->filePath(QStringLiteral("idioma.txt"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            fail("could not write the file", 0);
    }
    const LanguageFile file(path, asked);
    if (!file.opened())
        fail("the file did not open", 0);
    checkShape(file, asked);
    if (file.lineCount() != memory.lineCount())
        fail("file and memory readers count different lines", file.lineCount());
    for (int n = 1; n <= memory.lineCount(); ++n)
        if (file.line(n) != memory.line(n))
            fail("file and memory readers differ", n);

    // The decoder on its own, both ways.
    const QString cp = LanguageFile::decode(bytes.left(LanguageFile::kMaxLineBytes), false);
    if (cp.size() != qMin<qsizetype>(bytes.size(), LanguageFile::kMaxLineBytes))
        fail("Windows-1252 is not one character per byte", 0);
    (void)LanguageFile::decode(bytes.left(LanguageFile::kMaxLineBytes), true);
    return 0;
}
