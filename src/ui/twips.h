#pragma once

#include <QRect>
#include <QSize>

class QWidget;

/// Positions and sizes in twips: converted to pixels here only.
namespace Twips {

/// Twips in one logical pixel.
constexpr int kPerPixel = 15;

/// Size of the whole primary screen, in twips.
QSize screen();
/// Size of the primary screen's work area (panels and docks left out), in twips; the whole screen
/// where nothing is left out. A size fixed with setScreen stands for both.
QSize workArea();
/// Fixes the screen size that screen() and workArea() report (tests); an empty size goes back to
/// the screen.
void setScreen(const QSize &size);
/// The size of a top-level window's inner area, in twips. On a screen fixed with setScreen a
/// maximised window covers that screen whole, as on a screen with no window manager.
QSize clientArea(const QWidget *window);

/// A rectangle in twips to logical pixels; edges are converted, so touching rectangles stay
/// touching.
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
void setHeight(QWidget *widget, int height);
inline int left(const QWidget *w)
{
    return geometry(w).left();
}
inline int top(const QWidget *w)
{
    return geometry(w).top();
}
inline int width(const QWidget *w)
{
    return geometry(w).width();
}
inline int height(const QWidget *w)
{
    return geometry(w).height();
}

} // namespace Twips
