#pragma once

#include <QSize>
#include <QtGlobal>

/// Size and vertical place of a face picture inside its card slot, in twips.
struct FaceFit
{
    int width = 0;
    int height = 0;
    int top = 0;
};

/// CLng(difference) \ 2: round half to even, then halve truncating toward zero.
int centredTop(double slotHeightMinusFace);

/// Fits a picture of natural size naturalWidth × naturalHeight to a slot: as wide as the slot,
/// height Int(W × h0 / w0), centred vertically (a taller picture gets a negative top).
FaceFit fitFace(int slotWidth, int slotHeight, qint64 naturalWidth, qint64 naturalHeight);

/// Whether an embedded preview of `preview` pixels (turned upright) may be shown instead of a
/// picture of `natural` pixels shown at `face` pixels: at least as large as the face on both sides,
/// and of the picture's shape (width to height) within 2 %.
bool previewFits(const QSize &preview, const QSize &natural, const QSize &face);
