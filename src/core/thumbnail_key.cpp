#include "thumbnail_key.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace ThumbnailKey {
namespace {

const QByteArray kSignature("\x89PNG\r\n\x1a\n", 8);

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray chunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray out(4, '\0');
    qToBigEndian(quint32(data.size()), out.data());
    const QByteArray body = type + data;
    out += body + QByteArray(4, '\0');
    qToBigEndian(crc32(body), out.data() + out.size() - 4);
    return out;
}

} // namespace

QByteArray fileUri(const QByteArray &absolutePath)
{
    static const QByteArray kept("-._~!$&'()*+,=:@/");
    QByteArray uri("file://");
    for (const char c : absolutePath) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
                           || (c >= '0' && c <= '9') || kept.contains(c);
        if (plain)
            uri += c;
        else
            uri += '%' + QByteArray::number(quint8(c), 16).rightJustified(2, '0').toUpper();
    }
    return uri;
}

QString fileName(const QByteArray &uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex())
           + QStringLiteral(".png");
}

int folderCovering(const QSize &face)
{
    for (int i = 0; i < kFolderCount; ++i)
        if (!face.isEmpty() && face.width() <= kFolders[i].box && face.height() <= kFolders[i].box)
            return i;
    return -1;
}

QSize sizeInBox(const QSize &natural, int box)
{
    if (natural.isEmpty() || (natural.width() <= box && natural.height() <= box))
        return natural;
    return natural.scaled(box, box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

bool isThumbnailOf(const QByteArray &png, const Stamp &stamp)
{
    if (!png.startsWith(kSignature))
        return false;
    bool uri = false, mtime = false;
    for (qsizetype at = kSignature.size(); at < png.size();) {
        // Whole chunks up to the file's end: a chunk cut short or longer than the file, or text
        // the decoder would inflate to any size, would have it allocate what the file never
        // holds. Such a file is no thumbnail.
        if (png.size() - at < 12)
            return false;
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (length > quint32(png.size() - at - 12))
            return false;
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "zTXt" || type == "iTXt")
            return false;
        const QByteArray data = type == "tEXt" ? png.mid(at + 8, length) : QByteArray();
        const qsizetype nul = data.indexOf('\0');
        const QByteArray key = data.left(nul), value = data.mid(nul + 1);
        if (nul > 0) {
            if (key == "Thumb::URI" && !(uri = value == stamp.uri))
                return false;
            if (key == "Thumb::MTime" && !(mtime = value == QByteArray::number(stamp.mtime)))
                return false;
            if (key == "Thumb::Size" && value != QByteArray::number(stamp.size))
                return false;
        }
        at += 12 + qsizetype(length);
    }
    return uri && mtime;
}

QByteArray withStamp(const QByteArray &png, const Stamp &stamp, const QByteArray &software)
{
    // The header chunk (IHDR) is always first: 8 bytes of signature, then 25 of chunk.
    if (!png.startsWith(kSignature) || png.size() < 33
        || png.mid(8, 8) != QByteArray("\0\0\0\x0dIHDR", 8))
        return {};
    QByteArray text;
    const std::pair<QByteArray, QByteArray> keys[] = {
        {"Thumb::URI", stamp.uri},
        {"Thumb::MTime", QByteArray::number(stamp.mtime)},
        {"Thumb::Size", QByteArray::number(stamp.size)},
        {"Software", software}};
    for (const auto &[key, value] : keys)
        text += chunk("tEXt", key + '\0' + value);
    return png.left(33) + text + png.mid(33);
}

} // namespace ThumbnailKey
