#include "twips.h"

#include <QVariant>
#include <QWidget>
#include <cmath>

#include "platform.h"

namespace Twips {
namespace {
constexpr const char *kProperty = "_trabel_twips";

int edge(int twips)
{
    return static_cast<int>(std::lround(double(twips) / Platform::kTwipsPerPixel));
}

void apply(QWidget *widget, const QRect &twips)
{
    widget->setProperty(kProperty, twips);
    widget->setGeometry(toPixels(twips));
}
} // namespace

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
    const int k = Platform::kTwipsPerPixel;
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

void setWidth(QWidget *widget, int width)
{
    QRect r = geometry(widget);
    r.setWidth(width);
    apply(widget, r);
}

void setHeight(QWidget *widget, int height)
{
    QRect r = geometry(widget);
    r.setHeight(height);
    apply(widget, r);
}

} // namespace Twips
