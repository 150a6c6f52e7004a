#include "heif_image.h"

#include <QFile>
#include <QFileInfo>
#include <libheif/heif.h>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "face_fit.h"
#include "pictures.h"

namespace HeifImage {
namespace {

template <class T, void (*Free)(T *)> struct Deleter
{
    void operator()(T *p) const { Free(p); }
};
void freeHandle(heif_image_handle *h)
{
    heif_image_handle_release(h);
}
void freeImage(heif_image *i)
{
    heif_image_release(i);
}
using Context = std::unique_ptr<heif_context, Deleter<heif_context, heif_context_free>>;
using Handle = std::unique_ptr<heif_image_handle, Deleter<heif_image_handle, freeHandle>>;
using Image = std::unique_ptr<heif_image, Deleter<heif_image, freeImage>>;
using Options = std::unique_ptr<heif_decoding_options,
                                Deleter<heif_decoding_options, heif_decoding_options_free>>;

/// Opens the file with libheif's own limits set tight: no image item longer than kMaxSide on a side
/// (libheif refuses the file while reading its boxes), and the tiles of a tiled image decoded on
/// at most `threads` threads (one: the calling thread, as the face loader's workers want).
Context open(const QString &path, int threads = 1)
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
    heif_context_set_max_decoding_threads(context.get(), threads > 1 ? threads : 0);
    if (heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr)
            .code
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

/// How the file's luma and chroma map to RGB: the weights of red and blue in luma, and whether
/// the values use the full 0..255 range.
struct YuvMatrix
{
    double kr = 0.299, kb = 0.114;
    bool fullRange = true;
};

/// The matrix of the image's colour box, when it is one scaleDownYuv knows. Without a colour box
/// libheif assumes BT.601 at full range, as the HEVC and AV1 encoders of phones write them.
std::optional<YuvMatrix> matrixOf(const heif_image_handle *handle)
{
    YuvMatrix m;
    heif_color_profile_nclx *nclx = nullptr;
    if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code != heif_error_Ok || !nclx)
        return m;
    const heif_matrix_coefficients coefficients = nclx->matrix_coefficients;
    m.fullRange = nclx->full_range_flag;
    heif_nclx_color_profile_free(nclx);
    switch (coefficients) {
    case heif_matrix_coefficients_ITU_R_BT_709_5:
        m.kr = 0.2126;
        m.kb = 0.0722;
        return m;
    case heif_matrix_coefficients_unspecified:
    case heif_matrix_coefficients_ITU_R_BT_470_6_System_B_G:
    case heif_matrix_coefficients_ITU_R_BT_601_6:
        return m;
    case heif_matrix_coefficients_ITU_R_BT_2020_2_non_constant_luminance:
        m.kr = 0.2627;
        m.kb = 0.0593;
        return m;
    default:
        return std::nullopt;
    }
}

/// One plane's samples averaged over the source pixels that fall on each target pixel.
std::vector<quint32> boxAverage(const heif_image *image, heif_channel channel, const QSize &size)
{
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(image, channel, &stride);
    const int w = heif_image_get_width(image, channel), h = heif_image_get_height(image, channel);
    if (!plane || w < size.width() || h < size.height())
        return {};
    std::vector<int> column(static_cast<size_t>(w));
    std::vector<quint32> count(size_t(size.width()) * size.height(), 0);
    std::vector<quint64> sum(count.size(), 0);
    for (int x = 0; x < w; ++x)
        column[size_t(x)] = int(qint64(x) * size.width() / w);
    for (int y = 0; y < h; ++y) {
        const size_t row = size_t(qint64(y) * size.height() / h) * size_t(size.width());
        const uint8_t *line = plane + qint64(y) * stride;
        for (int x = 0; x < w; ++x) {
            sum[row + size_t(column[size_t(x)])] += line[x];
            ++count[row + size_t(column[size_t(x)])];
        }
    }
    std::vector<quint32> out(count.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = quint32((sum[i] + count[i] / 2) / qMax(1u, count[i]));
    return out;
}

/// The decoded YCbCr planes averaged down to `size` and only then turned into RGB: a whole
/// picture in RGB would take four bytes a pixel more, and as much time again to convert.
QImage scaleDownYuv(const heif_image *image, const YuvMatrix &m, const QSize &size)
{
    const std::vector<quint32> y = boxAverage(image, heif_channel_Y, size);
    const std::vector<quint32> cb = boxAverage(image, heif_channel_Cb, size);
    const std::vector<quint32> cr = boxAverage(image, heif_channel_Cr, size);
    if (y.empty() || cb.size() != y.size() || cr.size() != y.size())
        return {};
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    const double kg = 1.0 - m.kr - m.kb;
    const double luma = m.fullRange ? 1.0 : 255.0 / 219.0,
                 chroma = m.fullRange ? 1.0 : 255.0 / 224.0;
    const double base = m.fullRange ? 0.0 : 16.0;
    const auto clamp = [](double v) { return qBound(0, int(v + 0.5), 255); };
    for (int row = 0; row < size.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(row));
        for (int x = 0; x < size.width(); ++x) {
            const size_t i = size_t(row) * size_t(size.width()) + size_t(x);
            const double l = (double(y[i]) - base) * luma;
            const double u = (double(cb[i]) - 128.0) * chroma, v = (double(cr[i]) - 128.0) * chroma;
            const double r = l + 2.0 * (1.0 - m.kr) * v, b = l + 2.0 * (1.0 - m.kb) * u;
            line[x] = qRgb(clamp(r), clamp((l - m.kr * r - m.kb * b) / kg), clamp(b));
        }
    }
    return out;
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

    // Shrinking an opaque 8-bit picture: decoded to its own planes and scaled there.
    const std::optional<YuvMatrix> matrix = matrixOf(handle);
    if (!alpha && matrix && !size.isEmpty() && size.width() <= seen.width()
        && size.height() <= seen.height() && heif_image_handle_get_luma_bits_per_pixel(handle) == 8
        && heif_image_handle_get_chroma_bits_per_pixel(handle) == 8
        && heif_decode_image(handle, &raw, heif_colorspace_YCbCr, heif_chroma_undefined,
                             options.get())
                   .code
               == heif_error_Ok) {
        const Image image(raw);
        if (heif_image_get_width(image.get(), heif_channel_Y) == seen.width()
            && heif_image_get_height(image.get(), heif_channel_Y) == seen.height()
            && heif_image_get_bits_per_pixel_range(image.get(), heif_channel_Y) == 8
            && heif_image_get_bits_per_pixel_range(image.get(), heif_channel_Cb) == 8
            && heif_image_get_bits_per_pixel_range(image.get(), heif_channel_Cr) == 8) {
            const QImage scaled = scaleDownYuv(image.get(), *matrix, size);
            if (!scaled.isNull())
                return scaled;
        }
    }

    // Four bytes a pixel: Qt scales RGBX8888 as it is, where three-byte RGB would be converted
    // into another whole-size copy first.
    if (heif_decode_image(handle, &raw, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                          options.get())
            .code
        != heif_error_Ok)
        return {};
    const Image image(raw);
    int stride = 0;
    const uint8_t *pixels =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
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

/// The smallest thumbnail item that may stand in for the primary image shown at `size`, else the
/// largest one of its shape; `*fits` tells which.
Handle bestThumbnail(const heif_image_handle *main, const QSize &natural, const QSize &size,
                     bool *fits)
{
    *fits = false;
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
        if (!previewMatches(seen, natural))
            continue;
        const bool fitting = previewFits(seen, natural, size);
        const bool better = !best || (fitting && (!*fits || area < bestArea))
                            || (!fitting && !*fits && area > bestArea);
        if (better) {
            best = std::move(handle);
            bestArea = area;
            *fits = fitting;
        }
    }
    return best;
}

/// Whether the file's main brand is AVIF (an AV1 picture).
bool isAv1(const QString &path)
{
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(32) : QByteArray();
    return heif_main_brand(reinterpret_cast<const uint8_t *>(head.constData()), int(head.size()))
           == heif_avif;
}

/// What a decode of the image holds at its peak, in bytes: the decoder's own picture and its
/// working data, and libheif's copy of the planes. Measured on 12-megapixel photos: about 82 MB
/// for HEVC, about 100 MB for AV1, whose decoder keeps frames of its own.
qint64 decodeBytes(const heif_image_handle *handle, const QSize &natural, bool av1)
{
    const qint64 pixels = qint64(natural.width()) * natural.height();
    const int bytesPerSample = heif_image_handle_get_luma_bits_per_pixel(handle) > 8 ? 2 : 1;
    return pixels * bytesPerSample * (av1 ? 8 : 7);
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

QImage loadPreview(const QString &path, const QSize &size, bool *fits, qint64 *decodeBytes)
{
    *fits = false;
    *decodeBytes = 0;
    const Context context = open(path);
    const Handle handle = primary(context.get());
    const QSize natural = handle ? checkedSize(handle.get()) : QSize();
    if (!natural.isValid())
        return {};
    *decodeBytes = HeifImage::decodeBytes(handle.get(), natural, isAv1(path));
    if (size.isEmpty())
        return {};
    bool fitting = false;
    const Handle thumb = bestThumbnail(handle.get(), natural, size, &fitting);
    const QImage preview = thumb ? decode(thumb.get(), size) : QImage();
    *fits = fitting && !preview.isNull();
    return preview;
}

QImage loadPrimary(const QString &path, const QSize &size, int threads)
{
    const Context context = open(path, threads);
    const Handle handle = primary(context.get());
    return handle ? decode(handle.get(), size) : QImage();
}

} // namespace HeifImage
