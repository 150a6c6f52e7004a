// libFuzzer target: the check a sound file passes before the mixer. Byte 0 picks the device and the
// limit. An accepted file keeps its size, its chunks lie within it, a second check agrees.
#include <QtEndian>
#include <cstdlib>

#include "wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const AudioFormat devices[] = {{44100, 2, 2}, {48000, 2, 4}, {22050, 1, 1}, {8000, 8, 2}};
    if (size < 1)
        return 0;
    WavLimits limits;
    limits.maxConvertedBytes = data[0] & 0x80 ? 4096 : limits.maxConvertedBytes;
    const QByteArray file(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QByteArray checked = file;
    const auto u32 = [&](auto at) { return qFromLittleEndian<quint32>(checked.constData() + at); };
    if (!checkWav(checked, devices[data[0] % 4], limits))
        return 0;
    bool within = checked.size() == file.size() && u32(4) <= quint64(checked.size() - 8);
    for (qsizetype pos = 12; within && pos + 8 <= checked.size();) {
        const quint64 length = u32(pos + 4);
        within = length <= quint64(checked.size() - pos - 8);
        pos += 8 + qsizetype(length) + qsizetype(length & 1);
    }
    QByteArray again = checked;
    if (!within || !checkWav(again, devices[data[0] % 4], limits) || again != checked)
        std::abort();
    return 0;
}
