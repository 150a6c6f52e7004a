#include "pictures.h"

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

} // namespace

QSize naturalSize(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    const QSize raw = reader.size();
    if (!raw.isValid() || !sizeAllowed(reader, raw))
        return {};
    return rotated(reader) ? raw.transposed() : raw;
}

QImage loadScaled(const QString &path, const QSize &size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    const QSize raw = reader.size();
    if (!raw.isValid() || !sizeAllowed(reader, raw))
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

QImage load(const QString &path)
{
    return loadScaled(path, QSize());
}

} // namespace Pictures
