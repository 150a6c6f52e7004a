#pragma once

#include <QList>
#include <QRect>

/// One row of the grid table: how a board of a given pair option is cut into card slots.
struct GridRow
{
    int pairs;
    int columns;
    int rows;
    int margin; ///< twips taken off each slot's plain share of the screen
};

/// The grid row for a pair option (0..4); out-of-range options are clamped.
GridRow gridRow(int pairOption);

/// Pairs on the board for a pair option: 6, 10, 12, 15 or 21.
int pairsForOption(int pairOption);

/// Where every card slot goes, in twips.
struct GridLayout
{
    int slotWidth = 0;  ///< W = Int(screen width / columns) − margin
    int slotHeight = 0; ///< H = Int(screen height / rows) − margin
    int columns = 0;
    QList<QRect> places; ///< slot k at column k mod columns, row k \ columns, from slot 0's place
};

/// Lays the 2 × pairs slots of a pair option over a screen of the given size (twips), slot 0 at
/// (slot0Left, slot0Top).
GridLayout layoutGrid(int pairOption, int screenWidth, int screenHeight, int slot0Left = 360,
                      int slot0Top = 360);
