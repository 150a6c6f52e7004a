#pragma once

#include <QImage>
#include <QSize>
#include <QString>

/// Reading pictures: GIF, JPEG and whatever else Qt's image readers know, and HEIC / AVIF through
/// libheif (heif_image.h).
namespace Pictures {

/// Whether a file can be read as a picture without waiting: a regular file (or a link to one)
/// with something in it. A pipe, a device or a kernel file in /proc may block or never end.
bool isPlainFile(const QString &path);

/// The picture's natural size in pixels as it is meant to be seen (an EXIF orientation applied),
/// read from the file's header without decoding it. Invalid when the file is not a plain file, not
/// a picture the program can read, or claims a size too large to decode safely.
QSize naturalSize(const QString &path);

/// What a quick look at a picture gives, without decoding the picture itself.
struct Glance
{
    /// The embedded preview (a JPEG's EXIF thumbnail, a HEIF file's thumbnail item) of the
    /// picture's shape, upright and scaled to the size asked for whatever its own; null if none.
    QImage preview;
    /// Whether the preview may stand for the picture for good (previewFits, face_fit.h).
    bool fits = false;
    /// About how many bytes loadFull holds at its peak decoding the picture (0: it cannot).
    qint64 decodeBytes = 0;
};

/// Reads the picture's header and decodes its embedded preview at `size`: a few milliseconds.
Glance glance(const QString &path, const QSize &size);

/// Decodes the picture itself upright at `size` pixels, never its preview (a JPEG is decoded
/// scaled, never whole); QSize() decodes it whole. A tiled HEIF picture is decoded on up to
/// `threads` threads. A null image on failure, for a size with no width or height, or when `size`
/// is longer than kMaxScaledSide.
QImage loadFull(const QString &path, const QSize &size, int threads = 1);

/// The face of the picture at `size`: its preview when that fits, else loadFull.
QImage loadScaled(const QString &path, const QSize &size);

/// Largest picture, in pixels, that is decoded at all (JPEGs are decoded at a fraction of this).
constexpr qint64 kMaxJpegPixels = 260'000'000;
constexpr qint64 kMaxOtherPixels = 60'000'000;
/// Longest side, in pixels, a picture is decoded at by loadScaled: more than any screen shows. A
/// face is as wide as its card, so a small picture of an extreme shape (1 × 4000 pixels) would
/// otherwise be decoded hundreds of cards tall.
constexpr int kMaxScaledSide = 16384;

} // namespace Pictures
