#include "rules/board.h"

#include <algorithm>

namespace pyra {

void BuildNeighbourRing(const GameState& s, int column, int row, std::array<int16_t, 8>& ring) {
  for (int i = 0; i < 8; ++i) {
    ring[i] = CellIndex(s, column + NeighbourOffsets[i].dc, row + NeighbourOffsets[i].dr);
  }
  const int16_t off = s.OffBoard();
  // The four tests are independent: a one-row board drops both the row above and below.
  if (row < 1) ring[0] = ring[1] = ring[2] = off;
  if (row >= s.BoardRows - 1) ring[5] = ring[6] = ring[7] = off;
  if (column < 1) ring[0] = ring[3] = ring[5] = off;
  if (column >= s.BoardCols - 1) ring[2] = ring[4] = ring[7] = off;
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
  // Capped at the largest board all the same: a repaint before the first game must not
  // address cells beyond the board array.
  auto whole = [](int pixels, int16_t most) {
    return static_cast<int16_t>(std::clamp(pixels / CellPixels, 0, int{most}));
  };
  return {whole(clientWidth, MaxBoardCols), whole(clientHeight, MaxBoardRows)};
}

}  // namespace pyra
