// libFuzzer target: the check a sound file goes through before the mixer sees it.
//
// The first input byte picks the device format (rate, channels); the rest is the file. Besides
// crashes and sanitizer reports, it checks what the mixer is then trusted with: a file accepted
// keeps its size, its RIFF size and every chunk size lie within the file, and checking it again
// accepts it unchanged.
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

#include "wav_file.h"

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "wav: %s\n", what);
    std::abort();
}

quint32 u32(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const AudioFormat devices[] = {{44100, 2, 2}, {48000, 2, 4}, {22050, 1, 1}, {8000, 8, 2}};
    const AudioFormat device = devices[data[0] % 4];
    WavLimits limits;
    limits.maxConvertedBytes = (data[0] & 0x80) ? 4096 : limits.maxConvertedBytes;
    const QByteArray file(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QByteArray checked = file;
    if (!checkWav(checked, device, limits))
        return 0;
    if (checked.size() != file.size())
        fail("size changed");
    if (u32(checked, 4) > quint64(checked.size() - 8))
        fail("RIFF size beyond the file");
    for (qsizetype pos = 12; pos + 8 <= checked.size();) {
        const quint64 length = u32(checked, pos + 4);
        if (length > quint64(checked.size() - pos - 8))
            fail("chunk beyond the file");
        pos += 8 + qsizetype(length) + qsizetype(length & 1);
    }
    QByteArray again = checked;
    if (!checkWav(again, device, limits) || again != checked)
        fail("a second check changed its mind");
    return 0;
}
