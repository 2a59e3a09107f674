#include "rules/piece_supply.h"

namespace pyra {

void NewBoard(GameState& s, Random& rng) {
  const int cells = s.CellCount();
  // A board without cells could never show an empty one: the loop below would not end.
  if (cells <= 0) return;
  const int emptyLimit = cells / 10;
  int empties;
  do {
    empties = 0;
    for (int i = 0; i < cells; ++i) {
      s.board[i] = static_cast<int16_t>(rng.Below(4));
      if (s.board[i] == Empty) ++empties;
    }
  } while (empties <= emptyLimit);
}

int16_t DealPiece(Random& rng) {
  if (rng.Below(20) == 0) return Truck;
  return static_cast<int16_t>(1 + rng.Below(3));
}

void ApplyCatchUpRule(GameState& s) {
  const int mover = s.turn == SideB ? SideB : SideA;
  const int other = 1 - mover;
  auto behind = [&](int side) { return s.score[side] + 10 < s.score[1 - side]; };
  for (int i = 0; i < 3; ++i) {
    const int owner = i == 1 ? mover : other;
    int16_t& entry = s.pieceQueue[i];
    if (entry == Truck && !behind(owner)) {
      entry = HeldTruck;
    } else if (entry == HeldTruck && behind(owner)) {
      entry = Truck;
    }
  }
}

void AdvanceQueue(GameState& s, Random& rng) {
  auto& q = s.pieceQueue;
  if (q[0] != 0 || q[1] != 0 || q[2] != 0) {
    q[2] = q[1];
    q[1] = q[0];
    q[0] = DealPiece(rng);
  } else {
    q[0] = DealPiece(rng);
    q[1] = DealPiece(rng);
    q[2] = DealPiece(rng);
  }
  ApplyCatchUpRule(s);
  // A withheld truck becomes an ordinary Oil once it is the piece to place.
  if (q[2] == HeldTruck) q[2] = Oil;
}

}  // namespace pyra
