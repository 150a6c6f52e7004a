#include "heif_image.h"

#include <QFile>
#include <QFileInfo>
#include <libheif/heif.h>
#include <memory>
#include <mutex>

#include "pictures.h"

namespace HeifImage {
namespace {

template <class T, void (*Free)(T *)> struct Deleter
{
    void operator()(T *p) const { Free(p); }
};
void freeHandle(heif_image_handle *h) { heif_image_handle_release(h); }
void freeImage(heif_image *i) { heif_image_release(i); }
using Context = std::unique_ptr<heif_context, Deleter<heif_context, heif_context_free>>;
using Handle = std::unique_ptr<heif_image_handle, Deleter<heif_image_handle, freeHandle>>;
using Image = std::unique_ptr<heif_image, Deleter<heif_image, freeImage>>;
using Options =
    std::unique_ptr<heif_decoding_options, Deleter<heif_decoding_options, heif_decoding_options_free>>;

/// Opens the file with libheif's own limits set tight: no image item longer than kMaxSide on a side
/// (libheif refuses the file while reading its boxes), and tiles decoded on the calling thread,
/// since the face loader already decodes one picture per core.
Context open(const QString &path)
{
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxFileBytes)
        return {};
    Context context(heif_context_alloc());
    if (!context)
        return {};
    heif_context_set_maximum_image_size_limit(context.get(), kMaxSide);
    heif_context_set_max_decoding_threads(context.get(), 0);
    if (heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr).code
        != heif_error_Ok)
        return {};
    return context;
}

/// The image's size as seen, when it and its stored size are within the limits.
QSize checkedSize(const heif_image_handle *handle)
{
    const QSize seen(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
    const QSize stored(heif_image_handle_get_ispe_width(handle),
                       heif_image_handle_get_ispe_height(handle));
    for (const QSize &s : {seen, stored})
        if (s.isEmpty() || s.width() > kMaxSide || s.height() > kMaxSide
            || qint64(s.width()) * s.height() > Pictures::kMaxOtherPixels)
            return {};
    return seen;
}

Handle primary(heif_context *context)
{
    heif_image_handle *handle = nullptr;
    if (!context || heif_context_get_primary_image_handle(context, &handle).code != heif_error_Ok)
        return {};
    return Handle(handle);
}

/// Decodes an image item upright (libheif applies its rotation, mirroring and cropping) and scales
/// it to `size`, or keeps its own size when `size` is empty. Null on failure.
QImage decode(const heif_image_handle *handle, const QSize &size)
{
    const QSize seen = checkedSize(handle);
    if (!seen.isValid())
        return {};
    const bool alpha = heif_image_handle_has_alpha_channel(handle);
    const Options options(heif_decoding_options_alloc());
    if (!options)
        return {};
    options->convert_hdr_to_8bit = 1;
    heif_image *raw = nullptr;
    // Four bytes a pixel: Qt scales RGBX8888 as it is, where three-byte RGB would be converted
    // into another whole-size copy first.
    if (heif_decode_image(handle, &raw, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                          options.get())
            .code
        != heif_error_Ok)
        return {};
    const Image image(raw);
    int stride = 0;
    const uint8_t *pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const QSize decoded(heif_image_get_width(image.get(), heif_channel_interleaved),
                        heif_image_get_height(image.get(), heif_channel_interleaved));
    if (!pixels || decoded != seen || stride < 4 * decoded.width())
        return {};
    const QImage view(pixels, decoded.width(), decoded.height(), stride,
                      alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    // Both results own their pixels: the view's buffer goes with `image`.
    if (size.isEmpty())
        return view.copy();
    return view.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

/// The smallest thumbnail item that may stand in for the primary image shown at `size`.
Handle fittingThumbnail(const heif_image_handle *main, const QSize &natural, const QSize &size)
{
    const int count = heif_image_handle_get_number_of_thumbnails(main);
    if (count <= 0 || count > 16)
        return {};
    heif_item_id ids[16];
    heif_image_handle_get_list_of_thumbnail_IDs(main, ids, count);
    Handle best;
    qint64 bestArea = 0;
    for (int i = 0; i < count; ++i) {
        heif_image_handle *thumb = nullptr;
        if (heif_image_handle_get_thumbnail(main, ids[i], &thumb).code != heif_error_Ok)
            continue;
        Handle handle(thumb);
        const QSize seen(heif_image_handle_get_width(thumb), heif_image_handle_get_height(thumb));
        const qint64 area = qint64(seen.width()) * seen.height();
        if (Pictures::previewFits(seen, natural, size) && (!best || area < bestArea)) {
            best = std::move(handle);
            bestArea = area;
        }
    }
    return best;
}

} // namespace

bool isHeif(const QByteArray &head)
{
    if (head.size() < 12)
        return false;
    const heif_filetype_result type =
        heif_check_filetype(reinterpret_cast<const uint8_t *>(head.constData()), int(head.size()));
    return type == heif_filetype_yes_supported;
}

QSize naturalSize(const QString &path)
{
    const Context context = open(path);
    const Handle handle = primary(context.get());
    return handle ? checkedSize(handle.get()) : QSize();
}

QImage loadScaled(const QString &path, const QSize &size)
{
    const Context context = open(path);
    const Handle handle = primary(context.get());
    if (!handle)
        return {};
    const QSize natural = checkedSize(handle.get());
    if (!natural.isValid())
        return {};
    if (!size.isEmpty())
        if (const Handle thumb = fittingThumbnail(handle.get(), natural, size)) {
            const QImage preview = decode(thumb.get(), size);
            if (!preview.isNull())
                return preview;
        }
    return decode(handle.get(), size);
}

} // namespace HeifImage
