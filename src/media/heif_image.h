#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

/// Reading HEIF pictures (HEIC and AVIF, as phones save them) through libheif.
namespace HeifImage {

/// Whether a file that begins with `head` (its first 12 bytes or more) is a HEIF file that libheif
/// can decode.
bool isHeif(const QByteArray &head);

/// The primary image's size in pixels as it is meant to be seen (its rotation and mirroring
/// applied), from the file's header boxes. Invalid when the file cannot be read or claims a size
/// beyond the limits below.
QSize naturalSize(const QString &path);

/// Decodes the primary image upright and scales it to `size` pixels (its natural size when `size`
/// is empty). A thumbnail item stands in for it when previewFits allows; one that fails
/// to decode gives way to the primary image. A null image on failure.
QImage loadScaled(const QString &path, const QSize &size);

/// Longest side, in pixels, of any image item libheif is allowed to read.
constexpr int kMaxSide = 16384;
/// AVIF pictures larger than this are decoded one at a time (the decoder uses every core itself).
constexpr qint64 kOneAtATimePixels = 4'000'000;
/// Largest file read at all: a phone's photos are a few megabytes.
constexpr qint64 kMaxFileBytes = 128LL * 1024 * 1024;

} // namespace HeifImage
