// libFuzzer target: a thumbnail of the desktop's cache as the board reads it. Byte 0 picks the
// folder's box (bits 0-1) and whether the picture's stamp goes in first (bit 2, so that the decoder
// behind the keys is reached). A thumbnail taken is stamped for the picture, within its box and of
// the picture's shape.
#include <QGuiApplication>
#include <cstdlib>

#include "face_fit.h"
#include "thumbnail_cache.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "fuzz_thumbnail", *argv[] = {name, nullptr};
    static QGuiApplication app((qputenv("QT_QPA_PLATFORM", "offscreen"), argc), argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ThumbnailKey::Stamp stamp{"file:///home/ana/Im%C3%A1genes/ni%C3%B1os%20(1).heic",
                                    1700000000, 4242};
    if (size < 1)
        return 0;
    const int box = ThumbnailKey::kFolders[data[0] & 3].box;
    QByteArray png(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] & 4 && !ThumbnailKey::withStamp(png, stamp, "fuzz").isEmpty())
        png = ThumbnailKey::withStamp(png, stamp, "fuzz");
    const QImage found = ThumbnailCache::fromPng(png, stamp, box, {4000, 3000});
    if (!found.isNull()
        && (found.width() > box || found.height() > box
            || !previewMatches(found.size(), {4000, 3000})
            || !ThumbnailKey::isThumbnailOf(png, stamp)))
        std::abort();
    return 0;
}
