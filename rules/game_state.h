// The one game state of the run: board, queue, side to move, scores and series counters.
#pragma once

#include <array>
#include <cstdint>

namespace pyra {

// Cell codes; 1..4 are also the kinds of piece that can be dealt.
enum : int16_t {
  Empty = 0,
  Fire = 1,
  Oil = 2,
  Water = 3,
  Truck = 4,
  Blocked = 5,
  HeldTruck = 6,  // queue only: a withheld truck, shown and placed as Oil
};

constexpr int16_t TurnNone = 3;
constexpr int16_t CellPixels = 32;
constexpr int16_t MaxBoardCols = 50;
constexpr int16_t MaxBoardRows = 50;
// One more than the largest board, so that the off-board sentinel of a full board is an index.
constexpr int BoardCapacity = MaxBoardCols * MaxBoardRows + 1;
static_assert(BoardCapacity > MaxBoardCols * MaxBoardRows, "no room for the off-board sentinel");

// Sides: 0 is player A, 1 is player B.
constexpr int SideA = 0;
constexpr int SideB = 1;

using Pair = std::array<int16_t, 2>;

struct GameState {
  int16_t boardCols = 0;
  int16_t boardRows = 0;
  std::array<int16_t, BoardCapacity> board{};
  // Entry 2 is the current piece, entry 1 the next, entry 0 the one after.
  std::array<int16_t, 3> pieceQueue{};
  int16_t turn = TurnNone;
  Pair score{};
  Pair wins{};
  Pair seriesPoints{};
  int16_t gamesPlayed = 0;
  bool demoMode = false;
  std::array<int16_t, 8> neighbourRing{};

  int16_t CellCount() const { return static_cast<int16_t>(boardCols * boardRows); }
  // The sentinel that stands for a neighbour outside the board.
  int16_t OffBoard() const { return CellCount(); }
};

}  // namespace pyra
