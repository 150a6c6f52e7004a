#pragma once

#include <QByteArray>
#include <QString>

/// The benchmark's own picture folders, made once in a cache folder and reused afterwards.
namespace Fixtures {

/// Name of the set of large photos, of the set of many small files, inside graficos/.
inline const QString kPhotoSet = QStringLiteral("fotos");
inline const QString kManySet = QStringLiteral("muchos");
constexpr int kPhotoCount = 30;
constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr int kManyCount = 5000;

/// Sets made from the photos as phones and cameras save them: HEIC with a 320 × 240 thumbnail
/// item, HEIC without one, AVIF, and the JPEGs with a 160 × 120 EXIF thumbnail.
inline const QString kHeicThumbSet = QStringLiteral("fotos-heic-mini");
inline const QString kHeicSet = QStringLiteral("fotos-heic");
inline const QString kAvifSet = QStringLiteral("fotos-avif");
inline const QString kJpegThumbSet = QStringLiteral("fotos-jpeg-mini");

/// Makes (or finds) the four sets above in the application folder `app` made by prepare(), from
/// its photos, with Debian's heif-enc (libheif-examples) and exiftool (libimage-exiftool-perl).
/// False when a tool is missing or fails.
bool preparePhoneSets(const QString &app);

/// Makes (or finds) an application folder under `cache`: the card back and language file, the
/// shipped sets copied from `shippedData`, graficos/fotos with 30 JPEG photos of 4000 × 3000
/// (some carrying an EXIF orientation) and graficos/muchos with 5000 tiny pictures. Returns the
/// application folder, or an empty string on failure. Progress goes to stderr.
QString prepare(const QString &cache, const QString &shippedData);

/// A JPEG with an APP1 EXIF segment holding only an orientation tag, placed right after SOI.
QByteArray withExifOrientation(const QByteArray &jpeg, int orientation);

/// Writes a JSON screen description for the offscreen platform: one screen of the given size.
bool writeOffscreenScreen(const QString &path, int width, int height);

} // namespace Fixtures
