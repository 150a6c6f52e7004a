#include "card_game.h"

#include <limits>

#include "module1.h"
#include "random_source.h"

bool CardGame::isTwoPlayer() const
{
    return !Module1::Player2Name.isEmpty();
}

QString CardGame::playerName(int player)
{
    return player == 0 ? Module1::Player1Name : Module1::Player2Name;
}

CardGame::Click CardGame::click(int index, RandomSource &random)
{
    Click c;
    if (!enabled || !hasSlot(index) || faceUp[index])
        return c;

    ++CardsTurned;
    faceUp[index] = true;
    if (CardsTurned % 2 == 1) {
        FirstCard = index;
        c.outcome = ClickOutcome::FirstCard;
        return c;
    }

    SecondCard = static_cast<qint16>(index);
    if (CardPicture[index] == CardPicture[FirstCard]) {
        ++PairsFound;
        if (turn == 0) {
            ++Player1Pairs;
            pairText[0] = QString::number(Player1Pairs);
        } else {
            ++Player2Pairs;
            pairText[1] = QString::number(Player2Pairs);
        }
        c.outcome = ClickOutcome::Match;
        if (PairsFound == TotalPairs) {
            GameOver = true;
            timerRunning = true;
            c.outcome = ClickOutcome::LastPair;
        }
        c.matchCue = drawBelow(random, 12) + 1;
        return c;
    }

    // A long series never resets the count in two-player games: it stops at its limit.
    if (Module1::MismatchCount < std::numeric_limits<qint16>::max())
        ++Module1::MismatchCount;
    if (isTwoPlayer()) {
        turn = 1 - turn;
        turnColour[turn] = kTurnRed;
        turnLabel[turn] = turnCaption(playerName(turn));
        turnColour[1 - turn] = kTurnBlack;
        turnLabel[1 - turn] = playerName(1 - turn);
    }
    timerRunning = true;
    enabled = false;
    c.outcome = ClickOutcome::Mismatch;
    return c;
}

CardGame::Tick CardGame::tick()
{
    if (!timerRunning)
        return Tick::Nothing;
    timerRunning = false;
    if (!GameOver) {
        if (hasSlot(SecondCard))
            faceUp[SecondCard] = false;
        if (hasSlot(FirstCard))
            faceUp[FirstCard] = false;
        enabled = true;
        return Tick::TurnedBack;
    }
    return Tick::GameFinished;
}
