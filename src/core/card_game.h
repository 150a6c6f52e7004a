#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "deal.h"

class RandomSource;

/// Text colours of the turn labels (0x00BBGGRR).
constexpr quint32 kTurnRed = 0x000000FF;
constexpr quint32 kTurnBlack = 0x00000000;

/// One game on the board: the cards, the counters and whose turn it is.
///
/// The board screen mirrors this state on its controls; the turn labels show whose turn it is.
class CardGame
{
public:
    enum class ClickOutcome {
        Ignored,   ///< face-up card, a slot not on the board, or the board disabled
        FirstCard, ///< first card of a turn
        Match,     ///< second card, same picture, pairs still missing
        LastPair,  ///< second card, same picture, the last pair
        Mismatch,  ///< second card, another picture: the board is disabled, the timer runs
    };
    struct Click
    {
        ClickOutcome outcome = ClickOutcome::Ignored;
        int matchCue = 0; ///< 1..12 on a match: the cue to play
    };
    enum class Tick {
        Nothing,      ///< the timer was not running
        TurnedBack,   ///< the two cards of a mismatch are face down again, the board enabled
        GameFinished, ///< the last pair was found: the results are due
    };

    // Board state.
    int TotalPairs = 0;
    int PairsFound = 0;
    qint64 CardsTurned = 0;
    int FirstCard = 0;
    qint16 SecondCard = 0;
    int Player1Pairs = 0;
    qint16 Player2Pairs = 0;
    bool GameOver = false;
    QStringList CardPicture = QStringList(kMaxSlots, QString());
    QString TurnPrefix;
    int turn = 0; ///< the player in turn: 0 for player 1, 1 for player 2

    // What the board's controls show.
    std::array<bool, kMaxSlots> faceUp{};
    std::array<QString, 2> turnLabel;                 ///< captions of Label1(0) and Label1(1)
    std::array<std::optional<quint32>, 2> turnColour; ///< unset: the label's default colour
    std::array<QString, 2> pairText{QStringLiteral("0"),
                                    QStringLiteral("0")}; ///< Text1(0), Text1(1)
    bool enabled = true;
    bool timerRunning = false;

    /// Whether `slot` is a card of this board.
    bool hasSlot(int slot) const { return slot >= 0 && slot < 2 * TotalPairs && slot < kMaxSlots; }
    /// The turn text of a player: TurnPrefix, one blank, the name.
    QString turnCaption(const QString &name) const { return TurnPrefix + u' ' + name; }
    bool isTwoPlayer() const;
    static QString playerName(int player);

    /// A click on card slot `index`.
    Click click(int index, RandomSource &random);
    /// The flip-back timer's tick.
    Tick tick();
};
