#pragma once

#include <QString>

#include "card_game.h"

class Form2;

/// The board as a screen reader reads it: the cards are a grid of buttons named by place and
/// state, the window is named after whose turn it is, and what a click did is told on the card
/// that has the keyboard focus (its name and description change), so that the reader speaks it.
namespace BoardAccessibility {

/// How long a reader is given to take one focus move before the next (milliseconds).
constexpr int kRetellMs = 600;

/// "Carta 3, boca abajo", "Carta 3, tortuga", "Carta 3, tortuga, pareja encontrada".
QString cardName(const Form2 *board, int slot);
/// "Tablero, le toca a Ana".
QString boardName(const Form2 *board);

/// Names the cards, the window and the score boxes once the board is dealt.
void attach(Form2 *board);
/// After a click on a card: renames what it changed and tells the card what happened.
void clicked(Form2 *board, int slot, CardGame::ClickOutcome outcome);
/// After the two cards of a mismatch turned back.
void turnedBack(Form2 *board);
/// The keyboard left a card: what it was told is old news.
void left(Form2 *board, int slot);
/// Has a reader speak a card anew, with its name and description, a moment later.
void retell(Form2 *board, int slot);

} // namespace BoardAccessibility
