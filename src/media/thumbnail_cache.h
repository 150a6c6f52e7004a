#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "thumbnail_key.h"

/// The desktop's shared thumbnail cache, $XDG_CACHE_HOME/thumbnails (~/.cache/thumbnails), which
/// file managers read and write too. Its files are untrusted: a thumbnail is used only when it is
/// a PNG of the file as it is now (thumbnail_key.h), no larger than its folder's box, of the
/// picture's shape. Thumbnails are written as the cache's rules ask (folders 0700, files 0600,
/// through a temporary file renamed), never through a folder that is a link, never for a file
/// inside the cache, and nowhere else; a cache that cannot be written is left alone.
namespace ThumbnailCache {

/// The cache folder; empty when there is none (neither XDG_CACHE_HOME nor HOME is set).
QString root();

/// What the cache holds for the picture at `path`, of `natural` pixels, shown at `face` pixels.
struct Lookup
{
    QImage image;      ///< the best valid thumbnail, scaled to `face`; null if none
    bool fits = false; ///< it covers the face: the face for good
    int storeBox = 0;  ///< the box of the thumbnail to store once the picture is decoded (0: none)
};
Lookup find(const QString &path, const QSize &natural, const QSize &face);

/// The thumbnail in the PNG file `png`, as stored, when it is one of the file `stamp` describes, no
/// larger than `box` and of the shape of the picture's `natural` size; null otherwise.
QImage fromPng(QByteArray png, const ThumbnailKey::Stamp &stamp, int box, const QSize &natural);

/// Stores `thumbnail`, the picture at `path` scaled into the box `box`, as its thumbnail. False
/// when the cache cannot be written.
bool store(const QString &path, const QImage &thumbnail, int box);

/// Largest thumbnail file read, in bytes: a 1024 × 1024 PNG takes a few megabytes at most.
constexpr qint64 kMaxFileBytes = 16LL << 20;

} // namespace ThumbnailCache
