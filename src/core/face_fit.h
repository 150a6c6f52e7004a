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

/// Whether an embedded preview of `preview` pixels (turned upright) has the shape (width to height)
/// of a picture of `natural` pixels within 2 %: only then may it stand in for the picture at all.
bool previewMatches(const QSize &preview, const QSize &natural);

/// Whether such a preview may be shown for good instead of the picture shown at `face` pixels: it
/// matches and is at least as large as the face on both sides.
bool previewFits(const QSize &preview, const QSize &natural, const QSize &face);
