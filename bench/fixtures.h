#pragma once

#include <QString>

/// The benchmark's picture folders, made once in a cache folder and reused afterwards.
namespace Fixtures {

/// Sets inside graficos/: 30 JPEG photos of 4000 × 3000 (a few carrying an EXIF orientation),
/// 5000 tiny pictures, and the photos as phones save them: the JPEGs with a 160 × 120 EXIF
/// thumbnail, HEIC with a 320 × 240 thumbnail, HEIC without one, AVIF.
inline const QString kPhotoSet = QStringLiteral("fotos");
inline const QString kManySet = QStringLiteral("muchos");
inline const QString kJpegThumbSet = QStringLiteral("fotos-jpeg-mini");
inline const QString kHeicThumbSet = QStringLiteral("fotos-heic-mini");
inline const QString kHeicSet = QStringLiteral("fotos-heic");
inline const QString kAvifSet = QStringLiteral("fotos-avif");

/// Makes (or finds) an application folder under `cache` with the card back, the language file
/// and the shipped sets from `shippedData`, and the photos and tiny pictures. Returns the folder,
/// or an empty string on failure.
QString prepare(const QString &cache, const QString &shippedData);

/// Makes (or finds) the phone-format sets from the photos of `app`, with heif-enc
/// (libheif-examples) and exiftool (libimage-exiftool-perl). False when a tool fails.
bool preparePhoneSets(const QString &app);

/// Makes (or finds) a Pictures folder beside `app`: 500 albums of 50 small JPEG files each.
/// Returns its path.
QString preparePicturesFolder(const QString &app);

/// Writes a screen description for the offscreen platform: one screen of the given size.
bool writeOffscreenScreen(const QString &path, int width, int height);

} // namespace Fixtures
