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

QImage loadScaled(const QString &path, const QSize &size)
{
    if (size.width() > kMaxScaledSide || size.height() > kMaxScaledSide)
        return {};
    if (!isPlainFile(path))
        return {};
    if (isHeifFile(path))
        return HeifImage::loadScaled(path, size);
    QImageReader reader(path);
    const QSize stored = checkedSize(reader);
    if (!stored.isValid())
        return {};
    if (reader.format() == "jpeg" && size.isValid() && !size.isEmpty()) {
        const QImage preview = ExifPreview::load(path, reader.transformation(),
                                                 rotated(reader) ? stored.transposed() : stored, size);
        if (!preview.isNull())
            return preview;
    }
    if (size.isValid() && !size.isEmpty()) {
        // The scaled size applies to the picture as stored, before it is turned upright.
        reader.setScaledSize(rotated(reader) ? size.transposed() : size);
    }
    QImage image = reader.read();
    if (!image.isNull() && size.isValid() && !size.isEmpty() && image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace Pictures
