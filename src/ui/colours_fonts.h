#pragma once

#include <QColor>
#include <QFont>

/// Colours as 0x00BBGGRR and fonts in points, as the screens are drawn: converted here only.

/// A 0x00BBGGRR colour value as a QColor.
QColor bgrColour(quint32 bgr);

/// The design font (Arial, met by a metric-compatible face) at a size in points, for a 96-dpi
/// layout: 15 twips to the pixel.
QFont designFont(double points, bool bold);
