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

/// The primary image's embedded preview decoded upright and scaled to `size`: the smallest
/// thumbnail item that may stand for it (previewFits), else the largest of its shape
/// (previewMatches). `*fits` tells whether it is the former. `*decodeBytes` is the memory a
/// decode of the primary image holds at its peak, as far as the header tells (0 when the file
/// cannot be read). A null image when there is no such thumbnail or it does not decode.
QImage loadPreview(const QString &path, const QSize &size, bool *fits, qint64 *decodeBytes);

/// Decodes the primary image upright, never a thumbnail, and scales it to `size` pixels (its
/// natural size when `size` is empty); a tiled image on up to `threads` threads. Null on failure.
QImage loadPrimary(const QString &path, const QSize &size, int threads = 1);

/// Longest side, in pixels, of any image item libheif is allowed to read.
constexpr int kMaxSide = 16384;
/// Largest file read at all: a phone's photos are a few megabytes.
constexpr qint64 kMaxFileBytes = 128LL * 1024 * 1024;

} // namespace HeifImage
