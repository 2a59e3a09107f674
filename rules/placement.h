// PlacePiece: the one routine through which every move passes, and the end-of-game test.
#pragma once

#include <cstdint>

#include "rules/game_state.h"
#include "rules/random.h"

namespace pyra {

// The sound cues, in the order in which a placement plays them.
enum class Cue { Jan, Ju, Bo, Ton };
inline constexpr Cue CueOrder[4] = {Cue::Jan, Cue::Ju, Cue::Bo, Cue::Ton};
const char* CueName(Cue cue);  // "JAN", "JU", "BO", "TON"

// What a placement needs from the rest of the program, in the order it uses them.
class PlacementHost {
 public:
  virtual ~PlacementHost() = default;
  // Paints cell (column, row) from its current code; step 0 is the full-size piece.
  virtual void PaintCell(int16_t column, int16_t row, int16_t step) = 0;
  virtual bool RasterCanStretch() = 0;
  virtual void PlayCue(Cue cue) = 0;
  virtual void ShowScore(int side) = 0;
  // Stops the human move clock and resets its tick count.
  virtual void StopHumanClock() = 0;
  // The queue has changed.
  virtual void DrawNextPieces() = 0;
  // Puts the product name back into the caption if a countdown replaced it.
  virtual void RestoreCaption() = 0;
  // The game has ended; true when the placement must stop without the hand-over.
  virtual bool FinishGame() = 0;
  virtual void HandOverTurn() = 0;
};

// How one placed piece reacts with one neighbour.
struct Reaction {
  int16_t neighbourBecomes;  // the neighbour's new code (unchanged when nothing happens)
  int8_t gains;
  int8_t losses;
  bool jan, ju, bo;  // cue flags raised
};

constexpr Reaction ReactionOf(int16_t placed, int16_t neighbour) {
  Reaction r{neighbour, 0, 0, false, false, false};
  if (placed == Truck) {
    // A truck hauls oil away and ignores everything else.
    if (neighbour == Oil) {
      r.neighbourBecomes = Empty;
      r.gains = 1;
      r.jan = true;
    }
    return r;
  }
  // The pair decides, whichever of the two was placed: the product names it.
  constexpr int FireAndOil = Fire * Oil;
  constexpr int FireAndWater = Fire * Water;
  switch (neighbour * placed) {
    case FireAndOil:  // fire spreads to the oil, or the placed oil catches fire
      r.losses = 1;
      r.bo = true;
      if (neighbour == Oil) r.neighbourBecomes = Fire;
      break;
    case FireAndWater:  // water puts out the fire, or the placed fire spends the water
      r.gains = 1;
      r.ju = true;
      r.neighbourBecomes = neighbour == Fire ? Empty : Blocked;
      break;
    default:
      break;
  }
  return r;
}

bool IsGameOver(const GameState& s);

// Places the current piece (queue entry 2) for the side in Turn. A target off the board or
// on an occupied cell changes nothing but the caption and the end test.
void PlacePiece(GameState& s, Random& rng, PlacementHost& host, int16_t column, int16_t row);

}  // namespace pyra
