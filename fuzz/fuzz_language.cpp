// libFuzzer target: the language file reader. Byte 0 asks for -2 .. 25 lines. From memory and from
// disk: the same lines, no more than asked for, each within its limit and without a line end.
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    if (size == 0)
        return 0;
    const int asked = int(data[0] % 28) - 2;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QFile f(dir.filePath(QStringLiteral("idioma.txt")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
    f.close();
    const LanguageFile memory = LanguageFile::fromBytes(bytes, asked);
    const LanguageFile file(f.fileName(), asked);
    const int most = qBound(0, asked, int(LanguageFile::kMaxLines));
    if (memory.lineCount() != file.lineCount() || memory.lineCount() > most)
        std::abort();
    for (int n = 1; n <= memory.lineCount(); ++n) {
        const QString line = memory.line(n);
        if (line != file.line(n) || line.size() > LanguageFile::kMaxLineBytes
            || line.contains(u'\n') || line.contains(u'\r'))
            std::abort();
    }
    return 0;
}
