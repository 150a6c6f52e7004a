#include "colours_fonts.h"

#include <cmath>

QColor bgrColour(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QFont designFont(double points, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(qMax(1, int(std::lround(points * 96.0 / 72.0))));
    f.setBold(bold);
    return f;
}
