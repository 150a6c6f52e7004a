#include "wav_file.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

quint32 readU32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 readU16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

void writeU32(QByteArray &b, qsizetype at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

} // namespace

bool checkWav(QByteArray &bytes, const AudioFormat &device, const WavLimits &limits)
{
    const qsizetype size = bytes.size();
    if (size < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    if (readU32(bytes, 4) > quint64(size - 8))
        writeU32(bytes, 4, quint32(size - 8));

    bool haveFormat = false;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 bits = 0;
    qint64 dataBytes = -1;
    qsizetype pos = 12;
    while (pos + 8 <= size) {
        const QByteArray id = bytes.mid(pos, 4);
        quint64 length = readU32(bytes, pos + 4);
        const quint64 available = quint64(size - pos - 8);
        if (length > available) {
            length = available;
            writeU32(bytes, pos + 4, quint32(length));
        }
        if (id == "fmt " && !haveFormat && length >= 16) {
            haveFormat = true;
            channels = readU16(bytes, pos + 8 + 2);
            rate = readU32(bytes, pos + 8 + 4);
            bits = readU16(bytes, pos + 8 + 14);
        } else if (id == "data" && dataBytes < 0) {
            dataBytes = qint64(length);
        }
        pos += 8 + qsizetype(length) + qsizetype(length & 1);
    }
    if (!haveFormat || dataBytes < 0 || channels == 0 || rate == 0)
        return false;

    // Frames in the file: compressed formats (ADPCM) carry at least four bits a sample, so
    // counting at least four gives an upper bound for every format.
    const double bitsPerFrame = double(qMax<quint16>(bits, 4)) * channels;
    const double frames = double(dataBytes) * 8.0 / bitsPerFrame;
    const double converted = frames * double(device.frequency) / double(rate)
                             * double(device.channels) * double(device.bytesPerSample);
    return converted <= double(limits.maxConvertedBytes);
}

QByteArray readPlayableWav(const QString &path, const AudioFormat &device, const WavLimits &limits)
{
    // Only plain files: opening a pipe named like a sound would wait for a writer for ever.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > limits.maxFileBytes)
        return {};
    QByteArray bytes = file.read(file.size()); // (asking for the limit would allocate it all)
    if (!checkWav(bytes, device, limits))
        return {};
    return bytes;
}
