#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

/// Names and checks of the desktop's shared thumbnail cache, as file managers keep it: pure
/// functions of bytes and sizes, no file is touched.
namespace ThumbnailKey {

/// The file: URI of an absolute local path given as its bytes, escaped as GLib's
/// g_filename_to_uri escapes it: every byte but the ASCII letters, digits and -._~!$&'()*+,=:@/
/// becomes %XX, in upper case. A thumbnail is named after this exact text, so any other escaping
/// (QUrl's keeps more) misses the thumbnails the desktop made.
QByteArray fileUri(const QByteArray &absolutePath);

/// The file name of the thumbnails of the file at `uri`: its MD5 in lower-case hex, then ".png".
QString fileName(const QByteArray &uri);

/// A folder of the cache: the longest side of its thumbnails and its name.
struct Folder
{
    int box;
    const char *name;
};
inline constexpr Folder kFolders[] = {
    {128, "normal"}, {256, "large"}, {512, "x-large"}, {1024, "xx-large"}};
inline constexpr int kFolderCount = 4;

/// The smallest folder whose thumbnails cover a face of `face` pixels (a thumbnail of a picture
/// larger than the box fills it on its longer side): its index in kFolders, or −1 when none does.
int folderCovering(const QSize &face);

/// The size of the thumbnail of a picture of `natural` pixels in a box of `box`: scaled down to
/// fit, keeping its shape; never scaled up.
QSize sizeInBox(const QSize &natural, int box);

/// What a thumbnail records of its file.
struct Stamp
{
    QByteArray uri;
    qint64 mtime = 0; ///< modification time, whole seconds since the epoch
    qint64 size = 0;  ///< bytes
};

/// Whether the PNG file `png` is a thumbnail of the file `stamp` describes, as GLib judges it from
/// its tEXt chunks: Thumb::URI equal to the URI and Thumb::MTime to the time, and Thumb::Size, when
/// present, to the size. A chunk that runs past the end, or compressed text (zTXt, iTXt), makes it
/// none. Nothing is decoded.
bool isThumbnailOf(const QByteArray &png, const Stamp &stamp);

/// `png` (a PNG file with no text) with tEXt chunks Thumb::URI, Thumb::MTime, Thumb::Size and
/// Software added after its header; empty when `png` does not start with a PNG header.
QByteArray withStamp(const QByteArray &png, const Stamp &stamp, const QByteArray &software);

} // namespace ThumbnailKey
