#pragma once

#include <QString>
#include <QtGlobal>

// The series variables: they live from the start of the program to its end and are never saved.
namespace Module1 {

/// Chosen pair count as an index: 0..4 stand for 6, 10, 12, 15, 21 pairs.
inline quint8 PairOption = 0;
/// Name of player 1 (the only player in a one-player game).
inline QString Player1Name;
/// Name of player 2; empty means a one-player game.
inline QString Player2Name;
/// Mismatched pairs turned in the current game (reset only when a one-player game starts).
inline qint16 MismatchCount = 0;
/// Series points of player 1.
inline qint32 Player1Points = 0;
/// Series points of player 2.
inline qint16 Player2Points = 0;

/// Back to the values the program starts with.
void reset();

} // namespace Module1
