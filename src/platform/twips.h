#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

/// Positions and sizes in twips, colours as 0x00BBGGRR, fonts in points: converted here only.
namespace Twips {

/// A rectangle in twips to logical pixels; edges are converted, so touching rectangles stay touching.
QRect toPixels(const QRect &twips);
int toPixels(int twips);

/// Places a widget at Left, Top, Width, Height in twips, relative to its container's inner area.
/// The values are kept and read back exactly as set.
void setGeometry(QWidget *widget, int left, int top, int width, int height);
void setGeometry(QWidget *widget, const QRect &twips);
/// The geometry last set in twips (or the widget's pixel geometry in twips if none was set).
QRect geometry(const QWidget *widget);
void setLeft(QWidget *widget, int left);
void setTop(QWidget *widget, int top);
void setWidth(QWidget *widget, int width);
void setHeight(QWidget *widget, int height);
inline int left(const QWidget *w) { return geometry(w).left(); }
inline int top(const QWidget *w) { return geometry(w).top(); }
inline int width(const QWidget *w) { return geometry(w).width(); }
inline int height(const QWidget *w) { return geometry(w).height(); }

} // namespace Twips

/// A 0x00BBGGRR colour value as a QColor.
QColor bgrColour(quint32 bgr);

/// The design font (Arial, met by a metric-compatible face) at a size in points, for a 96-dpi
/// layout: 15 twips to the pixel.
QFont designFont(double points, bool bold);
