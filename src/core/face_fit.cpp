#include "face_fit.h"

#include <cmath>
#include <limits>

int centredTop(double slotHeightMinusFace)
{
    // nearbyint follows the default rounding mode, which is to nearest, ties to even.
    const auto rounded = static_cast<qint64>(std::nearbyint(slotHeightMinusFace));
    return static_cast<int>(rounded / 2);
}

FaceFit fitFace(int slotWidth, int slotHeight, qint64 naturalWidth, qint64 naturalHeight)
{
    FaceFit f;
    f.width = qMax(0, slotWidth);
    if (naturalWidth <= 0 || naturalHeight <= 0)
        f.height = qMax(0, slotHeight);
    else
        f.height = static_cast<int>(qMin<qint64>(f.width * naturalHeight / naturalWidth,
                                                 std::numeric_limits<int>::max() / 2));
    f.top = centredTop(static_cast<double>(slotHeight) - f.height);
    return f;
}

bool previewFits(const QSize &preview, const QSize &natural, const QSize &face)
{
    return !face.isEmpty() && preview.width() >= face.width() && preview.height() >= face.height()
           && previewMatches(preview, natural);
}

bool previewMatches(const QSize &preview, const QSize &natural)
{
    if (preview.isEmpty() || natural.isEmpty())
        return false;
    // |pw / ph − nw / nh| ≤ 2 % of nw / nh, in whole numbers.
    const qint64 p = qint64(preview.width()) * natural.height();
    const qint64 n = qint64(natural.width()) * preview.height();
    return 50 * qAbs(p - n) <= n;
}
