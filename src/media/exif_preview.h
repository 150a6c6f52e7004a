#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <QString>

/// The small preview that cameras and phones store in a JPEG's EXIF data.
namespace ExifPreview {

/// Decodes the EXIF thumbnail of the JPEG at `path` upright (turned by `orientation`, the picture's
/// own) and scales it to `size`, when previewFits allows it for a picture of `natural`
/// pixels. A null image when there is none, it does not fit, or it does not decode.
QImage load(const QString &path, QImageIOHandler::Transformations orientation,
            const QSize &natural, const QSize &size);

} // namespace ExifPreview
