// Where pieces come from: the opening position, the dealt piece and the shared queue.
#pragma once

#include "rules/game_state.h"
#include "rules/random.h"

namespace pyra {

// Fills the board with Empty/Fire/Oil/Water, repeating until more than a tenth of the
// cells are empty. Cells beyond the board are left alone.
void NewBoard(GameState& s, Random& rng);

// Truck with chance 1/20, otherwise Fire, Oil or Water alike.
int16_t DealPiece(Random& rng);

// Withholds a Truck (as HeldTruck) from a side that does not trail by more than 10, and
// releases a held one to a side that does. Entry 1 belongs to the side in Turn.
void ApplyCatchUpRule(GameState& s);

// Shifts in one new piece (or deals all three on the first deal of the run), applies the
// catch-up rule and settles a HeldTruck that became current into Oil. Turn must still
// name the side that has just moved. The caller redraws the NEXT window.
void AdvanceQueue(GameState& s, Random& rng);

}  // namespace pyra
