#include "board_grid.h"

#include <array>

namespace {
constexpr std::array<GridRow, 5> kGrid{{
    {6, 4, 3, 150},
    {10, 5, 4, 125},
    {12, 6, 4, 115},
    {15, 6, 5, 100},
    {21, 7, 6, 90},
}};
} // namespace

GridRow gridRow(int pairOption)
{
    return kGrid[static_cast<size_t>(qBound(0, pairOption, 4))];
}

int pairsForOption(int pairOption)
{
    return gridRow(pairOption).pairs;
}

GridLayout layoutGrid(int pairOption, int screenWidth, int screenHeight, int slot0Left,
                      int slot0Top)
{
    const GridRow row = gridRow(pairOption);
    GridLayout g;
    g.columns = row.columns;
    // Int of a non-negative quotient is the whole-number quotient.
    g.slotWidth = qMax(0, screenWidth) / row.columns - row.margin;
    g.slotHeight = qMax(0, screenHeight) / row.rows - row.margin;
    const int count = 2 * row.pairs;
    g.places.reserve(count);
    for (int k = 0; k < count; ++k) {
        g.places.append(QRect(slot0Left + (k % row.columns) * g.slotWidth,
                              slot0Top + (k / row.columns) * g.slotHeight, g.slotWidth,
                              g.slotHeight));
    }
    return g;
}
