#include "pictures.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "exif_preview.h"
#include "heif_image.h"

namespace Pictures {
namespace {

bool rotated(const QImageReader &reader)
{
    return reader.transformation() & QImageIOHandler::TransformationRotate90;
}

bool sizeAllowed(const QImageReader &reader, const QSize &raw)
{
    const qint64 pixels = qint64(raw.width()) * raw.height();
    const qint64 limit = reader.format() == "jpeg" ? kMaxJpegPixels : kMaxOtherPixels;
    return pixels > 0 && pixels <= limit;
}

/// The stored size from the header, if the file is a picture small enough to decode.
QSize checkedSize(QImageReader &reader)
{
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    const QSize raw = reader.size();
    return raw.isValid() && sizeAllowed(reader, raw) ? raw : QSize();
}

/// HEIF files go to libheif: Qt has no reader for them here.
bool isHeifFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && HeifImage::isHeif(f.read(32));
}

} // namespace

bool isPlainFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

QSize naturalSize(const QString &path)
{
    if (!isPlainFile(path))
        return {};
    if (isHeifFile(path))
        return HeifImage::naturalSize(path);
    QImageReader reader(path);
    const QSize raw = checkedSize(reader);
    if (!raw.isValid())
        return {};
    return rotated(reader) ? raw.transposed() : raw;
}

Glance glance(const QString &path, const QSize &size)
{
    Glance g;
    if (size.width() > kMaxScaledSide || size.height() > kMaxScaledSide
        || (size.isValid() && size.isEmpty()) || !isPlainFile(path))
        return g;
    if (isHeifFile(path)) {
        g.preview = HeifImage::loadPreview(path, size, &g.fits, &g.decodeBytes);
        return g;
    }
    QImageReader reader(path);
    const QSize stored = checkedSize(reader);
    if (!stored.isValid())
        return g;
    const qint64 pixels = qint64(stored.width()) * stored.height();
    if (reader.format() != "jpeg") {
        g.decodeBytes = 8 * pixels; // the whole picture and its scaled copy
        return g;
    }
    // A JPEG is decoded at 1/2, 1/4 or 1/8 of its size when the face is that small.
    int shrink = 1;
    const QSize upright = rotated(reader) ? stored.transposed() : stored;
    while (shrink < 8 && !size.isEmpty() && upright.width() / (2 * shrink) >= size.width()
           && upright.height() / (2 * shrink) >= size.height())
        shrink *= 2;
    g.decodeBytes = 4 * pixels / (shrink * shrink) + (1 << 20);
    if (!size.isEmpty())
        g.preview = ExifPreview::load(path, reader.transformation(), upright, size, &g.fits);
    return g;
}

QImage loadFull(const QString &path, const QSize &size, int threads)
{
    // A face of no height (a picture hundreds of times wider than tall) shows nothing: decoding
    // the picture whole for it could take hundreds of megabytes.
    if (size.width() > kMaxScaledSide || size.height() > kMaxScaledSide
        || (size.isValid() && size.isEmpty()))
        return {};
    if (!isPlainFile(path))
        return {};
    if (isHeifFile(path))
        return HeifImage::loadPrimary(path, size, threads);
    QImageReader reader(path);
    const QSize stored = checkedSize(reader);
    if (!stored.isValid())
        return {};
    if (size.isValid() && !size.isEmpty()) {
        // The scaled size applies to the picture as stored, before it is turned upright.
        reader.setScaledSize(rotated(reader) ? size.transposed() : size);
    }
    QImage image = reader.read();
    if (!image.isNull() && size.isValid() && !size.isEmpty() && image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage loadScaled(const QString &path, const QSize &size)
{
    const Glance g = glance(path, size);
    return g.fits ? g.preview : loadFull(path, size);
}

} // namespace Pictures
