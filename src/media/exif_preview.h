#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <QString>

/// The small preview that cameras and phones store in a JPEG's EXIF data.
namespace ExifPreview {

/// Decodes the EXIF thumbnail of the JPEG at `path` upright (turned by `orientation`, the picture's
/// own) and scales it to `size`, whatever its own size, when it has the shape of a picture of
/// `natural` pixels (previewMatches). `*fits` tells whether it may stand for the picture for good
/// (previewFits). A null image when there is none, it has another shape, or it does not decode.
QImage load(const QString &path, QImageIOHandler::Transformations orientation, const QSize &natural,
            const QSize &size, bool *fits);

} // namespace ExifPreview
