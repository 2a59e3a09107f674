// Cell addressing, the neighbour ring and the board size that a window can hold.
#pragma once

#include <cstdint>

#include "rules/game_state.h"

namespace pyra {

// Column-major: all rows of column 0 first.
inline int16_t CellIndex(const GameState& s, int column, int row) {
  return static_cast<int16_t>(column * s.boardRows + row);
}
inline int16_t CellColumn(const GameState& s, int index) {
  return static_cast<int16_t>(index / s.boardRows);
}
inline int16_t CellRow(const GameState& s, int index) {
  return static_cast<int16_t>(index % s.boardRows);
}

// Ring order: above left, above, above right, left, right, below left, below, below right.
struct RingOffset {
  int8_t dc;
  int8_t dr;
};
inline constexpr RingOffset NeighbourOffsets[8] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                                   {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

// Fills `ring` with the eight neighbour indices of (column, row); off-board ones are OffBoard.
void BuildNeighbourRing(const GameState& s, int column, int row, std::array<int16_t, 8>& ring);
// The placement's own ring lives in the game state.
inline void BuildNeighbourRing(GameState& s, int column, int row) {
  BuildNeighbourRing(s, column, row, s.neighbourRing);
}

// A cell by its column and row, counted from 0 at the top left.
struct Cell {
  int16_t column = 0;
  int16_t row = 0;
  bool operator==(const Cell&) const = default;
};

struct BoardSize {
  int16_t cols;
  int16_t rows;
};

// The board of a first run, before any window size is stored.
inline constexpr BoardSize FirstRunBoard{8, 6};

// The board for a client area of this many pixels: the nearest whole number of cells
// (halves up), at most 50 each way, 6 by 5 when either way rounds to nothing.
BoardSize FitBoardSize(int clientWidth, int clientHeight);

// The board size read straight from a restored window at start-up: whole cells, no
// rounding, and at most 50 each way only where the cells would not fit the board array.
BoardSize BoardSizeFromClient(int clientWidth, int clientHeight);

}  // namespace pyra
