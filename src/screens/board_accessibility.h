#pragma once

class Form2;

/// The board as a screen reader reads it: the cards are a grid of buttons named by place and
/// state, the window is named after whose turn it is, and what a click did is told on the card
/// that has the keyboard focus (its name and description change), so that the reader speaks it.
/// The layer follows a board through the board's signals; the board knows nothing of it.
namespace BoardAccessibility {

/// Has every board, its grid and its cards read as described here. Called once, by main(), after
/// the controls' own Accessible::install().
void install();

/// Names a dealt board's cards, window and score boxes, and follows the board from then on.
void attach(Form2 *board);

} // namespace BoardAccessibility
