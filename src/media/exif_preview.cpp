#include "exif_preview.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <libexif/exif-data.h>
#include <memory>

#include "face_fit.h"

namespace ExifPreview {
namespace {

/// The thumbnail's bytes as stored in the EXIF block (a JPEG of its own), or empty. libexif reads
/// no further into the file than the EXIF segment, which a JPEG caps at 64 KiB.
QByteArray thumbnailBytes(const QString &path)
{
    const std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(
        exif_data_new_from_file(QFile::encodeName(path).constData()), &exif_data_unref);
    if (!data || !data->data || data->size < 4)
        return {};
    return QByteArray(reinterpret_cast<const char *>(data->data), qsizetype(data->size));
}

/// Turns a picture as stored into the way it is meant to be seen: mirrored first, then turned a
/// quarter clockwise, as Qt does for the pictures it reads itself.
QImage upright(QImage image, QImageIOHandler::Transformations t)
{
    image = image.mirrored(t & QImageIOHandler::TransformationMirror,
                           t & QImageIOHandler::TransformationFlip);
    if (t & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

} // namespace

QImage load(const QString &path, QImageIOHandler::Transformations orientation, const QSize &natural,
            const QSize &size, bool *fits)
{
    *fits = false;
    QByteArray bytes = thumbnailBytes(path);
    if (bytes.isEmpty())
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    // The thumbnail is stored the way the picture is, and turned by the picture's orientation.
    reader.setAutoTransform(false);
    const QSize stored = reader.size();
    const bool turned = orientation & QImageIOHandler::TransformationRotate90;
    const QSize seen = turned ? stored.transposed() : stored;
    if (!previewMatches(seen, natural))
        return {};
    const QImage image = reader.read();
    if (image.isNull() || image.size() != stored)
        return {};
    *fits = previewFits(seen, natural, size);
    return upright(image, orientation)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace ExifPreview
