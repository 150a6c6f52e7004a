#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <cmath>

namespace Twips {
namespace {
constexpr const char *kProperty = "_trabel_twips";
QSize s_screenOverride;

int edge(int twips)
{
    return static_cast<int>(std::lround(double(twips) / kPerPixel));
}

void apply(QWidget *widget, const QRect &twips)
{
    widget->setProperty(kProperty, twips);
    widget->setGeometry(toPixels(twips));
}
} // namespace

QSize screen()
{
    if (!s_screenOverride.isEmpty())
        return s_screenOverride;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        return primary->geometry().size() * kPerPixel;
    return QSize(1024, 768) * kPerPixel;
}

QSize workArea()
{
    if (!s_screenOverride.isEmpty())
        return s_screenOverride;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        return primary->availableGeometry().size() * kPerPixel;
    return screen();
}

void setScreen(const QSize &size)
{
    s_screenOverride = size;
}

QSize clientArea(const QWidget *window)
{
    if (!s_screenOverride.isEmpty() && window->isMaximized())
        return s_screenOverride;
    return window->size() * kPerPixel;
}

QRect toPixels(const QRect &twips)
{
    const int l = edge(twips.x());
    const int t = edge(twips.y());
    const int r = edge(twips.x() + twips.width());
    const int b = edge(twips.y() + twips.height());
    return QRect(l, t, qMax(0, r - l), qMax(0, b - t));
}

int toPixels(int twips)
{
    return edge(twips);
}

void setGeometry(QWidget *widget, int left, int top, int width, int height)
{
    apply(widget, QRect(left, top, width, height));
}

void setGeometry(QWidget *widget, const QRect &twips)
{
    apply(widget, twips);
}

QRect geometry(const QWidget *widget)
{
    const QVariant v = widget->property(kProperty);
    if (v.isValid())
        return v.toRect();
    const QRect px = widget->geometry();
    const int k = kPerPixel;
    return QRect(px.x() * k, px.y() * k, px.width() * k, px.height() * k);
}

void setLeft(QWidget *widget, int left)
{
    QRect r = geometry(widget);
    r.moveLeft(left);
    apply(widget, r);
}

void setTop(QWidget *widget, int top)
{
    QRect r = geometry(widget);
    r.moveTop(top);
    apply(widget, r);
}

void setHeight(QWidget *widget, int height)
{
    QRect r = geometry(widget);
    r.setHeight(height);
    apply(widget, r);
}

} // namespace Twips
