#pragma once

#include <QString>
#include <QStringList>

/// The numeric value of a text: the decimal number at its start (after blanks), 0 if none.
double Val(const QString &text);

namespace Results {

enum class Outcome { Player1Wins, Player2Wins, Draw };

/// Scores a finished game from the two pair counts and adds the series points to Module1:
/// two to the winner, one each on a draw (player 2's first). An addition that would take a
/// player's points past their type's limit is skipped.
Outcome awardPoints(double player1Pairs, double player2Pairs);

/// Results line of a one-player game: name, entry 0, attempts, entry 1, blank-separated.
QString onePlayerLine(const QString &name, const QStringList &resultText, int attempts);

/// Results line of one player in a two-player game: name, entry 2, pairs, entry 3, then two
/// blanks, the series points, one blank and entry 4.
QString twoPlayerLine(const QString &name, const QStringList &resultText, const QString &pairs,
                      qint64 points);

/// The name of an outcome's sound cue.
QString cueFor(Outcome outcome);

} // namespace Results
