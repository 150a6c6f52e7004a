#pragma once

/// The board as a screen reader reads it: the cards are a grid of buttons named by place and
/// state, the window is named after whose turn it is, and what a click did is told on the card
/// that has the keyboard focus (its name and description change), so that the reader speaks it.
/// The layer follows each board through the board's signals; the board knows nothing of it.
namespace BoardAccessibility {

/// Installs the layer: every board is followed from the moment it first shows, and the screens'
/// windows read as the layer describes them.
void install();

} // namespace BoardAccessibility
