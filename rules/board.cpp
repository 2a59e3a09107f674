#include "rules/board.h"

#include <algorithm>
#include <cstdint>

namespace pyra {

void BuildNeighbourRing(const GameState& s, int column, int row, std::array<int16_t, 8>& ring) {
  for (int i = 0; i < 8; ++i) {
    ring[i] = CellIndex(s, column + NeighbourOffsets[i].dc, row + NeighbourOffsets[i].dr);
  }
  const int16_t off = s.OffBoard();
  // The four tests are independent: a one-row board drops both the row above and below.
  if (row < 1) ring[0] = ring[1] = ring[2] = off;
  if (row >= s.boardRows - 1) ring[5] = ring[6] = ring[7] = off;
  if (column < 1) ring[0] = ring[3] = ring[5] = off;
  if (column >= s.boardCols - 1) ring[2] = ring[4] = ring[7] = off;
}

BoardSize FitBoardSize(int clientWidth, int clientHeight) {
  // Nearest whole number of cells, halves rounded up: floor(w / 32 + 0.5).
  auto nearest = [](int pixels) { return pixels < 0 ? 0 : (pixels + CellPixels / 2) / CellPixels; };
  int cols = std::min(nearest(clientWidth), int{MaxBoardCols});
  int rows = std::min(nearest(clientHeight), int{MaxBoardRows});
  if (cols < 1 || rows < 1) {
    cols = 6;
    rows = 5;
  }
  return {static_cast<int16_t>(cols), static_cast<int16_t>(rows)};
}

BoardSize BoardSizeFromClient(int clientWidth, int clientHeight) {
  int cols = std::max(clientWidth, 0) / CellPixels;
  int rows = std::max(clientHeight, 0) / CellPixels;
  // Only a board with more cells than the board array holds is cut to the largest board, so
  // that a repaint before the first game never addresses cells beyond the array.
  if (int64_t{cols} * rows > MaxBoardCols * MaxBoardRows) {
    cols = std::min(cols, int{MaxBoardCols});
    rows = std::min(rows, int{MaxBoardRows});
  }
  return {static_cast<int16_t>(std::min(cols, INT16_MAX)),
          static_cast<int16_t>(std::min(rows, INT16_MAX))};
}

}  // namespace pyra
