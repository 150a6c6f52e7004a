#include "pictures.h"

#include <QFileInfo>
#include <QImageReader>

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
    QImageReader reader(path);
    if (!checkedSize(reader).isValid())
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

} // namespace Pictures
